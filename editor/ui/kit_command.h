// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace brev {

class TInterfaceForm;

// The kit export of the window: the "Export kit" button beside the waveform strip and Ctrl+E
// write the rendered pattern as a kit into a chosen folder, remembered in the settings; the
// LEDs and the strip's slot regions drag a slot's file out.
class KitCommand : public QObject {
    Q_OBJECT

public:
    explicit KitCommand(TInterfaceForm& form);

public slots:
    void ExportKitButtonClick();

private:
    TInterfaceForm& form_;
};

} // namespace brev
