// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/save_temporary.h"

#include "base/name_limit.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brev {

namespace {

constexpr std::string_view kMarker = ".tmp-brev-";
constexpr std::size_t kOriginDigits = 16;

std::uint64_t fnv1a(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

// The host's name and the PID namespace's identity, hashed to a fixed width; "unknown", which
// no name is ever judged by, where either cannot be told.
std::string findOrigin() {
    char space[64];
    const ssize_t length = ::readlink("/proc/self/ns/pid", space, sizeof space);
    char host[HOST_NAME_MAX + 1] = {};
    if (length <= 0 || static_cast<std::size_t>(length) == sizeof space ||
        ::gethostname(host, sizeof host - 1) != 0)
        return "unknown";
    const std::string identity =
        std::string(host) + '\n' + std::string(space, static_cast<std::size_t>(length));
    char digits[kOriginDigits + 1];
    std::snprintf(digits, sizeof digits, "%016llx",
                  static_cast<unsigned long long>(fnv1a(identity)));
    return digits;
}

const std::string& thisOrigin() {
    static const std::string origin = findOrigin();
    return origin;
}

// The process of this origin that wrote a temporary of that name, or 0 for any other name.
long temporaryOwner(std::string_view name) {
    const auto marker = name.rfind(kMarker);
    if (name.empty() || name.front() != '.' || marker == std::string_view::npos)
        return 0;
    const std::string_view origin = name.substr(marker + kMarker.size(), kOriginDigits);
    if (origin != thisOrigin() || origin.size() != kOriginDigits)
        return 0;
    const char* const end = name.data() + name.size();
    const char* const afterOrigin = origin.data() + origin.size();
    if (afterOrigin == end || *afterOrigin != '-')
        return 0;
    long pid = 0;
    unsigned serial = 0;
    auto [afterPid, pidError] = std::from_chars(afterOrigin + 1, end, pid);
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
    const std::string suffix = std::string(kMarker) + thisOrigin() + "-" + std::to_string(pid) +
                               "-" + std::to_string(serial);
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
