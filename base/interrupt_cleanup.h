// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace brev {

// Makes SIGINT, SIGTERM, SIGHUP and SIGQUIT remove every file recorded with InterruptRemoval
// before the process ends by that signal as it would have without the handler, and makes a write
// past the file size limit (ulimit -f) fail with EFBIG, which the save reports, instead of
// ending the process by SIGXFSZ. A signal the process ignores stays ignored. Call once, early;
// a program that handles some of these signals itself installs its own handlers afterwards.
void removeRecordedFilesOnInterrupt();

// While it lives, SIGINT, SIGTERM, SIGHUP and SIGQUIT only ask the owner to stop (requested()),
// so it can end what it does cleanly; the destructor puts the previous handling back and then
// delivers the signal, which ends the process as it would have at once. One at a time.
class InterruptDeferral {
public:
    InterruptDeferral();
    InterruptDeferral(const InterruptDeferral&) = delete;
    InterruptDeferral& operator=(const InterruptDeferral&) = delete;
    ~InterruptDeferral();

    bool requested() const;
};

// One file, such as the temporary of a save in progress, that an interrupt removes while it is
// recorded. Recording costs no allocation and works without the handlers installed.
class InterruptRemoval {
public:
    InterruptRemoval() = default;
    InterruptRemoval(const InterruptRemoval&) = delete;
    InterruptRemoval& operator=(const InterruptRemoval&) = delete;
    ~InterruptRemoval() { release(); }

    // Records the file name in the open folder (AT_FDCWD: name is a path) in place of what was
    // recorded before; the folder must stay open while it is recorded. A name too long for the
    // fixed room, or more files at once than it holds, stay unrecorded.
    void record(int folder, const std::string& name);
    void release();

private:
    int slot_ = -1;
};

} // namespace brev
