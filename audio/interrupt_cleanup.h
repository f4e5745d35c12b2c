#pragma once

#include <string>

namespace brev {

// Makes SIGINT and SIGTERM remove every file recorded with InterruptRemoval before the process
// ends by that signal as it would have without the handler. A signal the process ignores stays
// ignored. For programs without an event loop of their own; call once, early.
void removeRecordedFilesOnInterrupt();

// One file, such as the temporary of a save in progress, that an interrupt removes while it is
// recorded. Recording costs no allocation and works without the handlers installed.
class InterruptRemoval {
public:
    InterruptRemoval() = default;
    InterruptRemoval(const InterruptRemoval&) = delete;
    InterruptRemoval& operator=(const InterruptRemoval&) = delete;
    ~InterruptRemoval() { release(); }

    // Records path in place of what was recorded before. A path too long for the fixed room,
    // or more files at once than it holds, stay unrecorded.
    void record(const std::string& path);
    void release();

private:
    int slot_ = -1;
};

} // namespace brev
