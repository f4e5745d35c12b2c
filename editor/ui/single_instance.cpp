// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/single_instance.h"

#include "base/error.h"
#include "base/private_folder.h"

#include <QDir>
#include <QLockFile>

namespace brev {

namespace {

// Another user can create nothing in the private folder, so no one else can hold the guard.
QString lockFolder() {
    try {
        return QString::fromStdString(privateFolder());
    } catch (const Error&) {
        return {};
    }
}

} // namespace

SingleInstance::SingleInstance(const QString& directory) {
    const QString folder = directory.isEmpty() ? lockFolder() : directory;
    // Without a folder of its own the program runs unguarded rather than not at all.
    if (folder.isEmpty()) {
        acquired_ = true;
        return;
    }
    QDir().mkpath(folder);
    const QString base = folder + u'/' + QLatin1String(kGuid);
    lock_ = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
    socketPath_ = base + QStringLiteral(".socket");
    acquired_ = lock_->tryLock(0);
}

bool SingleInstance::tryAcquire() {
    if (!acquired_)
        acquired_ = lock_->tryLock(0);
    return acquired_;
}

SingleInstance::~SingleInstance() {
    if (lock_ && acquired_)
        lock_->unlock();
}

} // namespace brev
