#include "output/portaudio_output.h"

#include "audio/error.h"

#include <algorithm>
#include <alsa/error.h>
#include <jack/jack.h>
#include <portaudio.h>

namespace brev {

namespace {

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}
void quietJack(const char*) {}

std::int64_t steadyNanoseconds() noexcept {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Latency asked of the device: its own low figure, but not below this, which keeps a loaded
// machine from dropping periods through a sound server.
constexpr double kMinLatencySeconds = 0.03;

PaDeviceIndex findDevice(const TDriverEntry& entry) {
    if (entry.isDefault())
        return Pa_GetDefaultOutputDevice();
    for (PaDeviceIndex i = 0, n = Pa_GetDeviceCount(); i < n; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        const PaHostApiInfo* api = info ? Pa_GetHostApiInfo(info->hostApi) : nullptr;
        if (api && info->maxOutputChannels > 0 && entry.HostApi == api->name &&
            entry.DeviceName == info->name)
            return i;
    }
    return paNoDevice;
}

} // namespace

PortAudioSession::PortAudioSession() {
    snd_lib_error_set_handler(quietAlsa);
    jack_set_error_function(quietJack);
    jack_set_info_function(quietJack);
    PaError result = Pa_Initialize();
    ok_ = result == paNoError;
    if (!ok_)
        error_ = Pa_GetErrorText(result);
}

PortAudioSession::~PortAudioSession() {
    if (ok_)
        Pa_Terminate();
}

std::vector<TDriverEntry> portAudioDevices() {
    std::vector<TDriverEntry> devices;
    for (PaDeviceIndex i = 0, n = Pa_GetDeviceCount(); i < n; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        const PaHostApiInfo* api = info ? Pa_GetHostApiInfo(info->hostApi) : nullptr;
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
    out->lastCallback_.store(steadyNanoseconds(), std::memory_order_relaxed);
    out->player_.render(static_cast<std::int16_t*>(output), static_cast<unsigned>(frames));
    return paContinue;
}

void PortAudioOutput::streamFinished(void* self) noexcept {
    // Release: the stream's last callback happened before whoever sees the flag.
    static_cast<PortAudioOutput*>(self)->ended_.store(true, std::memory_order_release);
}

PortAudioOutput::PortAudioOutput(LoopPlayer& player, const TDriverEntry& device) : player_(player) {
    if (!session_.ok())
        throw Error(session_.error());
    PaDeviceIndex index = findDevice(device);
    if (index == paNoDevice)
        throw Error(device.isDefault() ? "No default output device"
                                       : "Device not found: " + device.Description);
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);

    PaStreamParameters parameters{};
    parameters.device = index;
    parameters.channelCount = 2;
    parameters.sampleFormat = paInt16;
    parameters.suggestedLatency = std::max(info->defaultLowOutputLatency, kMinLatencySeconds);
    PaStream* stream = nullptr;
    // A small fixed period keeps the refill look-ahead (one period) short.
    PaError result = Pa_OpenStream(&stream, nullptr, &parameters, kDeviceRate, kPeriodFrames,
                                   paNoFlag, callback, this);
    if (result != paNoError)
        throw Error(Pa_GetErrorText(result));
    lastCallback_.store(steadyNanoseconds(), std::memory_order_relaxed);
    result = Pa_SetStreamFinishedCallback(stream, streamFinished);
    if (result == paNoError)
        result = Pa_StartStream(stream);
    if (result != paNoError) {
        Pa_CloseStream(stream);
        throw Error(Pa_GetErrorText(result));
    }
    stream_ = stream;
    if (const PaStreamInfo* streamInfo = Pa_GetStreamInfo(stream))
        latency_ = streamInfo->outputLatency;
    // The stream is 16-bit stereo by construction; nothing PortAudio reports maps onto the
    // hardware mixing and memory figures, so those stay zero.
    caps_.flags = DeviceCaps::kSecondary16Bit | DeviceCaps::kSecondaryStereo;
}

std::string PortAudioOutput::failure() const {
    if (ended_.load(std::memory_order_acquire))
        return "The output stream stopped.";
    const PaError active = Pa_IsStreamActive(stream_);
    if (active < 0)
        return Pa_GetErrorText(active);
    if (active == 0)
        return "The output stream stopped.";
    const auto silence = std::chrono::nanoseconds(steadyNanoseconds() -
                                                  lastCallback_.load(std::memory_order_relaxed));
    if (silence > kStallLimit)
        return "The device has asked for no sound for " +
               std::to_string(
                   std::chrono::duration_cast<std::chrono::milliseconds>(silence).count()) +
               " ms.";
    return {};
}

PortAudioOutput::~PortAudioOutput() {
    // Stop, not abort, while the device works: what is already queued still reaches the
    // listener. A stream that has failed may never drain, so it is aborted.
    if (failure().empty())
        Pa_StopStream(stream_);
    else
        Pa_AbortStream(stream_);
    Pa_CloseStream(stream_);
}

} // namespace brev
