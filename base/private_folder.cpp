// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/private_folder.h"

#include "base/byte_stream.h"
#include "base/error.h"
#include "base/save_target.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brev {

namespace {

constexpr char kFolderName[] = "brev-editor";

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A folder of this user's that no one else may enter or write.
bool isPrivateFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() && path.front() == '/' && ::lstat(path.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

std::string homeFolder() {
    std::string home = environment("HOME");
    if (home.empty()) {
        if (const passwd* user = ::getpwuid(::geteuid()))
            home = user->pw_dir;
    }
    return home;
}

std::string cacheFolder() {
    std::string cache = environment("XDG_CACHE_HOME");
    if (cache.empty() || cache.front() != '/')
        cache = homeFolder() + "/.cache";
    return cache;
}

// The folder that holds ours: the session's runtime folder when it is private, as it must be,
// else the user's cache folder.
std::string parentFolder() {
    std::string runtime = environment("XDG_RUNTIME_DIR");
    return isPrivateFolder(runtime) ? runtime : cacheFolder();
}

Error folderError(const std::string& folder, const std::string& reason) {
    return Error("Unable to use the private folder " + folder + "\n" + reason);
}

// Our folder in parent, created when missing (and parent with it, by the rules of a save);
// with a trailing slash. It is checked through its descriptor, so what is checked is the folder
// found, whatever is renamed meanwhile.
std::string checkedFolder(const std::string& parent) {
    const std::string folder = parent + "/" + kFolderName;
    HeldFolder above;
    if (const int error = openSaveFolder(parent, above, 0700))
        throw folderError(folder, errorReason(error));
    ::mkdirat(above.fd(), kFolderName, 0700);
    const HeldFolder ours(
        ::openat(above.fd(), kFolderName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!ours.isOpen())
        throw folderError(folder, errno == ENOTDIR || errno == ELOOP ? "It is not a folder."
                                                                     : std::strerror(errno));
    struct stat info {};
    if (::fstat(ours.fd(), &info) != 0)
        throw folderError(folder, std::strerror(errno));
    if (info.st_uid != ::geteuid())
        throw folderError(folder, "It belongs to another user.");
    if ((info.st_mode & 077) != 0 && ::fchmod(ours.fd(), 0700) != 0)
        throw folderError(folder, std::strerror(errno));
    return folder + "/";
}

} // namespace

std::string privateFolder() {
    return checkedFolder(parentFolder());
}

std::string privateCacheFolder() {
    return checkedFolder(cacheFolder());
}

std::string privateFilePath(const std::string& name) {
    std::string path = privateFolder() + name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid()))
        ::unlink(path.c_str());
    return path;
}

} // namespace brev
