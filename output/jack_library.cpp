#include "output/jack_library.h"

#include "audio/error.h"

#include <dlfcn.h>
#include <mutex>
#include <string>

namespace brev {

namespace {

void quietJack(const char*) {}

template <typename Function>
void bind(void* handle, Function& function, const char* name, std::string& missing) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    if (function == nullptr)
        missing += missing.empty() ? name : std::string(", ") + name;
}

JackLibrary load() {
    // Never closed: JACK's threads may outlive any one client.
    void* handle = dlopen("libjack.so.0", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        throw Error(std::string("JACK is not installed: ") + dlerror());
    JackLibrary jack{};
    std::string missing;
    bind(handle, jack.client_open, "jack_client_open", missing);
    bind(handle, jack.client_close, "jack_client_close", missing);
    bind(handle, jack.activate, "jack_activate", missing);
    bind(handle, jack.get_sample_rate, "jack_get_sample_rate", missing);
    bind(handle, jack.get_buffer_size, "jack_get_buffer_size", missing);
    bind(handle, jack.set_process_callback, "jack_set_process_callback", missing);
    bind(handle, jack.set_xrun_callback, "jack_set_xrun_callback", missing);
    bind(handle, jack.on_info_shutdown, "jack_on_info_shutdown", missing);
    bind(handle, jack.port_register, "jack_port_register", missing);
    bind(handle, jack.port_get_buffer, "jack_port_get_buffer", missing);
    bind(handle, jack.port_name, "jack_port_name", missing);
    bind(handle, jack.get_ports, "jack_get_ports", missing);
    bind(handle, jack.connect, "jack_connect", missing);
    bind(handle, jack.free, "jack_free", missing);
    bind(handle, jack.last_frame_time, "jack_last_frame_time", missing);
    bind(handle, jack.transport_query, "jack_transport_query", missing);
    bind(handle, jack.midi_get_event_count, "jack_midi_get_event_count", missing);
    bind(handle, jack.midi_event_get, "jack_midi_event_get", missing);
    bind(handle, jack.midi_clear_buffer, "jack_midi_clear_buffer", missing);
    bind(handle, jack.midi_event_write, "jack_midi_event_write", missing);
    bind(handle, jack.set_error_function, "jack_set_error_function", missing);
    bind(handle, jack.set_info_function, "jack_set_info_function", missing);
    if (!missing.empty())
        throw Error("The JACK library lacks " + missing);
    // libjack reports a missing server, among much else, on stderr; our messages say it once.
    jack.set_error_function(quietJack);
    jack.set_info_function(quietJack);
    return jack;
}

} // namespace

const JackLibrary& jackLibrary() {
    static std::mutex mutex;
    static JackLibrary library{};
    static bool loaded = false;
    std::lock_guard<std::mutex> lock(mutex);
    // A failed load is tried again at the next use: JACK may have been installed meanwhile.
    if (!loaded) {
        library = load();
        loaded = true;
    }
    return library;
}

} // namespace brev
