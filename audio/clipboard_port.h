// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace brev {

// The desktop clipboard as TWave sees it: one slot for wave data (a RIFF WAVE stream). The
// editor supplies the real one; tests use MemoryClipboard.
class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;
    virtual bool hasWave() const = 0;
    // The wave bytes on the clipboard; empty when there are none.
    virtual std::vector<std::uint8_t> waveBytes() const = 0;
    // Replaces the clipboard's content with these wave bytes.
    virtual void setWaveBytes(std::vector<std::uint8_t> bytes) = 0;
};

class MemoryClipboard final : public ClipboardPort {
public:
    bool hasWave() const override { return hasWave_; }
    std::vector<std::uint8_t> waveBytes() const override { return bytes_; }
    void setWaveBytes(std::vector<std::uint8_t> bytes) override {
        bytes_ = std::move(bytes);
        hasWave_ = true;
        ++setCount_;
    }
    void clear() {
        bytes_.clear();
        hasWave_ = false;
    }
    // How often the content was replaced.
    int setCount() const { return setCount_; }

private:
    std::vector<std::uint8_t> bytes_;
    bool hasWave_ = false;
    int setCount_ = 0;
};

} // namespace brev
