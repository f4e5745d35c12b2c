// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audio_import.h"

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace brev {

// A load of audio that may decode and resample for a while.
using AudioLoad = std::function<LoadedAudio(const DecodeProgress& progress)>;

// Runs load on a thread of its own while the window goes on painting. For the first half
// second the user's input waits; then a window-modal progress dialog with a Cancel button
// appears. Returns the loaded audio, or nothing when the user cancelled (or the application
// is quitting); the load's own error is raised here on the GUI thread.
std::optional<LoadedAudio> loadInBackground(QWidget* window, const QString& what,
                                            const AudioLoad& load);

} // namespace brev
