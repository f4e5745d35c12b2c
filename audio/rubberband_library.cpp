// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Rubber Band, loaded when a loop is first stretched. The functions the stretcher calls are
// defined here under their own names and pass each call on, so a render at the loop's own tempo
// and pitch never loads the library.
#include "base/shared_library.h"

#include <rubberband/rubberband-c.h>

namespace {

using brev::resolve;

struct RubberBand {
    decltype(&rubberband_new) create;
    decltype(&rubberband_delete) destroy;
    decltype(&rubberband_set_expected_input_duration) setExpectedInputDuration;
    decltype(&rubberband_study) study;
    decltype(&rubberband_process) process;
    decltype(&rubberband_available) available;
    decltype(&rubberband_retrieve) retrieve;
};

bool resolveRubberBand(void* library, RubberBand& f) {
    return resolve(library, "rubberband_new", f.create) &&
           resolve(library, "rubberband_delete", f.destroy) &&
           resolve(library, "rubberband_set_expected_input_duration", f.setExpectedInputDuration) &&
           resolve(library, "rubberband_study", f.study) &&
           resolve(library, "rubberband_process", f.process) &&
           resolve(library, "rubberband_available", f.available) &&
           resolve(library, "rubberband_retrieve", f.retrieve);
}

const brev::LoadedLibrary<RubberBand>& rubberBand() {
    return brev::loadLibraryOnce("librubberband.so.2", resolveRubberBand);
}

const RubberBand& stretching() {
    return rubberBand().functions;
}

} // namespace

namespace brev {

const std::string& stretchLibraryError() {
    return rubberBand().error;
}

} // namespace brev

// Callers ask stretchLibraryError() first: without the library no stretcher is made.
extern "C" {

RubberBandState rubberband_new(unsigned int sampleRate, unsigned int channels,
                               RubberBandOptions options, double timeRatio, double pitchScale) {
    if (!brev::stretchLibraryError().empty())
        return nullptr;
    return stretching().create(sampleRate, channels, options, timeRatio, pitchScale);
}

void rubberband_delete(RubberBandState state) {
    if (state)
        stretching().destroy(state);
}

void rubberband_set_expected_input_duration(RubberBandState state, unsigned int samples) {
    stretching().setExpectedInputDuration(state, samples);
}

void rubberband_study(RubberBandState state, const float* const* input, unsigned int samples,
                      int final) {
    stretching().study(state, input, samples, final);
}

void rubberband_process(RubberBandState state, const float* const* input, unsigned int samples,
                        int final) {
    stretching().process(state, input, samples, final);
}

int rubberband_available(const RubberBandState state) {
    return stretching().available(state);
}

unsigned int rubberband_retrieve(const RubberBandState state, float* const* output,
                                 unsigned int samples) {
    return stretching().retrieve(state, output, samples);
}

} // extern "C"
