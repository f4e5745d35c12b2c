// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/wave_writer.h"

#include "audio/wave_header.h"
#include "base/atomic_file.h"
#include "base/error.h"
#include "base/little_endian.h"

#include <cerrno>

namespace brev {

namespace {

Error unableToWrite(const std::string& path, int error) {
    return Error("Unable to write " + path + "\n" + errorReason(error));
}

} // namespace

void writeWaveFile(const std::string& path, std::span<const std::uint8_t> pcm,
                   std::span<const std::uint8_t> extraChunks) {
    if (pcm.size() > kMaxWaveDataBytes - extraChunks.size())
        throw unableToWrite(path, EFBIG);
    auto header = waveHeader(static_cast<std::uint32_t>(pcm.size()));
    writeLe32(header.data() + 4,
              static_cast<std::uint32_t>(kWaveHeaderBytes - 8 + pcm.size() + extraChunks.size()));
    AtomicFile file;
    if (const int error = file.open(path))
        throw unableToWrite(path, error);
    ByteWriter& writer = file.writer();
    if (!writer.write(header.data(), header.size()) || !writer.write(pcm.data(), pcm.size()) ||
        !writer.write(extraChunks.data(), extraChunks.size()))
        throw unableToWrite(path, file.writeError() ? file.writeError() : EIO);
    if (const int error = file.close())
        throw unableToWrite(path, error);
    if (const int error = file.replaceTarget())
        throw unableToWrite(path, error);
}

void writeWholeFile(const std::string& path, std::string_view content) {
    if (const int error = writeFileAtomically(path, content))
        throw unableToWrite(path, error);
}

} // namespace brev
