#pragma once

#include "audio/byte_stream.h"
#include "audio/interrupt_cleanup.h"

#include <string>
#include <string_view>

namespace brev {

// A file that replaces its target only once it is complete and on disk: it is written beside
// the target under a temporary name, flushed, and renamed over it at the end, so after a crash
// the target holds either the whole old file or the whole new one. Dropped before that, or
// ended by an interrupt where removeRecordedFilesOnInterrupt is in force, it leaves the target
// as it was and no temporary behind.
class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();

    // Creates the temporary file; 0 or the errno of the failure. A target that exists but may
    // not be written is refused (EACCES) rather than replaced behind the user's back, and so is
    // one that is not a regular file (EISDIR or kNotRegularFile), as a rename would destroy it.
    int open(const std::string& target);
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

    FileWriter writer_;
    InterruptRemoval interruptRemoval_;
    std::string target_;
    std::string folder_; // the target's, with a trailing slash, or empty for the working folder
    std::string temporary_;
};

// The whole of content as the new file at target; 0 or the errno of the failure.
int writeFileAtomically(const std::string& target, std::string_view content);

} // namespace brev
