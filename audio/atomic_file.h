#pragma once

#include "audio/byte_stream.h"

#include <string>
#include <string_view>

namespace brev {

// A file that replaces its target only once it is complete: it is written beside the target
// under a temporary name and renamed over it at the end. Dropped before that, it leaves the
// target as it was and no temporary behind.
class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();

    // Creates the temporary file; 0 or the errno of the failure. A target that exists but may
    // not be written is refused (EACCES) rather than replaced behind the user's back.
    int open(const std::string& target);
    ByteWriter& writer() { return writer_; }
    // Flushes and closes the temporary; 0 or the errno of the first failed write.
    int close();
    // Moves the closed temporary over the target; 0 or the errno of the failure.
    int replaceTarget();

private:
    void discard();

    FileWriter writer_;
    std::string target_;
    std::string temporary_;
};

// The whole of content as the new file at target; 0 or the errno of the failure.
int writeFileAtomically(const std::string& target, std::string_view content);

} // namespace brev
