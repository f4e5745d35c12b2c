// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <portaudio.h>
#include <string>

namespace brev {

// The PortAudio functions the output uses, taken from the shared library when a real device is
// first wanted, so that a program that plays nothing (brev-render writing a file, the null
// output) never loads PortAudio, ALSA or JACK.
struct PortAudioLibrary {
    decltype(&Pa_Initialize) Initialize;
    decltype(&Pa_Terminate) Terminate;
    decltype(&Pa_GetErrorText) GetErrorText;
    decltype(&Pa_GetDeviceCount) GetDeviceCount;
    decltype(&Pa_GetDeviceInfo) GetDeviceInfo;
    decltype(&Pa_GetHostApiInfo) GetHostApiInfo;
    decltype(&Pa_GetDefaultOutputDevice) GetDefaultOutputDevice;
    decltype(&Pa_OpenStream) OpenStream;
    decltype(&Pa_SetStreamFinishedCallback) SetStreamFinishedCallback;
    decltype(&Pa_StartStream) StartStream;
    decltype(&Pa_AbortStream) AbortStream;
    decltype(&Pa_CloseStream) CloseStream;
    decltype(&Pa_IsStreamActive) IsStreamActive;
    decltype(&Pa_GetStreamInfo) GetStreamInfo;
};

// The library, loaded on the first call and kept for the life of the process, with the ALSA
// and JACK libraries it probes silenced first (they otherwise print dozens of lines). Null, with
// the reason in error, when it cannot be loaded.
const PortAudioLibrary* portAudioLibrary(std::string& error);

} // namespace brev
