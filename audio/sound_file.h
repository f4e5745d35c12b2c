// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <sndfile.h>
#include <string>

namespace brev {

class ByteReader;
class ByteWriter;

// An open libsndfile handle over a file, a byte reader or a byte writer: memory data and our
// atomic files go through the same library calls as a plain file.
class SoundFile {
public:
    SoundFile();
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;
    ~SoundFile();

    // Each returns false on failure; errorNumber() and error() then say why.
    bool openRead(const std::string& path);
    bool openRead(ByteReader& reader);
    // Starts a stream of the format in info; the writer must outlive close().
    bool openWrite(ByteWriter& writer, SF_INFO info);
    // Finishes the stream (a FLAC writer rewrites its stream header here); false on failure.
    bool close();

    SNDFILE* handle() const { return file_; }
    const SF_INFO& info() const { return info_; }
    int errorNumber() const { return errorNumber_; }
    const std::string& error() const { return error_; }

    struct Stream;

private:
    bool opened(SNDFILE* file);

    SNDFILE* file_ = nullptr;
    SF_INFO info_{};
    std::unique_ptr<Stream> stream_;
    int errorNumber_ = SF_ERR_NO_ERROR;
    std::string error_;
};

} // namespace brev
