// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace brev {

class TInterfaceForm;

// Makes the window take audio dropped on it: an audio file from a file manager
// (text/uri-list) loads as the load command loads a chosen file, wave data (audio/wav) as the
// paste command loads the clipboard's.
class DropTarget : public QObject {
public:
    explicit DropTarget(TInterfaceForm& form);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TInterfaceForm& form_;
};

} // namespace brev
