// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_access.h"
#include "editor/ui/loop_drag_handle.h"

class QWidget;

namespace brev {

class EditorDialogs;
class EditorSettings;
class StatusPanel;
class TDS;

// What the window's helpers (the info and pattern tool handlers, the kit export, the sync
// choice) reach it through: besides the loop they may drag out and the way a command runs, the
// engine, the pattern, the settings, the dialogs and the status bar.
class EditorContext : public DragSource {
public:
    // The window their buttons, shortcuts and captions belong to.
    virtual QWidget& editorWindow() = 0;
    // True once the engine is open; engine() raises brev::Error before.
    virtual bool started() const = 0;
    virtual TDS& engine() = 0;
    virtual PatternAccess& pattern() = 0;
    virtual EditorSettings& settings() = 0;
    virtual EditorDialogs& dialogs() = 0;
    // A panel of the status bar, by its place in kStatusPanels.
    virtual StatusPanel* statusPanel(int index) const = 0;
    // Gives a panel (-1: every panel) its normal text again.
    virtual void UpdateStatusBar(int panel) = 0;
};

} // namespace brev
