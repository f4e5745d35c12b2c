// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace brev {

// The program's one-instance guard: a lock file named by a fixed GUID in the user's private
// folder. The first instance holds it until the guard is destroyed; a lock left by a crashed
// instance is taken over. Beside the lock, the first instance listens on a local socket for
// files that later starts hand over.
class SingleInstance {
public:
    static constexpr char kGuid[] = "6F2D4B1A-93C7-4E58-A0B6-D17E5C3F8A24";

    // directory: where the lock lives; empty for the user's private folder.
    explicit SingleInstance(const QString& directory = {});
    ~SingleInstance();

    // False when another instance holds the guard.
    bool acquired() const { return acquired_; }
    // Tries again, for when the instance that held the guard may have ended.
    bool tryAcquire();

    // Where the first instance takes files from later starts; empty when the program runs
    // unguarded.
    QString socketPath() const { return socketPath_; }

private:
    std::unique_ptr<QLockFile> lock_;
    bool acquired_ = false;
    QString socketPath_;
};

} // namespace brev
