// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/sound_file.h"

#include "base/byte_stream.h"

#include <algorithm>
#include <cstdio>

namespace brev {

// What the virtual I/O callbacks work on: a reader, or a writer with the length written so far.
struct SoundFile::Stream {
    ByteReader* reader = nullptr;
    ByteWriter* writer = nullptr;
    sf_count_t end = 0;

    sf_count_t position() const {
        return static_cast<sf_count_t>(reader ? reader->position() : writer->position());
    }
    sf_count_t length() const { return reader ? static_cast<sf_count_t>(reader->size()) : end; }
};

namespace {

using Stream = SoundFile::Stream;

Stream& streamOf(void* user) {
    return *static_cast<Stream*>(user);
}

sf_count_t streamLength(void* user) {
    return streamOf(user).length();
}

sf_count_t streamSeek(sf_count_t offset, int whence, void* user) {
    Stream& stream = streamOf(user);
    sf_count_t target = offset;
    if (whence == SEEK_CUR)
        target += stream.position();
    else if (whence == SEEK_END)
        target += stream.length();
    if (target < 0)
        return -1;
    const auto position = static_cast<std::uint64_t>(target);
    const bool moved =
        stream.reader ? stream.reader->seek(position) : stream.writer->seek(position);
    return moved ? target : -1;
}

sf_count_t streamRead(void* destination, sf_count_t count, void* user) {
    Stream& stream = streamOf(user);
    if (!stream.reader || count <= 0)
        return 0;
    return static_cast<sf_count_t>(
        stream.reader->read(destination, static_cast<std::size_t>(count)));
}

sf_count_t streamWrite(const void* source, sf_count_t count, void* user) {
    Stream& stream = streamOf(user);
    if (!stream.writer || count < 0 ||
        !stream.writer->write(source, static_cast<std::size_t>(count)))
        return 0;
    stream.end = std::max(stream.end, stream.position());
    return count;
}

sf_count_t streamTell(void* user) {
    return streamOf(user).position();
}

SF_VIRTUAL_IO streamIo{streamLength, streamSeek, streamRead, streamWrite, streamTell};

} // namespace

SoundFile::SoundFile() : stream_(std::make_unique<Stream>()) {}

SoundFile::~SoundFile() {
    if (file_)
        sf_close(file_);
}

bool SoundFile::opened(SNDFILE* file) {
    file_ = file;
    if (file_)
        return true;
    errorNumber_ = sf_error(nullptr);
    error_ = sf_strerror(nullptr);
    return false;
}

bool SoundFile::openRead(const std::string& path) {
    info_ = {};
    return opened(sf_open(path.c_str(), SFM_READ, &info_));
}

bool SoundFile::openRead(ByteReader& reader) {
    info_ = {};
    *stream_ = Stream{&reader, nullptr, 0};
    return opened(sf_open_virtual(&streamIo, SFM_READ, &info_, stream_.get()));
}

bool SoundFile::openWrite(ByteWriter& writer, SF_INFO info) {
    info_ = info;
    *stream_ = Stream{nullptr, &writer, 0};
    return opened(sf_open_virtual(&streamIo, SFM_WRITE, &info_, stream_.get()));
}

bool SoundFile::close() {
    if (!file_)
        return true;
    const int result = sf_close(file_);
    file_ = nullptr;
    if (result == 0)
        return true;
    errorNumber_ = result;
    error_ = sf_error_number(result);
    return false;
}

} // namespace brev
