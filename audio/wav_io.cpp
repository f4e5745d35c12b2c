// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// RIFF WAVE reading and writing over byte streams, and the file and clipboard front ends.
#include "audio/clipboard_port.h"
#include "audio/twave.h"
#include "base/atomic_file.h"
#include "base/buffered_reader.h"
#include "base/byte_stream.h"
#include "base/little_endian.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace BrevWave {

using brev::ByteReader;
using brev::ByteWriter;
using brev::Error;

namespace {

constexpr std::uint64_t kHeaderSize = 8;

bool isId(const std::uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

// Chunk identifiers in the wild are letters, digits and trailing spaces.
bool looksLikeId(const std::uint8_t* p) {
    for (int i = 0; i < 4; ++i) {
        const bool letterOrDigit = (p[i] >= 'a' && p[i] <= 'z') || (p[i] >= 'A' && p[i] <= 'Z') ||
                                   (p[i] >= '0' && p[i] <= '9');
        if (!letterOrDigit && !(p[i] == ' ' && i > 0))
            return false;
    }
    return true;
}

struct Chunk {
    std::uint32_t size = 0;
    std::uint64_t dataOffset = 0; // first byte behind the chunk header
};

// The first chunk of each kind the loader reads.
struct WaveChunks {
    std::optional<Chunk> fmt;
    std::optional<Chunk> data;
};

// Tells progress how far through the stream a load has come; its refusal cancels the load.
void report(const brev::DecodeProgress& progress, std::uint64_t position, std::uint64_t end) {
    if (progress && !progress(static_cast<double>(position) / static_cast<double>(end)))
        throw brev::DecodeCancelled();
}

// Walks the sub-chunks from `from` up to `end` once, until it has seen both chunks the loader
// reads. A stream may hold millions of tiny chunks: progress is told of the walk every so often.
WaveChunks findChunks(ByteReader& reader, std::uint64_t from, std::uint64_t end,
                      const brev::DecodeProgress& progress) {
    constexpr unsigned kChunksBetweenReports = 4096;
    WaveChunks found;
    std::uint64_t at = from;
    std::uint8_t header[kHeaderSize];
    for (unsigned walked = 1; at + kHeaderSize <= end; ++walked) {
        if (walked % kChunksBetweenReports == 0)
            report(progress, at, reader.size());
        if (!reader.seek(at) || reader.read(header, kHeaderSize) != kHeaderSize)
            break;
        const std::uint32_t size = brev::readLe32(header + 4);
        if (!found.fmt && isId(header, "fmt "))
            found.fmt = Chunk{size, at + kHeaderSize};
        if (!found.data && isId(header, "data"))
            found.data = Chunk{size, at + kHeaderSize};
        if (found.fmt && found.data)
            break;
        std::uint64_t next = at + kHeaderSize + size;
        if (size & 1) {
            // Some writers leave out the pad byte; follow the header that makes sense.
            std::uint8_t padded[4];
            std::uint8_t unpadded[4];
            const bool paddedOk =
                reader.seek(next + 1) && reader.read(padded, 4) == 4 && looksLikeId(padded);
            const bool unpaddedOk = !paddedOk && reader.seek(next) &&
                                    reader.read(unpadded, 4) == 4 && looksLikeId(unpadded);
            if (!unpaddedOk)
                next += 1;
        }
        at = next;
    }
    return found;
}

// Reads count bytes in blocks, so that a cancel is heard while a long loop comes in.
bool readCancellable(ByteReader& reader, std::uint8_t* destination, std::uint32_t count,
                     const brev::DecodeProgress& progress) {
    constexpr std::uint32_t kBlockBytes = 8 << 20;
    for (std::uint32_t done = 0; done < count;) {
        report(progress, reader.position(), reader.size());
        const std::uint32_t n = std::min(kBlockBytes, count - done);
        if (reader.read(destination + done, n) != n)
            return false;
        done += n;
    }
    return true;
}

std::string openErrorText(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "The directory specification is incorrect.";
    case EACCES:
    case EPERM:
    case EROFS:
    case brev::kUnsafeLink:
    case brev::kForeignFolder:
        return "The file is protected and cannot be opened";
    case ETXTBSY:
    case EBUSY:
    case EWOULDBLOCK:
        return "The file is being used by another application and is unavailable.";
    case ENETDOWN:
    case ENETUNREACH:
    case ENETRESET:
    case EHOSTUNREACH:
    case ETIMEDOUT:
    case ESTALE:
    case ECONNREFUSED:
        return "The network is not responding to the request to open a remote file.";
    case EMFILE:
    case ENFILE:
        return "The number of files simultaneously open is at a maximum level. The system has "
               "run out of available file handles.";
    case EISDIR:
    case brev::kNotRegularFile:
    case EINVAL:
    case ENAMETOOLONG:
    case ELOOP:
    case EEXIST:
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
    case EIO:
    case ENXIO:
    case ENODEV:
    case EOVERFLOW:
        return "Another failure condition occurred.";
    default:
        return "Unknown error";
    }
}

// The error text of a failed open; a path that is no regular file also says so.
std::string openFailureText(int error) {
    const std::string text = openErrorText(error);
    return error == brev::kNotRegularFile ? text + "\n" + brev::errorReason(error) : text;
}

// A save that cannot go ahead says why in the system's words too ("File name too long").
std::string saveFailureText(int error) {
    return openErrorText(error) + "\n" + brev::errorReason(error);
}

// Writes chunks with provisional sizes and fixes each size up when the chunk is left.
class RiffWriter {
public:
    explicit RiffWriter(ByteWriter& writer) : writer_(writer) {}

    bool createChunk(const char* id, std::uint32_t declaredSize, const char* formType = nullptr) {
        std::uint8_t header[12];
        std::memcpy(header, id, 4);
        brev::writeLe32(header + 4, declaredSize);
        std::size_t count = 8;
        if (formType) {
            std::memcpy(header + 8, formType, 4);
            count = 12;
        }
        const std::uint64_t start = writer_.position();
        if (!writer_.write(header, count))
            return false;
        open_[depth_++] = start;
        return true;
    }

    // Writes the pad byte of an odd-sized chunk and the chunk's real size.
    bool ascend() {
        if (depth_ == 0)
            return false;
        const std::uint64_t start = open_[--depth_];
        std::uint64_t end = writer_.position();
        const std::uint64_t size = end - start - kHeaderSize;
        if (size > UINT32_MAX)
            return false;
        if (size & 1) {
            const std::uint8_t pad = 0;
            if (!writer_.write(&pad, 1))
                return false;
            ++end;
        }
        std::uint8_t field[4];
        brev::writeLe32(field, static_cast<std::uint32_t>(size));
        return writer_.seek(start + 4) && writer_.write(field, 4) && writer_.seek(end);
    }

private:
    ByteWriter& writer_;
    std::uint64_t open_[2] = {};
    int depth_ = 0;
};

} // namespace

void TWave::MMIOLoad(ByteReader* handle, const brev::DecodeProgress& progress) {
    if (!handle)
        throw Error("Invalid handle");
    // Whatever happens below, the old block goes: a failed load leaves the buffer empty.
    clear();
    brev::BufferedReader reader(*handle);

    const std::uint64_t riffStart = reader.position();
    // A chunk header is 8 bytes; only "RIFF" and "LIST" carry a form type behind it, so a
    // short stream that is neither is merely not a RIFF WAVE file.
    std::uint8_t riff[12];
    if (reader.read(riff, kHeaderSize) != kHeaderSize)
        throw Error("Cannot descend into RIFF header");
    if ((isId(riff, "RIFF") || isId(riff, "LIST")) && reader.read(riff + kHeaderSize, 4) != 4)
        throw Error("Cannot descend into RIFF header");
    if (!isId(riff, "RIFF") || !isId(riff + 8, "WAVE"))
        throw Error("MMIOLoad - Not a RIFF WAVE file");

    // Streaming writers leave the RIFF size 0 or too large; then the stream's end bounds it.
    const std::uint64_t streamEnd = reader.size();
    const std::uint32_t riffSize = brev::readLe32(riff + 4);
    std::uint64_t riffEnd = riffStart + kHeaderSize + riffSize;
    if (riffSize < 4 || riffEnd > streamEnd)
        riffEnd = streamEnd;
    const WaveChunks chunks = findChunks(reader, riffStart + sizeof riff, riffEnd, progress);

    const std::optional<Chunk>& fmt = chunks.fmt;
    if (!fmt)
        throw Error("MMIOLoad - fmt chunk not found");
    if (fmt->size < 16)
        throw Error("MMIOLoad - Not a PCM file");
    std::uint8_t record[16];
    if (!reader.seek(fmt->dataOffset) || reader.read(record, sizeof record) != sizeof record)
        throw Error("Could not read fmt chunk into PCMWAVEFORMAT");
    if (brev::readLe16(record) != 1)
        throw Error("Not a WAVE_FORMAT_PCM file");
    if (brev::readLe16(record + 2) != kChannels || brev::readLe32(record + 4) != kSampleRate ||
        brev::readLe16(record + 14) != kBitsPerSample)
        throw Error("Wrong format wave file");

    const std::optional<Chunk>& data = chunks.data;
    if (!data)
        throw Error("MMIOLoad - data chunk not found");
    // A size the stream cannot deliver or the buffer cannot hold is refused before allocating.
    if (data->size > static_cast<std::uint32_t>(INT32_MAX) ||
        data->dataOffset + data->size > streamEnd)
        throw Error("Error reading data");
    if (data->size == 0)
        return;
    PcmBlock block = allocatePcmBlock(data->size);
    if (!block)
        throw Error("MMIOLoad - Error allocating memory for FPcmData");
    if (!reader.seek(data->dataOffset) ||
        !readCancellable(reader, block.get(), data->size, progress))
        throw Error("Error reading data");
    FPcmData = std::move(block);
    FLength = static_cast<std::int32_t>(data->size);
}

void TWave::MMIOSave(ByteWriter* handle) const {
    if (!handle)
        throw Error("MMIOSave - Cannot create RIFF WAVE chunk");
    ByteWriter& writer = *handle;
    RiffWriter riff(writer);
    if (!riff.createChunk("RIFF", 0, "WAVE"))
        throw Error("MMIOSave - Cannot create RIFF WAVE chunk");
    if (!riff.createChunk("fmt ", 16))
        throw Error("Cannot create fmt chunk");
    WaveFormat format;
    GetWaveFormat(format);
    const auto record = format.encode();
    if (!writer.write(record.data(), record.size()))
        throw Error("mmioWrite could not write WAVEFORMATEX struct");
    if (!riff.ascend())
        throw Error("Error ascending out of fmt chunk");
    if (!riff.createChunk("data", 0))
        throw Error("Error creating data chunk");
    if (FLength > 0 && !writer.write(FPcmData.get(), static_cast<std::size_t>(FLength)))
        throw Error("MMIOSave - Error writing data");
    if (!riff.ascend())
        throw Error("Error writing size of data chunk");
    if (!riff.ascend())
        throw Error("Error ascending");
    if (!writer.seek(0))
        throw Error("Seek error");
    if (!writer.flush())
        throw Error("MMIOSave - Error writing RIFF chunk size");
}

void TWave::LoadFromFile(const std::string& fileName, const brev::DecodeProgress& progress) {
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0)
        throw Error("LoadFromFile - File not found: " + fileName);
    clear();
    brev::FileReader reader;
    if (const int error = reader.open(fileName))
        throw Error("LoadFromFile - Error opening file " + fileName + "\n" +
                    openFailureText(error));
    try {
        MMIOLoad(&reader, progress);
    } catch (const brev::DecodeCancelled&) {
        throw;
    } catch (const Error& error) {
        throw brev::wrapError("LoadFromFile - Error loading " + fileName, error);
    }
}

void TWave::SaveToFile(const std::string& fileName) const {
    SaveToFile(fileName, brev::FileAccess::Shared);
}

void TWave::SaveToFile(const std::string& fileName, brev::FileAccess access) const {
    const std::string creating = "SaveToFile - Error creating file " + fileName + "\n";
    const std::string saving = "SaveToFile - Error saving to " + fileName + "\n";
    brev::AtomicFile file;
    if (const int error = file.open(fileName, access))
        throw Error(creating + saveFailureText(error));
    // A failed write names the system's reason, a full disk for example, behind the message.
    try {
        MMIOSave(&file.writer());
    } catch (const Error& failure) {
        const int error = file.writeError();
        throw Error(saving + failure.what() + (error ? "\n" + brev::errorReason(error) : ""));
    }
    if (const int error = file.close())
        throw Error(saving + "MMIOSave - Error writing data\n" + brev::errorReason(error));
    if (const int error = file.replaceTarget())
        throw Error(creating + saveFailureText(error));
}

void TWave::LoadFromClipboard(brev::ClipboardPort& clipboard,
                              const brev::DecodeProgress& progress) {
    if (!clipboard.hasWave())
        throw Error("Clipboard does not hold a WAVE file");
    clear();
    const std::vector<std::uint8_t> bytes = clipboard.waveBytes();
    if (bytes.empty())
        throw Error("LoadFromClipboard - Clipboard holds no data");
    brev::MemoryReader reader(bytes);
    try {
        MMIOLoad(&reader, progress);
    } catch (const brev::DecodeCancelled&) {
        throw;
    } catch (const Error& error) {
        throw brev::wrapError("Error loading data from clipboard", error);
    }
}

void TWave::SaveToClipboard(brev::ClipboardPort& clipboard) const {
    std::optional<brev::MemoryWriter> writer;
    try {
        writer.emplace(static_cast<std::size_t>(FLength) + 46 + 1);
    } catch (const std::bad_alloc&) {
        throw Error("GlobalAlloc failed");
    }
    try {
        MMIOSave(&*writer);
    } catch (const Error& error) {
        throw brev::wrapError("Error saving data to clipboard", error);
    }
    clipboard.setWaveBytes(writer->takeBytes());
}

} // namespace BrevWave
