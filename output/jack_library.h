// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/transport.h>

namespace brev {

// The libjack functions the JACK output uses, looked up in libjack.so.0 when JACK is first used,
// so that a program that never plays through JACK runs where JACK is not installed.
struct JackLibrary {
    decltype(&::jack_client_open) client_open;
    decltype(&::jack_client_close) client_close;
    decltype(&::jack_activate) activate;
    decltype(&::jack_get_sample_rate) get_sample_rate;
    decltype(&::jack_get_buffer_size) get_buffer_size;
    decltype(&::jack_set_process_callback) set_process_callback;
    decltype(&::jack_set_xrun_callback) set_xrun_callback;
    decltype(&::jack_on_info_shutdown) on_info_shutdown;
    decltype(&::jack_port_register) port_register;
    decltype(&::jack_port_get_buffer) port_get_buffer;
    decltype(&::jack_port_name) port_name;
    decltype(&::jack_get_ports) get_ports;
    decltype(&::jack_connect) connect;
    decltype(&::jack_free) free;
    decltype(&::jack_last_frame_time) last_frame_time;
    decltype(&::jack_transport_query) transport_query;
    decltype(&::jack_midi_get_event_count) midi_get_event_count;
    decltype(&::jack_midi_event_get) midi_event_get;
    decltype(&::jack_midi_clear_buffer) midi_clear_buffer;
    decltype(&::jack_midi_event_write) midi_event_write;
    decltype(&::jack_set_error_function) set_error_function;
    decltype(&::jack_set_info_function) set_info_function;
};

// The library, loaded on the first call and kept for the life of the program; raises brev::Error
// with the reason when it is not installed or lacks a function.
const JackLibrary& jackLibrary();

} // namespace brev
