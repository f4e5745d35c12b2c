// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/private_folder.h"

#include "base/error.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
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

// mkdir -p with mode 0700 for what it creates.
void createFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0700);
    ::mkdir(path.c_str(), 0700);
}

Error folderError(const std::string& folder, const std::string& reason) {
    return Error("Unable to use the private folder " + folder + "\n" + reason);
}

// Our folder in parent, created when missing; with a trailing slash.
std::string checkedFolder(const std::string& parent) {
    const std::string folder = parent + "/" + kFolderName;
    createFolders(folder);
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0)
        throw folderError(folder, std::strerror(errno));
    if (!S_ISDIR(info.st_mode))
        throw folderError(folder, "It is not a folder.");
    if (info.st_uid != ::geteuid())
        throw folderError(folder, "It belongs to another user.");
    if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0)
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
