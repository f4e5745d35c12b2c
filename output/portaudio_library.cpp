// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/portaudio_library.h"

#include "base/shared_library.h"

namespace brev {

namespace {

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}
void quietJack(const char*) {}

// PortAudio loads both; a quiet handler set in them before it starts probing keeps them quiet.
// Either may be missing (PortAudio then goes without that host API).
void silenceProbing() {
    using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
    using JackHandler = void (*)(const char*);
    if (void* alsa = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL)) {
        int (*setHandler)(AlsaHandler) = nullptr;
        if (resolve(alsa, "snd_lib_error_set_handler", setHandler))
            setHandler(quietAlsa);
    }
    if (void* jack = ::dlopen("libjack.so.0", RTLD_NOW | RTLD_LOCAL)) {
        void (*setError)(JackHandler) = nullptr;
        void (*setInfo)(JackHandler) = nullptr;
        if (resolve(jack, "jack_set_error_function", setError))
            setError(quietJack);
        if (resolve(jack, "jack_set_info_function", setInfo))
            setInfo(quietJack);
    }
}

bool resolvePortAudio(void* library, PortAudioLibrary& f) {
    silenceProbing();
    return resolve(library, "Pa_Initialize", f.Initialize) &&
           resolve(library, "Pa_Terminate", f.Terminate) &&
           resolve(library, "Pa_GetErrorText", f.GetErrorText) &&
           resolve(library, "Pa_GetDeviceCount", f.GetDeviceCount) &&
           resolve(library, "Pa_GetDeviceInfo", f.GetDeviceInfo) &&
           resolve(library, "Pa_GetHostApiInfo", f.GetHostApiInfo) &&
           resolve(library, "Pa_GetDefaultOutputDevice", f.GetDefaultOutputDevice) &&
           resolve(library, "Pa_OpenStream", f.OpenStream) &&
           resolve(library, "Pa_SetStreamFinishedCallback", f.SetStreamFinishedCallback) &&
           resolve(library, "Pa_StartStream", f.StartStream) &&
           resolve(library, "Pa_AbortStream", f.AbortStream) &&
           resolve(library, "Pa_CloseStream", f.CloseStream) &&
           resolve(library, "Pa_IsStreamActive", f.IsStreamActive) &&
           resolve(library, "Pa_GetStreamInfo", f.GetStreamInfo);
}

} // namespace

const PortAudioLibrary* portAudioLibrary(std::string& error) {
    const auto& loaded = loadLibraryOnce("libportaudio.so.2", resolvePortAudio);
    error = loaded.error;
    return loaded.ok() ? &loaded.functions : nullptr;
}

} // namespace brev
