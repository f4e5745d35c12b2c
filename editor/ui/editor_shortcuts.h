// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace brev {

class ControlRegistry;
class PatternHistory;

// The keys a desktop user tries first: Ctrl+O, Ctrl+S, Ctrl+V and Ctrl+C click the toolbar's
// load, save, paste and copy buttons; Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo.
void addEditorShortcuts(QWidget& window, const ControlRegistry& controls, PatternHistory& history);

// The window holds the keyboard focus, so that its keys work from the start and after a click on
// any control that takes no focus. A number box it holds takes the keys of text editing (Ctrl+Z,
// Ctrl+E, ...) only while a number is typed into it; Enter gives the focus back to the window.
void keepKeysForWindow(QWidget& window);

} // namespace brev
