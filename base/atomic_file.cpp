// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/atomic_file.h"

#include "base/name_limit.h"
#include "base/save_target.h"
#include "base/save_temporary.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brev {

namespace {

std::atomic<unsigned> temporaryCounter{0};

// Makes the folder's entries, and so a rename in it, survive a crash.
int syncFolder(const std::string& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // Some file systems cannot flush a folder; there is nothing more to be done then.
    const int error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return error;
}

} // namespace

AtomicFile::~AtomicFile() {
    discard();
}

int AtomicFile::open(const std::string& target, FileAccess access) {
    discard();
    if (const int error = resolveSaveTarget(target, target_))
        return error;
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists) {
        if (const int error = regularFileError(existing.st_mode))
            return error;
        if (::access(target_.c_str(), W_OK) != 0)
            return EACCES;
    }

    // The resolved target is absolute.
    const auto slash = target_.rfind('/');
    folder_ = target_.substr(0, slash + 1);
    const std::string base = target_.substr(slash + 1);
    removeStaleTemporaries(folder_);
    const std::size_t limit = nameLimit(folder_);
    const unsigned mode = access == FileAccess::OwnerOnly ? 0600 : 0666;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary_ =
            folder_ + temporaryName(base, ::getpid(), temporaryCounter.fetch_add(1), limit);
        // Recorded before it exists, so no moment is left in which an interrupt would miss it.
        interruptRemoval_.record(temporary_);
        error = writer_.create(temporary_, mode);
    }
    if (error) {
        interruptRemoval_.release();
        temporary_.clear();
        return error;
    }
    // The replacement keeps the permissions of the file it replaces; a private one gets none
    // the umask might have let through.
    if (access == FileAccess::OwnerOnly)
        (void)::fchmod(writer_.fd(), 0600);
    else if (exists)
        (void)::fchmod(writer_.fd(), existing.st_mode & 07777);
    return 0;
}

int AtomicFile::close() {
    // The data goes to disk before the name points at it: renamed first, a crash could leave
    // the target empty.
    (void)writer_.sync();
    return writer_.close();
}

int AtomicFile::replaceTarget() {
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        discard();
        return error;
    }
    interruptRemoval_.release();
    temporary_.clear();
    return syncFolder(folder_);
}

void AtomicFile::discard() {
    writer_.close();
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    interruptRemoval_.release();
    temporary_.clear();
}

int writeFileAtomically(const std::string& target, std::string_view content) {
    AtomicFile file;
    if (const int error = file.open(target))
        return error;
    file.writer().write(content.data(), content.size());
    if (const int error = file.close())
        return error;
    return file.replaceTarget();
}

} // namespace brev
