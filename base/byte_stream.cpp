// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/byte_stream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brev {

std::string errorReason(int error) {
    if (error == kNotRegularFile)
        return "Not a regular file";
    if (error == kUnsafeLink)
        return "A link of another user in a shared folder, which is not followed";
    if (error == kForeignFolder)
        return "A folder that another user may change";
    return std::strerror(error);
}

int regularFileError(unsigned mode) {
    if (S_ISREG(mode))
        return 0;
    return S_ISDIR(mode) ? EISDIR : kNotRegularFile;
}

std::size_t MemoryReader::read(void* destination, std::size_t count) {
    const std::uint64_t left = bytes_.size() - position_;
    const std::size_t n = count < left ? count : static_cast<std::size_t>(left);
    if (n > 0)
        std::memcpy(destination, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

bool MemoryReader::seek(std::uint64_t position) {
    if (position > bytes_.size())
        return false;
    position_ = position;
    return true;
}

bool MemoryWriter::write(const void* source, std::size_t count) {
    if (count == 0)
        return true;
    try {
        const std::uint64_t end = position_ + count;
        if (end > bytes_.size())
            bytes_.resize(static_cast<std::size_t>(end));
    } catch (const std::exception&) {
        return false;
    }
    std::memcpy(bytes_.data() + position_, source, count);
    position_ += count;
    return true;
}

bool MemoryWriter::seek(std::uint64_t position) {
    if (position > bytes_.size())
        return false;
    position_ = position;
    return true;
}

FileReader::~FileReader() {
    close();
}

int FileReader::open(const std::string& path) {
    close();
    // Opening a device can have effects of its own, so the type is looked at first.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno;
    if (const int error = regularFileError(info.st_mode))
        return error;
    // Should the path be swapped for a FIFO meanwhile, O_NONBLOCK keeps the open from waiting
    // for a writer; regular files ignore it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = ::fstat(fd, &info) != 0 ? errno : regularFileError(info.st_mode);
    if (error) {
        ::close(fd);
        return error;
    }
    fd_ = fd;
    position_ = 0;
    size_ = static_cast<std::uint64_t>(info.st_size);
    return 0;
}

void FileReader::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    position_ = 0;
    size_ = 0;
}

std::size_t FileReader::read(void* destination, std::size_t count) {
    if (fd_ < 0)
        return 0;
    auto* out = static_cast<std::uint8_t*>(destination);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::pread(fd_, out + done, count - done, static_cast<off_t>(position_ + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    position_ += done;
    return done;
}

bool FileReader::seek(std::uint64_t position) {
    if (fd_ < 0 || position > size_)
        return false;
    position_ = position;
    return true;
}

FileWriter::~FileWriter() {
    close();
}

int FileWriter::create(int folder, const std::string& name, unsigned mode) {
    close();
    const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return errno;
    fd_ = fd;
    position_ = 0;
    end_ = 0;
    error_ = 0;
    return 0;
}

int FileWriter::sync() {
    if (fd_ >= 0 && error_ == 0 && ::fdatasync(fd_) != 0)
        error_ = errno;
    return error_;
}

int FileWriter::close() {
    int result = error_;
    if (fd_ >= 0 && ::close(fd_) != 0 && result == 0)
        result = errno;
    fd_ = -1;
    return result;
}

bool FileWriter::write(const void* source, std::size_t count) {
    if (fd_ < 0 || error_ != 0)
        return false;
    const auto* in = static_cast<const std::uint8_t*>(source);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::pwrite(fd_, in + done, count - done, static_cast<off_t>(position_ + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    position_ += done;
    if (position_ > end_)
        end_ = position_;
    return true;
}

bool FileWriter::seek(std::uint64_t position) {
    if (fd_ < 0 || position > end_)
        return false;
    position_ = position;
    return true;
}

} // namespace brev
