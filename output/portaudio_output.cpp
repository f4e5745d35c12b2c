// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/portaudio_output.h"

#include "base/error.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <thread>

namespace brev {

namespace {

std::int64_t steadyNanoseconds() noexcept {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Latency asked of the device: its own low figure, but not below this, which keeps a loaded
// machine from dropping periods through a sound server.
constexpr double kMinLatencySeconds = 0.03;

// What is added to the wait for the last sound, and how often that wait looks again.
constexpr std::chrono::milliseconds kTailMargin{20};
// The deepest buffer a sound server keeps ahead of playback: a PulseAudio sink's 2 seconds.
constexpr std::chrono::seconds kServerBuffer{2};

PaDeviceIndex findDevice(const PortAudioLibrary& pa, const TDriverEntry& entry) {
    if (entry.isDefault())
        return pa.GetDefaultOutputDevice();
    for (PaDeviceIndex i = 0, n = pa.GetDeviceCount(); i < n; ++i) {
        const PaDeviceInfo* info = pa.GetDeviceInfo(i);
        const PaHostApiInfo* api = info ? pa.GetHostApiInfo(info->hostApi) : nullptr;
        if (api && info->maxOutputChannels > 0 && entry.HostApi == api->name &&
            entry.DeviceName == info->name)
            return i;
    }
    return paNoDevice;
}

} // namespace

PortAudioSession::PortAudioSession() {
    library_ = portAudioLibrary(error_);
    if (!library_)
        return;
    // PortAudio's own JACK host API would hold a client on a running JACK server, and its
    // Pa_Terminate aborts once that server has gone away; the native JACK output serves JACK
    // instead. Pointed at a server that does not exist, it stays away.
    const char* jackServer = std::getenv("JACK_DEFAULT_SERVER");
    const std::string savedServer = jackServer != nullptr ? jackServer : "";
    setenv("JACK_DEFAULT_SERVER", "brev-editor-portaudio-without-jack", 1);
    PaError result = library_->Initialize();
    if (jackServer != nullptr)
        setenv("JACK_DEFAULT_SERVER", savedServer.c_str(), 1);
    else
        unsetenv("JACK_DEFAULT_SERVER");
    ok_ = result == paNoError;
    if (!ok_)
        error_ = library_->GetErrorText(result);
}

PortAudioSession::~PortAudioSession() {
    if (ok_)
        library_->Terminate();
}

std::vector<TDriverEntry> portAudioDevices() {
    std::vector<TDriverEntry> devices;
    std::string error;
    const PortAudioLibrary* pa = portAudioLibrary(error);
    if (!pa)
        return devices;
    for (PaDeviceIndex i = 0, n = pa->GetDeviceCount(); i < n; ++i) {
        const PaDeviceInfo* info = pa->GetDeviceInfo(i);
        const PaHostApiInfo* api = info ? pa->GetHostApiInfo(info->hostApi) : nullptr;
        if (!api || info->maxOutputChannels <= 0)
            continue;
        TDriverEntry entry;
        entry.HostApi = api->name;
        entry.DeviceName = info->name;
        entry.Description = entry.DeviceName + " (" + entry.HostApi + ")";
        entry.GUID = deviceGuid(entry.HostApi, entry.DeviceName);
        devices.push_back(std::move(entry));
    }
    return devices;
}

int PortAudioOutput::callback(const void*, void* output, unsigned long frames,
                              const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags flags,
                              void* self) noexcept {
    auto* out = static_cast<PortAudioOutput*>(self);
    if (flags & paOutputUnderflow)
        out->underflows_.fetch_add(1, std::memory_order_relaxed);
    const std::int64_t now = steadyNanoseconds();
    const std::int64_t waited = now - out->lastCallback_.load(std::memory_order_relaxed);
    if (waited > out->longestWait_.load(std::memory_order_relaxed))
        out->longestWait_.store(waited, std::memory_order_relaxed);
    out->lastCallback_.store(now, std::memory_order_relaxed);
    if (out->player_.render(static_cast<std::int16_t*>(output), static_cast<unsigned>(frames)) > 0)
        out->lastSound_.store(now, std::memory_order_relaxed);
    return paContinue;
}

void PortAudioOutput::streamFinished(void* self) noexcept {
    // Release: the stream's last callback happened before whoever sees the flag.
    static_cast<PortAudioOutput*>(self)->ended_.store(true, std::memory_order_release);
}

PortAudioOutput::PortAudioOutput(LoopPlayer& player, const TDriverEntry& device) : player_(player) {
    if (!session_.ok())
        throw Error(session_.error());
    pa_ = &session_.library();
    PaDeviceIndex index = findDevice(*pa_, device);
    if (index == paNoDevice)
        throw Error(device.isDefault() ? "No default output device"
                                       : "Device not found: " + device.Description);
    const PaDeviceInfo* info = pa_->GetDeviceInfo(index);

    PaStreamParameters parameters{};
    parameters.device = index;
    parameters.channelCount = 2;
    parameters.sampleFormat = paInt16;
    parameters.suggestedLatency = std::max(info->defaultLowOutputLatency, kMinLatencySeconds);
    PaStream* stream = nullptr;
    // A small fixed period keeps the refill look-ahead (one period) short.
    PaError result = pa_->OpenStream(&stream, nullptr, &parameters, kDeviceRate, kPeriodFrames,
                                     paNoFlag, callback, this);
    if (result != paNoError)
        throw Error(pa_->GetErrorText(result));
    lastCallback_.store(steadyNanoseconds(), std::memory_order_relaxed);
    result = pa_->SetStreamFinishedCallback(stream, streamFinished);
    if (result == paNoError)
        result = pa_->StartStream(stream);
    if (result != paNoError) {
        pa_->CloseStream(stream);
        throw Error(pa_->GetErrorText(result));
    }
    stream_ = stream;
    if (const PaStreamInfo* streamInfo = pa_->GetStreamInfo(stream))
        latency_ = streamInfo->outputLatency;
    stallLimit_ = std::max<std::chrono::nanoseconds>(
        kMinStallLimit, std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::duration<double>(kStallLatencies * latency_)));
    // The stream is 16-bit stereo by construction; nothing PortAudio reports maps onto the
    // hardware mixing and memory figures, so those stay zero.
    caps_.flags = DeviceCaps::kSecondary16Bit | DeviceCaps::kSecondaryStereo;
}

std::string PortAudioOutput::failure() const {
    if (stream_ == nullptr)
        return {};
    if (ended_.load(std::memory_order_acquire))
        return "The output stream stopped.";
    const PaError active = pa_->IsStreamActive(stream_);
    if (active < 0)
        return pa_->GetErrorText(active);
    if (active == 0)
        return "The output stream stopped.";
    const auto silence = std::chrono::nanoseconds(steadyNanoseconds() -
                                                  lastCallback_.load(std::memory_order_relaxed));
    if (silence > stallLimit_)
        return "The device has asked for no sound for " +
               std::to_string(
                   std::chrono::duration_cast<std::chrono::milliseconds>(silence).count()) +
               " ms.";
    return {};
}

void PortAudioOutput::finish() {
    // A sound server may hold what it took ahead for as long as its deepest buffer, or as long
    // as it was seen to ask for nothing, on top of the latency the stream reports. A stream that
    // has failed never delivers it.
    if (stream_ == nullptr)
        return;
    const std::int64_t sound = lastSound_.load(std::memory_order_relaxed);
    const std::int64_t ahead =
        std::max<std::int64_t>(longestWait_.load(std::memory_order_relaxed),
                               std::chrono::nanoseconds(kServerBuffer).count());
    const std::int64_t onItsWay = ahead + std::chrono::duration_cast<std::chrono::nanoseconds>(
                                              std::chrono::duration<double>(latency_) + kTailMargin)
                                              .count();
    while (sound != 0 && failure().empty() && steadyNanoseconds() - sound < onItsWay)
        std::this_thread::sleep_for(kTailMargin);
    close();
}

void PortAudioOutput::close() noexcept {
    if (stream_ == nullptr)
        return;
    pa_->AbortStream(stream_);
    pa_->CloseStream(stream_);
    stream_ = nullptr;
}

PortAudioOutput::~PortAudioOutput() {
    // Stopped by the user, or replaced: what is still queued is not wanted.
    close();
}

} // namespace brev
