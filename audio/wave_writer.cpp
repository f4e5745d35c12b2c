// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/wave_writer.h"

#include "audio/wave_header.h"
#include "base/atomic_file.h"
#include "base/error.h"
#include "base/little_endian.h"

#include <cerrno>
#include <filesystem>

namespace brev {

namespace {

Error unableToWrite(const FolderToWrite& folder, const std::string& name, int error) {
    const std::string path = (std::filesystem::path(folder.path) / name).string();
    return Error("Unable to write " + path + "\n" + errorReason(error));
}

} // namespace

void writeWaveFile(const FolderToWrite& folder, const std::string& name,
                   std::span<const std::uint8_t> pcm, std::span<const std::uint8_t> extraChunks) {
    if (pcm.size() > kMaxWaveDataBytes - extraChunks.size())
        throw unableToWrite(folder, name, EFBIG);
    auto header = waveHeader(static_cast<std::uint32_t>(pcm.size()));
    writeLe32(header.data() + 4,
              static_cast<std::uint32_t>(kWaveHeaderBytes - 8 + pcm.size() + extraChunks.size()));
    AtomicFile file;
    if (const int error = file.open(name, FileAccess::Shared, folder.held.fd()))
        throw unableToWrite(folder, name, error);
    ByteWriter& writer = file.writer();
    if (!writer.write(header.data(), header.size()) || !writer.write(pcm.data(), pcm.size()) ||
        !writer.write(extraChunks.data(), extraChunks.size()))
        throw unableToWrite(folder, name, file.writeError() ? file.writeError() : EIO);
    if (const int error = file.close())
        throw unableToWrite(folder, name, error);
    if (const int error = file.replaceTarget())
        throw unableToWrite(folder, name, error);
}

void writeWholeFile(const FolderToWrite& folder, const std::string& name,
                    std::string_view content) {
    if (const int error = writeFileAtomically(name, content, FileAccess::Shared, folder.held.fd()))
        throw unableToWrite(folder, name, error);
}

} // namespace brev
