// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/clipboard_port.h"

namespace brev {

// The desktop clipboard: wave data travels as "audio/wav"; "audio/x-wav" and "audio/wave" are
// read too, and so is an audio file (WAV, FLAC, AIFF, Ogg ...) copied in a file manager (a
// text/uri-list naming it).
class QtClipboard final : public ClipboardPort {
public:
    bool hasWave() const override;
    std::vector<std::uint8_t> waveBytes() const override;
    void setWaveBytes(std::vector<std::uint8_t> bytes) override;
};

} // namespace brev
