// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/ui/editor_dialogs.h"
#include "editor/ui/editor_settings.h"

namespace brev {

// The file dialogs for loops, opening in the folder the last one was loaded from or saved to.
FileDialogRequest openWaveDialog(const EditorSettings& settings);
// Starts with the name of loopFile, the loop's file (empty: none), in a format a save writes.
FileDialogRequest saveWaveDialog(const EditorSettings& settings, const QString& loopFile);
// Remembers the folder of a loop loaded or saved.
void rememberWaveFolder(EditorSettings& settings, const QString& path);

} // namespace brev
