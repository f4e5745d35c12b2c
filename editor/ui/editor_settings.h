// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

namespace brev {

// The editor's per-user settings: an INI file, by default brev-editor/settings.ini in the XDG
// config directory. Each call opens the file on its own and is done with it on return, so a
// crash loses nothing already written. A missing or unreadable value reads as the default.
class EditorSettings {
public:
    // Empty: the per-user file.
    explicit EditorSettings(QString fileName = {});

    static QString defaultFileName();
    const QString& fileName() const { return fileName_; }

    int readInteger(const QString& name, int defaultValue) const;
    QString readString(const QString& name, const QString& defaultValue) const;
    // False when the file could not be written.
    bool writeInteger(const QString& name, int value);
    bool writeString(const QString& name, const QString& value);

private:
    bool write(const QString& name, const QVariant& value);

    QString fileName_;
};

} // namespace brev
