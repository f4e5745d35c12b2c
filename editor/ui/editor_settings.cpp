// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/editor_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace brev {

EditorSettings::EditorSettings(QString fileName)
    : fileName_(fileName.isEmpty() ? defaultFileName() : std::move(fileName)) {}

QString EditorSettings::defaultFileName() {
    // GenericConfigLocation follows $XDG_CONFIG_HOME, else ~/.config.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/brev-editor/settings.ini");
}

namespace {

// Reading, like writing, creates the file when it is missing.
void ensureFile(const QString& fileName) {
    if (QFileInfo::exists(fileName))
        return;
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile file(fileName);
    file.open(QIODevice::WriteOnly);
}

} // namespace

int EditorSettings::readInteger(const QString& name, int defaultValue) const {
    ensureFile(fileName_);
    QSettings settings(fileName_, QSettings::IniFormat);
    bool ok = false;
    const int value = settings.value(name).toInt(&ok);
    return ok ? value : defaultValue;
}

QString EditorSettings::readString(const QString& name, const QString& defaultValue) const {
    ensureFile(fileName_);
    QSettings settings(fileName_, QSettings::IniFormat);
    const QVariant value = settings.value(name);
    return value.isValid() ? value.toString() : defaultValue;
}

bool EditorSettings::write(const QString& name, const QVariant& value) {
    ensureFile(fileName_);
    QSettings settings(fileName_, QSettings::IniFormat);
    settings.setValue(name, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool EditorSettings::writeInteger(const QString& name, int value) {
    return write(name, value);
}

bool EditorSettings::writeString(const QString& name, const QString& value) {
    return write(name, value);
}

} // namespace brev
