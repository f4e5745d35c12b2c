// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/ui/handler_binding.h"

#include <QList>

class QColorDialog;
class QComboBox;
class QFileDialog;
class QWidget;

namespace brev {

class ControlRegistry;
class StatusPanel;
class WaveformStrip;

// What the window keeps of what the builder made.
struct WindowWidgets {
    WaveformStrip* waveform = nullptr;
    QComboBox* drivers = nullptr;
    QList<StatusPanel*> statusPanels; // in kStatusPanels order
    QColorDialog* colorDialog = nullptr;
    QFileDialog* openDialog = nullptr;
    QFileDialog* saveDialog = nullptr;
};

// Gives the window its caption, size, font and colours, then creates the controls of
// interfaceLayout(), the waveform strip, the status bar and the dialogs, in that order, which
// is also the order they are stacked in.
WindowWidgets buildWindow(QWidget& window);

// Connects every control's event to the handler the layout gives it.
void bindLayoutHandlers(const ControlRegistry& controls, const HandlerReceivers& receivers);

} // namespace brev
