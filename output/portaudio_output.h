#pragma once

#include "output/loop_player.h"
#include "output/output_backend.h"

#include <string>
#include <vector>

namespace brev {

// Keeps PortAudio initialised for its lifetime (PortAudio counts nested sessions). The first one
// silences the ALSA and JACK libraries, which otherwise print dozens of lines while probing.
class PortAudioSession {
public:
    PortAudioSession();
    ~PortAudioSession();
    PortAudioSession(const PortAudioSession&) = delete;
    PortAudioSession& operator=(const PortAudioSession&) = delete;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }

private:
    bool ok_ = false;
    std::string error_;
};

// Every output device PortAudio reports, in its order. Needs an open session.
std::vector<TDriverEntry> portAudioDevices();

// The real output: a PortAudio stream of 16-bit stereo at 44100 Hz on the chosen device (the
// default device for an all-zero GUID), started at construction and kept running until
// destruction, so that Play starts at once and no tail is lost. Raises brev::Error with the
// reason when the device cannot be found, opened or started.
class PortAudioOutput : public OutputBackend {
public:
    PortAudioOutput(LoopPlayer& player, const TDriverEntry& device);
    ~PortAudioOutput() override;

    DeviceCaps capabilities() const override { return caps_; }
    double latencySeconds() const override { return latency_; }

private:
    PortAudioSession session_;
    void* stream_ = nullptr;
    DeviceCaps caps_;
    double latency_ = 0;
};

} // namespace brev
