#include "editor/ui/single_instance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace brev {

SingleInstance::SingleInstance(const QString& directory) {
    QString folder = directory;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QDir().mkpath(folder);
    lock_ =
        std::make_unique<QLockFile>(folder + u'/' + QLatin1String(kGuid) + QStringLiteral(".lock"));
    acquired_ = lock_->tryLock(0);
}

SingleInstance::~SingleInstance() {
    if (acquired_)
        lock_->unlock();
}

} // namespace brev
