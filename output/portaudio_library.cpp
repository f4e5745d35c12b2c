#include "output/portaudio_library.h"

#include <dlfcn.h>
#include <mutex>

namespace brev {

namespace {

constexpr const char* kPortAudio = "libportaudio.so.2";
constexpr const char* kAlsa = "libasound.so.2";
constexpr const char* kJack = "libjack.so.0";

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}
void quietJack(const char*) {}

// The symbol's address as the pointer type of the field it fills; false when it is missing.
template <typename Function> bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

// PortAudio loads both; a quiet handler set in them before it starts probing keeps them quiet.
// Either may be missing (PortAudio then goes without that host API).
void silenceProbing() {
    using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
    using JackHandler = void (*)(const char*);
    if (void* alsa = ::dlopen(kAlsa, RTLD_NOW | RTLD_LOCAL)) {
        int (*setHandler)(AlsaHandler) = nullptr;
        if (resolve(alsa, "snd_lib_error_set_handler", setHandler))
            setHandler(quietAlsa);
    }
    if (void* jack = ::dlopen(kJack, RTLD_NOW | RTLD_LOCAL)) {
        void (*setError)(JackHandler) = nullptr;
        void (*setInfo)(JackHandler) = nullptr;
        if (resolve(jack, "jack_set_error_function", setError))
            setError(quietJack);
        if (resolve(jack, "jack_set_info_function", setInfo))
            setInfo(quietJack);
    }
}

struct Loaded {
    PortAudioLibrary functions{};
    std::string error;
};

Loaded load() {
    Loaded result;
    silenceProbing();
    void* library = ::dlopen(kPortAudio, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = ::dlerror();
        result.error =
            std::string("The sound library could not be loaded: ") + (reason ? reason : kPortAudio);
        return result;
    }
    PortAudioLibrary& f = result.functions;
    const bool complete =
        resolve(library, "Pa_Initialize", f.Initialize) &&
        resolve(library, "Pa_Terminate", f.Terminate) &&
        resolve(library, "Pa_GetErrorText", f.GetErrorText) &&
        resolve(library, "Pa_GetDeviceCount", f.GetDeviceCount) &&
        resolve(library, "Pa_GetDeviceInfo", f.GetDeviceInfo) &&
        resolve(library, "Pa_GetHostApiInfo", f.GetHostApiInfo) &&
        resolve(library, "Pa_GetDefaultOutputDevice", f.GetDefaultOutputDevice) &&
        resolve(library, "Pa_OpenStream", f.OpenStream) &&
        resolve(library, "Pa_SetStreamFinishedCallback", f.SetStreamFinishedCallback) &&
        resolve(library, "Pa_StartStream", f.StartStream) &&
        resolve(library, "Pa_StopStream", f.StopStream) &&
        resolve(library, "Pa_AbortStream", f.AbortStream) &&
        resolve(library, "Pa_CloseStream", f.CloseStream) &&
        resolve(library, "Pa_IsStreamActive", f.IsStreamActive) &&
        resolve(library, "Pa_GetStreamInfo", f.GetStreamInfo);
    if (!complete)
        result.error = std::string("The sound library ") + kPortAudio + " lacks a function.";
    return result;
}

} // namespace

const PortAudioLibrary* portAudioLibrary(std::string& error) {
    static std::once_flag once;
    static Loaded loaded;
    std::call_once(once, [] { loaded = load(); });
    error = loaded.error;
    return loaded.error.empty() ? &loaded.functions : nullptr;
}

} // namespace brev
