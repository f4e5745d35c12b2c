// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// compare_bars EXPORT.wav RENDER.wav...: whether a host's export holds the renders one after
// another, sample for sample, each render one bar as long as it is. Read as floats, as
// libsndfile reads them: a 32-bit float export as it is, a 16-bit render as its samples / 32768,
// the plugin's output. Prints a line per bar: equal, or its first differing frame, and whether
// the bar is silent; exits 0 when every bar is equal and nothing follows the last one.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <sndfile.h>
#include <string>
#include <vector>

namespace {

struct Sound {
    int channels = 0;
    std::vector<float> samples; // interleaved
    sf_count_t frames() const { return static_cast<sf_count_t>(samples.size()) / channels; }
};

std::optional<Sound> readSound(const char* path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (file == nullptr) {
        std::fprintf(stderr, "compare_bars: %s: %s\n", path, sf_strerror(nullptr));
        return std::nullopt;
    }
    Sound sound{info.channels,
                std::vector<float>(static_cast<size_t>(info.frames * info.channels))};
    const sf_count_t read = sf_readf_float(file, sound.samples.data(), info.frames);
    sf_close(file);
    if (read != info.frames) {
        std::fprintf(stderr, "compare_bars: %s: read %lld of %lld frames\n", path,
                     static_cast<long long>(read), static_cast<long long>(info.frames));
        return std::nullopt;
    }
    return sound;
}

// A frame's samples in 16-bit steps, where a render's are whole numbers.
std::string steps(const float* frame, int channels) {
    std::string text;
    for (int c = 0; c < channels; ++c) {
        char value[32];
        std::snprintf(value, sizeof value, "%s%.9g", c == 0 ? "" : " ", frame[c] * 32768.0);
        text += value;
    }
    return text;
}

// Compares bar (from 1) of the export, starting at start, with render; true when equal.
bool compareBar(int bar, const Sound& exported, sf_count_t start, const Sound& render) {
    const int channels = exported.channels;
    const float* ours = exported.samples.data() + start * channels;
    const sf_count_t frames = std::min(render.frames(), exported.frames() - start);
    const bool silent = std::all_of(ours, ours + frames * channels, [](float s) { return s == 0; });
    sf_count_t frame = 0;
    while (frame < frames && std::equal(ours + frame * channels, ours + (frame + 1) * channels,
                                        render.samples.data() + frame * channels)) {
        ++frame;
    }
    if (frame == render.frames()) {
        std::printf("bar %d: equal\n", bar);
        return true;
    }
    if (frame == frames) {
        std::printf("bar %d: the export ends after %lld of its %lld frames%s\n", bar,
                    static_cast<long long>(frames), static_cast<long long>(render.frames()),
                    silent ? ", silent" : "");
        return false;
    }
    std::printf("bar %d: first differs at frame %lld (of the export: %lld): export %s, render %s "
                "(in 16-bit steps)%s\n",
                bar, static_cast<long long>(frame), static_cast<long long>(start + frame),
                steps(ours + frame * channels, channels).c_str(),
                steps(render.samples.data() + frame * channels, channels).c_str(),
                silent ? "; the bar is silent" : "");
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "Usage: compare_bars EXPORT.wav RENDER.wav...\n");
        return 2;
    }
    const std::optional<Sound> exported = readSound(argv[1]);
    if (!exported)
        return 2;
    bool equal = true;
    sf_count_t start = 0;
    for (int bar = 1; bar < argc - 1; ++bar) {
        const std::optional<Sound> render = readSound(argv[bar + 1]);
        if (!render)
            return 2;
        if (render->channels != exported->channels) {
            std::fprintf(stderr, "compare_bars: %s has %d channels, the export %d\n", argv[bar + 1],
                         render->channels, exported->channels);
            return 2;
        }
        equal = compareBar(bar, *exported, start, *render) && equal;
        start = std::min(start + render->frames(), exported->frames());
    }
    if (start < exported->frames()) {
        std::printf("the export goes on for %lld frames after the last bar\n",
                    static_cast<long long>(exported->frames() - start));
        equal = false;
    }
    return equal ? 0 : 1;
}
