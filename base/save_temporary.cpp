// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/save_temporary.h"

#include "base/name_limit.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brev {

namespace {

constexpr std::string_view kMarker = ".tmp-brev-";

// The process that wrote a temporary of that name, or 0 for any other name.
long temporaryOwner(std::string_view name) {
    const auto marker = name.rfind(kMarker);
    if (name.empty() || name.front() != '.' || marker == std::string_view::npos)
        return 0;
    const char* const end = name.data() + name.size();
    long pid = 0;
    unsigned serial = 0;
    auto [afterPid, pidError] = std::from_chars(name.data() + marker + kMarker.size(), end, pid);
    if (pidError != std::errc() || afterPid == end || *afterPid != '-')
        return 0;
    auto [afterSerial, serialError] = std::from_chars(afterPid + 1, end, serial);
    return serialError == std::errc() && afterSerial == end && pid > 0 ? pid : 0;
}

bool processIsGone(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

std::string temporaryName(std::string_view base, long pid, unsigned serial, std::size_t nameLimit) {
    const std::string suffix =
        std::string(kMarker) + std::to_string(pid) + "-" + std::to_string(serial);
    const std::size_t room = nameLimit > suffix.size() + 1 ? nameLimit - suffix.size() - 1 : 0;
    return "." + std::string(fittedName(base, room)) + suffix;
}

void removeStaleTemporaries(int folder) {
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* entries = ::fdopendir(fd);
    if (entries == nullptr) {
        ::close(fd);
        return;
    }
    const long self = ::getpid();
    while (const dirent* entry = ::readdir(entries)) {
        const long owner = temporaryOwner(entry->d_name);
        if (owner == 0 || owner == self || !processIsGone(owner))
            continue;
        struct stat info {};
        if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
            ::unlinkat(fd, entry->d_name, 0);
    }
    ::closedir(entries);
}

} // namespace brev
