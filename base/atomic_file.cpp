// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/atomic_file.h"

#include "base/name_limit.h"
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
int syncFolder(int folder) {
    // Some file systems cannot flush a folder, and one open only to pass through (EBADF) cannot
    // be flushed; there is nothing more to be done then.
    return ::fsync(folder) == 0 || errno == EINVAL || errno == EBADF ? 0 : errno;
}

bool isPrivateFolder(int folder) {
    struct stat info {};
    return ::fstat(folder, &info) == 0 && info.st_uid == ::geteuid() && (info.st_mode & 022) == 0;
}

} // namespace

AtomicFile::~AtomicFile() {
    discard();
}

int AtomicFile::open(const std::string& target, FileAccess access, int from) {
    discard();
    folder_.close();
    if (const int error = openSaveTarget(target, folder_, target_, from))
        return error;
    runSaveFolderTakenHook();
    if (access == FileAccess::OwnerOnly && !isPrivateFolder(folder_.fd()))
        return kForeignFolder;
    const int folder = folder_.fd();
    struct stat existing {};
    // A link put in the target's place since it was found is renamed over, never followed.
    const bool exists = ::fstatat(folder, target_.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists) {
        if (const int error = regularFileError(existing.st_mode))
            return error;
        if (::faccessat(folder, target_.c_str(), W_OK, 0) != 0)
            return errno;
    }

    removeStaleTemporaries(folder);
    const std::size_t limit = nameLimit(folder);
    const unsigned mode = access == FileAccess::OwnerOnly ? 0600 : 0666;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary_ = temporaryName(target_, ::getpid(), temporaryCounter.fetch_add(1), limit);
        // Recorded before it exists, so no moment is left in which an interrupt would miss it.
        interruptRemoval_.record(folder, temporary_);
        error = writer_.create(folder, temporary_, mode);
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
    const int folder = folder_.fd();
    if (::renameat(folder, temporary_.c_str(), folder, target_.c_str()) != 0) {
        const int error = errno;
        discard();
        return error;
    }
    interruptRemoval_.release();
    temporary_.clear();
    return syncFolder(folder);
}

void AtomicFile::discard() {
    writer_.close();
    if (!temporary_.empty())
        ::unlinkat(folder_.fd(), temporary_.c_str(), 0);
    interruptRemoval_.release();
    temporary_.clear();
}

int writeFileAtomically(const std::string& target, std::string_view content, FileAccess access,
                        int from) {
    AtomicFile file;
    if (const int error = file.open(target, access, from))
        return error;
    file.writer().write(content.data(), content.size());
    if (const int error = file.close())
        return error;
    return file.replaceTarget();
}

} // namespace brev
