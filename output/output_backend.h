// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/sync_mode.h"

#include <array>
#include <cstdint>
#include <string>

namespace brev {

// What the capability report shows, in the layout of the original report's record.
struct DeviceCaps {
    static constexpr std::uint32_t kCertified = 0x40;
    static constexpr std::uint32_t kEmulated = 0x20;
    static constexpr std::uint32_t kSecondary16Bit = 0x800;
    static constexpr std::uint32_t kSecondaryStereo = 0x200;

    std::uint32_t flags = 0;
    std::int32_t maxHwMixingAllBuffers = 0;
    std::int32_t totalHwMemBytes = 0;
    std::int32_t freeHwMemBytes = 0;
};

// One output device of the device list. An all-zero GUID is the system's default device; every
// other device is identified by its host API and device name (PortAudio's indexes change when
// devices come and go), and its GUID is derived from those two.
struct TDriverEntry {
    std::array<unsigned char, 16> GUID{};
    std::string Description;
    std::string HostApi;
    std::string DeviceName;

    bool isDefault() const;
};

// A non-zero 16-byte identifier derived from a host API and device name.
std::array<unsigned char, 16> deviceGuid(const std::string& hostApi, const std::string& deviceName);

// The 7 report lines, each followed by CR LF.
std::string formatCapabilities(const DeviceCaps& caps);

// A sound output that keeps running from construction to destruction, pulling frames from a
// LoopPlayer on its own thread (silence while the player is stopped).
class OutputBackend {
public:
    virtual ~OutputBackend() = default;
    virtual DeviceCaps capabilities() const = 0;
    // Seconds between a frame leaving the player and reaching the listener.
    virtual double latencySeconds() const { return 0; }
    // Frames the device takes per period; 0 when it does not say.
    virtual unsigned periodFrames() const { return 0; }
    // Periods the device played before they were ready (gaps in the sound).
    virtual std::uint64_t underflows() const { return 0; }
    // Why the output no longer delivers what is played (device gone, sound server gone, capture
    // file not written); empty while it works. Any thread but the audio thread.
    virtual std::string failure() const { return {}; }
    // Stops for good and completes what was delivered; raises brev::Error with the reason when
    // that fails. Destruction does the same without raising.
    virtual void finish() {}
    // Follows an outside clock as mode says; false when this output cannot (only JACK can).
    virtual bool setSyncMode(SyncMode mode) { return mode == SyncMode::Off; }
    virtual SyncState syncState() const { return {}; }
};

} // namespace brev
