// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/loop_document.h"
#include "output/sync_mode.h"

#include <functional>

namespace brev {

// Opens a playback engine (the output chosen by BREV_AUDIO / BREV_AUDIO_CAPTURE, else the default
// device) and has load fill a document whose loop the engine holds; then renders and writes all
// 16 slots, plays the loop looping for passes passes and, on each slot-start event, renders and
// writes the next slot, as the editor's play command does. Returns when the last pass has been
// heard. With sync on it plays through JACK as client brev-render, waiting for the transport or
// the MIDI clock to start it; raises brev::Error when no JACK server answers. keepPitch is the
// engine's "Keep pitch".
void playLoop(const std::function<void(LoopDocument&)>& load, unsigned passes,
              SyncMode sync = SyncMode::Off, bool keepPitch = true);

} // namespace brev
