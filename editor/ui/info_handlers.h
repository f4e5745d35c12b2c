// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

namespace brev {

class DesktopViewer;
class EditorContext;

// The window's handlers for the tempo table, the Info button and the help file. The layout
// gives them to its controls (BREV_HANDLER).
class InfoHandlers : public QObject {
    Q_OBJECT

public:
    explicit InfoHandlers(EditorContext* form);

    // Where files are handed for viewing; the desktop's own viewer unless replaced.
    void setViewer(DesktopViewer* viewer) { viewer_ = viewer; }
    // The folder searched for the help file; the program's own folder unless replaced.
    void setProgramDirectory(const QString& directory) { programDirectory_ = directory; }

public slots:
    void TableButtonClick();
    void InfoButtonClick();
    void HelpButtonClick();

private:
    EditorContext* form_;
    DesktopViewer* viewer_;
    QString programDirectory_;
};

} // namespace brev
