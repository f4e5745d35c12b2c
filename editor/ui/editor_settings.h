#pragma once

#include <QString>

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
    void writeInteger(const QString& name, int value);
    void writeString(const QString& name, const QString& value);

private:
    QString fileName_;
};

} // namespace brev
