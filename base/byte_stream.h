// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brev {

// Stands where an errno is returned for a path that exists but is neither a regular file nor a
// folder (a FIFO, a device, a socket): reading it could block or never end, and replacing it
// would destroy what it is. No errno has this value.
inline constexpr int kNotRegularFile = -1;
// Stands where an errno is returned for a save whose path leads through a link that the
// system's protected_symlinks rule would not follow: another user's link in a sticky folder
// that everyone may write, such as /tmp. No errno has this value.
inline constexpr int kUnsafeLink = -2;
// Stands where an errno is returned for a file meant for this user alone whose folder another
// user owns or may write: they could take the file away or put another in its place. No errno
// has this value.
inline constexpr int kForeignFolder = -3;

// The system's text for an errno, or the text for kNotRegularFile, kUnsafeLink or
// kForeignFolder.
std::string errorReason(int error);

// 0 for the st_mode of a regular file, EISDIR for a folder, kNotRegularFile for anything else.
int regularFileError(unsigned mode);

// Random-access source of bytes: a file or a block of memory. The RIFF reader works only
// through this, so files and clipboard data take one code path.
class ByteReader {
public:
    virtual ~ByteReader() = default;
    // Reads up to count bytes at the current position; fewer arrive only at the end or on error.
    virtual std::size_t read(void* destination, std::size_t count) = 0;
    // Absolute position; false (position unchanged) when it lies beyond the end.
    virtual bool seek(std::uint64_t position) = 0;
    virtual std::uint64_t position() const = 0;
    virtual std::uint64_t size() const = 0;
};

// Seekable sink of bytes. Seeking back lets the RIFF writer fix chunk sizes up afterwards.
class ByteWriter {
public:
    virtual ~ByteWriter() = default;
    virtual bool write(const void* source, std::size_t count) = 0;
    // Absolute position, at most the current end.
    virtual bool seek(std::uint64_t position) = 0;
    virtual std::uint64_t position() const = 0;
    // Pushes out anything still held back; false if that fails.
    virtual bool flush() { return true; }
};

class MemoryReader final : public ByteReader {
public:
    explicit MemoryReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t read(void* destination, std::size_t count) override;
    bool seek(std::uint64_t position) override;
    std::uint64_t position() const override { return position_; }
    std::uint64_t size() const override { return bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::uint64_t position_ = 0;
};

// Grows as written; overwrites when positioned before the end.
class MemoryWriter final : public ByteWriter {
public:
    MemoryWriter() = default;
    // Reserves room for the expected size up front (throws std::bad_alloc).
    explicit MemoryWriter(std::size_t expectedSize) { bytes_.reserve(expectedSize); }
    bool write(const void* source, std::size_t count) override;
    bool seek(std::uint64_t position) override;
    std::uint64_t position() const override { return position_; }

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> takeBytes() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t position_ = 0;
};

// A regular file opened for reading. open() returns 0, the errno of the failure, EISDIR or
// kNotRegularFile; it never blocks, whatever the path names.
class FileReader final : public ByteReader {
public:
    FileReader() = default;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;
    ~FileReader() override;

    int open(const std::string& path);
    void close();

    std::size_t read(void* destination, std::size_t count) override;
    bool seek(std::uint64_t position) override;
    std::uint64_t position() const override { return position_; }
    std::uint64_t size() const override { return size_; }

private:
    int fd_ = -1;
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0;
};

// A file created for writing (it must not exist yet). create() returns 0 or the errno of the
// failure; close() returns 0 or the errno of a late write error.
class FileWriter final : public ByteWriter {
public:
    FileWriter() = default;
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;
    ~FileWriter() override;

    // name in the open folder (AT_FDCWD: name is a path).
    int create(int folder, const std::string& name, unsigned mode = 0666);
    // Puts everything written on disk; 0 or the errno of the failure, which also counts as
    // the error of a write.
    int sync();
    int close();
    int fd() const { return fd_; }

    bool write(const void* source, std::size_t count) override;
    bool seek(std::uint64_t position) override;
    std::uint64_t position() const override { return position_; }
    // errno of the first failed write, 0 if none.
    int error() const { return error_; }

private:
    int fd_ = -1;
    std::uint64_t position_ = 0;
    std::uint64_t end_ = 0;
    int error_ = 0;
};

} // namespace brev
