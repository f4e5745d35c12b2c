// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/jack_library.h"

#include "base/error.h"
#include "base/shared_library.h"

namespace brev {

namespace {

void quietJack(const char*) {}

bool resolveJack(void* library, JackLibrary& f) {
    const bool all = resolve(library, "jack_client_open", f.client_open) &&
                     resolve(library, "jack_client_close", f.client_close) &&
                     resolve(library, "jack_activate", f.activate) &&
                     resolve(library, "jack_get_sample_rate", f.get_sample_rate) &&
                     resolve(library, "jack_get_buffer_size", f.get_buffer_size) &&
                     resolve(library, "jack_set_process_callback", f.set_process_callback) &&
                     resolve(library, "jack_set_xrun_callback", f.set_xrun_callback) &&
                     resolve(library, "jack_on_info_shutdown", f.on_info_shutdown) &&
                     resolve(library, "jack_port_register", f.port_register) &&
                     resolve(library, "jack_port_get_buffer", f.port_get_buffer) &&
                     resolve(library, "jack_port_name", f.port_name) &&
                     resolve(library, "jack_get_ports", f.get_ports) &&
                     resolve(library, "jack_connect", f.connect) &&
                     resolve(library, "jack_free", f.free) &&
                     resolve(library, "jack_last_frame_time", f.last_frame_time) &&
                     resolve(library, "jack_transport_query", f.transport_query) &&
                     resolve(library, "jack_midi_get_event_count", f.midi_get_event_count) &&
                     resolve(library, "jack_midi_event_get", f.midi_event_get) &&
                     resolve(library, "jack_midi_clear_buffer", f.midi_clear_buffer) &&
                     resolve(library, "jack_midi_event_write", f.midi_event_write) &&
                     resolve(library, "jack_set_error_function", f.set_error_function) &&
                     resolve(library, "jack_set_info_function", f.set_info_function);
    if (all) {
        // libjack reports a missing server, among much else, on stderr; our messages say it once.
        f.set_error_function(quietJack);
        f.set_info_function(quietJack);
    }
    return all;
}

} // namespace

const JackLibrary& jackLibrary() {
    const auto& loaded = loadLibraryOnce("libjack.so.0", resolveJack);
    if (!loaded.ok())
        throw Error("JACK is not available.\n" + loaded.error);
    return loaded.functions;
}

} // namespace brev
