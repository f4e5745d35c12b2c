// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/save_target.h"

#include "base/byte_stream.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brev {

namespace {

// As many as the system follows in one path.
constexpr int kMaxLinks = 40;

std::function<void()> saveFolderTakenHook;

// O_PATH: a folder on the way may allow only passing through.
int openFolderAt(int at, const char* name, HeldFolder& folder) {
    const int fd = ::openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno;
    folder = HeldFolder(fd);
    return 0;
}

// The same folder opened for reading, which flushing it and listing it need, where that is
// allowed; "." of a descriptor cannot lead anywhere else.
void openForReading(HeldFolder& folder) {
    const int fd = ::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0)
        folder = HeldFolder(fd);
}

// Another user's link in a shared sticky folder (/tmp) may have been planted there to make a
// save replace one of this user's files.
bool mayFollow(const struct stat& link, int folder) {
    struct stat info {};
    if (::fstat(folder, &info) != 0)
        return false;
    const bool shared = (info.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == info.st_uid;
}

int readLinkAt(int folder, const std::string& name, std::string& target) {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlinkat(folder, name.c_str(), buffer, sizeof buffer);
    if (length < 0)
        return errno;
    if (static_cast<std::size_t>(length) == sizeof buffer)
        return ENAMETOOLONG;
    target.assign(buffer, static_cast<std::size_t>(length));
    return 0;
}

enum class WalkTo { File, Folder };

// The walk of openSaveTarget (to a file) and openSaveFolder (to a folder, creating it).
int walk(int from, const std::string& path, WalkTo to, unsigned mode, HeldFolder& folder,
         std::string& name) {
    if (path.empty())
        return ENOENT;
    HeldFolder at;
    if (const int error = openFolderAt(from, path.front() == '/' ? "/" : ".", at))
        return error;
    std::string rest = path;
    std::string found;
    int links = 0;
    for (;;) {
        const auto start = rest.find_first_not_of('/');
        if (start == std::string::npos)
            break;
        const auto end = rest.find('/', start);
        const std::string next = rest.substr(start, end - start);
        rest = end == std::string::npos ? "" : rest.substr(end);
        if (next == ".")
            continue;
        const bool fileName = to == WalkTo::File && rest.empty();
        struct stat info {};
        if (::fstatat(at.fd(), next.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return errno;
            if (fileName) {
                found = next;
                break;
            }
            if (to == WalkTo::File)
                return ENOENT;
            if (::mkdirat(at.fd(), next.c_str(), mode) != 0 && errno != EEXIST)
                return errno;
        } else if (S_ISLNK(info.st_mode)) {
            if (++links > kMaxLinks)
                return ELOOP;
            if (!mayFollow(info, at.fd()))
                return kUnsafeLink;
            std::string target;
            if (const int error = readLinkAt(at.fd(), next, target))
                return error;
            if (!target.empty() && target.front() == '/') {
                if (const int error = openFolderAt(AT_FDCWD, "/", at))
                    return error;
            }
            rest = std::move(target.append(rest));
            continue;
        } else if (fileName) {
            found = next;
            break;
        } else if (!S_ISDIR(info.st_mode)) {
            return ENOTDIR;
        }
        // Checked or made as a folder: should a link have taken its place since, O_NOFOLLOW
        // refuses it.
        HeldFolder inner;
        if (const int error = openFolderAt(at.fd(), next.c_str(), inner))
            return error;
        at = std::move(inner);
    }
    // A path to a file that ran out on a folder ("/", "dir/").
    if (to == WalkTo::File && found.empty())
        return EISDIR;
    openForReading(at);
    folder = std::move(at);
    name = std::move(found);
    return 0;
}

} // namespace

HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

void HeldFolder::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

int openSaveTarget(const std::string& path, HeldFolder& folder, std::string& name, int from) {
    return walk(from, path, WalkTo::File, 0, folder, name);
}

int openSaveFolder(const std::string& path, HeldFolder& folder, unsigned mode) {
    std::string unused;
    return walk(AT_FDCWD, path, WalkTo::Folder, mode, folder, unused);
}

void setSaveFolderTakenHook(std::function<void()> hook) {
    saveFolderTakenHook = std::move(hook);
}

void runSaveFolderTakenHook() {
    if (saveFolderTakenHook)
        saveFolderTakenHook();
}

} // namespace brev
