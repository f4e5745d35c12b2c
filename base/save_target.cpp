// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/save_target.h"

#include "base/byte_stream.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace brev {

namespace {

// As many as the system follows in one path.
constexpr int kMaxLinks = 40;

// Another user's link in a shared sticky folder (/tmp) may have been planted there to make a
// save replace one of this user's files.
bool mayFollow(const struct stat& link, const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        return false;
    const bool shared = (info.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == info.st_uid;
}

int readLink(const std::string& path, std::string& target) {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (length < 0)
        return errno;
    if (static_cast<std::size_t>(length) == sizeof buffer)
        return ENAMETOOLONG;
    target.assign(buffer, static_cast<std::size_t>(length));
    return 0;
}

} // namespace

int resolveSaveTarget(const std::string& path, std::string& resolved) {
    if (path.empty())
        return ENOENT;
    // done: the path walked so far, free of links, "" for the root; rest: what is left of it.
    std::string done;
    if (path.front() != '/') {
        char* working = ::getcwd(nullptr, 0);
        if (working == nullptr)
            return errno;
        done = working;
        std::free(working);
        if (done == "/")
            done.clear();
    }
    std::string rest = path;
    int links = 0;
    for (;;) {
        const auto start = rest.find_first_not_of('/');
        if (start == std::string::npos)
            break;
        const auto end = rest.find('/', start);
        const std::string name = rest.substr(start, end - start);
        rest = end == std::string::npos ? "" : rest.substr(end);
        if (name == ".")
            continue;
        if (name == "..") {
            // done holds no link, so its parent is simply its text up to the last slash.
            const auto slash = done.rfind('/');
            done.erase(slash == std::string::npos ? 0 : slash);
            continue;
        }
        const std::string next = std::string(done).append("/").append(name);
        struct stat info {};
        if (::lstat(next.c_str(), &info) != 0) {
            if (errno == ENOENT && rest.empty()) {
                done = next;
                break;
            }
            return errno;
        }
        if (S_ISLNK(info.st_mode)) {
            if (++links > kMaxLinks)
                return ELOOP;
            if (!mayFollow(info, done.empty() ? "/" : done))
                return kUnsafeLink;
            std::string target;
            if (const int error = readLink(next, target))
                return error;
            if (!target.empty() && target.front() == '/')
                done.clear();
            rest = std::move(target.append(rest));
            continue;
        }
        if (!rest.empty() && !S_ISDIR(info.st_mode))
            return ENOTDIR;
        done = next;
    }
    resolved = done.empty() ? "/" : done;
    return 0;
}

} // namespace brev
