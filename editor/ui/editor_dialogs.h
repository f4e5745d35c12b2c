// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QColorDialog;
class QFileDialog;
class QWidget;

namespace brev {

// What a file dialog is asked for: "wav" and "WAV|*.wav" style extension and filter, the folder
// it opens in. The file name starts empty.
struct FileDialogRequest {
    QString defaultExtension;
    QString filter; // "Description|*.ext"
    QString directory;
    QString suggestedName{}; // the name the dialog starts with; empty: none
};

// Everything of the editor that waits for the user: file and colour dialogs and message boxes.
// The window asks through this so that tests can answer without a modal loop.
class EditorDialogs {
public:
    virtual ~EditorDialogs() = default;

    // The chosen path, or nothing when cancelled. The save dialog asks before overwriting.
    virtual std::optional<QString> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    // A folder, opening in directory under title; nothing when cancelled. It may name a folder
    // that does not exist yet.
    virtual std::optional<QString> chooseFolder(const QString& title, const QString& directory) = 0;

    // A plain notice with an OK button ("Load some audio first", an error's text).
    virtual void message(const QString& text) = 0;
    // A warning with a single Ignore button ("Sorry, but I was unable to load ...").
    virtual void warning(const QString& text) = 0;
    // An error that ended a command, as the application shows exceptions: its text, OK.
    virtual void error(const QString& text) = 0;
};

// The real dialogs: the window's own open, save and colour dialogs, and message boxes.
class QtEditorDialogs final : public EditorDialogs {
public:
    // The window's own dialogs, reused so that each remembers its place; boxes open over window.
    QtEditorDialogs(QWidget& window, QFileDialog* open, QFileDialog* save, QColorDialog* colour)
        : window_(window), open_(open), save_(save), colour_(colour) {}

    std::optional<QString> openFile(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QString> chooseFolder(const QString& title, const QString& directory) override;
    void message(const QString& text) override;
    void warning(const QString& text) override;
    void error(const QString& text) override;

private:
    QWidget& window_;
    QFileDialog* open_;
    QFileDialog* save_;
    QColorDialog* colour_;
};

// "WAV|*.wav" as a Qt name filter: "WAV (*.wav)".
QString qtNameFilter(const QString& filter);

} // namespace brev
