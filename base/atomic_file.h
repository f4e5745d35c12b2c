// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/byte_stream.h"
#include "base/interrupt_cleanup.h"
#include "base/save_target.h"

#include <string>
#include <string_view>

namespace brev {

// Who may read a saved file.
enum class FileAccess {
    // As the umask allows; a replaced file keeps its permissions.
    Shared,
    // This user alone (0600), whatever the file replaced allowed, in a folder that is this
    // user's and that no one else may write (kForeignFolder otherwise).
    OwnerOnly,
};

// A file that replaces its target only once it is complete and on disk: it is written beside
// the target under a hidden temporary name, flushed, and renamed over it at the end, so after a
// crash the target holds either the whole old file or the whole new one. The target's folder is
// found and checked once and held open: the temporary is made, renamed and flushed in it, never
// by a path that could lead elsewhere by then. Dropped before that,
// or ended by a signal where removeRecordedFilesOnInterrupt is in force, it leaves the target
// as it was and no temporary behind; temporaries of runs killed outright are removed by the
// next save into their folder. Every save of the program goes through here.
class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();

    // Creates the temporary file; 0 or the errno of the failure. A link as the target, or on
    // the way to it, is followed as openSaveTarget says (kUnsafeLink where it may not be), so
    // the file it leads to is replaced and the link kept. A target that exists but may not be
    // written is refused with the system's reason (EACCES, EROFS) rather than replaced behind
    // the user's back, and so is one that is not a regular file (EISDIR or kNotRegularFile), as
    // a rename would destroy it. A relative target starts at the folder from.
    int open(const std::string& target, FileAccess access = FileAccess::Shared,
             int from = AT_FDCWD);
    ByteWriter& writer() { return writer_; }
    // errno of the first failed write, 0 if none.
    int writeError() const { return writer_.error(); }
    // Flushes the temporary to disk and closes it; 0 or the errno of the first failure.
    int close();
    // Moves the closed temporary over the target and flushes the folder; 0 or the errno of
    // the failure.
    int replaceTarget();

private:
    void discard();

    // Dropped before the folder, whose descriptor the removal uses.
    HeldFolder folder_;
    FileWriter writer_;
    InterruptRemoval interruptRemoval_;
    // Names in folder_.
    std::string target_;
    std::string temporary_;
};

// The whole of content as the new file at target (relative: from the folder from); 0 or the
// errno of the failure.
int writeFileAtomically(const std::string& target, std::string_view content,
                        FileAccess access = FileAccess::Shared, int from = AT_FDCWD);

} // namespace brev
