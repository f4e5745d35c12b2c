// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern player as the plugin framework sees it: ports, controls, state and run.
#include "DistrhoPlugin.hpp"
#include "plugin/pattern_player_keys.h"
#include "plugin/pattern_player_status.h"
#include "plugin/player_engine.h"

#include <algorithm>
#include <cmath>
#include <optional>

START_NAMESPACE_DISTRHO

namespace {

using brev::kControlCount;
using brev::kPatternControl;

// Restores set states in this order (LV2) or in the keys' order (VST3): either way each
// pattern's text before its file.
constexpr uint32_t kLoopState = 0;
constexpr uint32_t kFirstTextState = 1;
constexpr uint32_t kFirstFileState = kFirstTextState + brev::kPatternCount;
constexpr uint32_t kStatusState = kFirstFileState + brev::kPatternCount;
constexpr uint32_t kStateCount = kStatusState + 1;

// The host's place as the bar clock reads it; figures no transport could mean count as none.
brev::HostPosition hostPosition(const TimePosition& time) {
    const auto& bbt = time.bbt;
    const bool sane = bbt.valid && bbt.bar >= 1 && bbt.beat >= 1 && bbt.beatsPerBar >= 1 &&
                      bbt.beat <= bbt.beatsPerBar && std::isfinite(bbt.ticksPerBeat) &&
                      bbt.ticksPerBeat >= 1 && bbt.tick >= 0 && bbt.tick < bbt.ticksPerBeat &&
                      bbt.beatsPerMinute >= 1 && bbt.beatsPerMinute < 1e6;
    if (!sane)
        return {};
    const double beats =
        (bbt.bar - 1.0) * bbt.beatsPerBar + (bbt.beat - 1) + bbt.tick / bbt.ticksPerBeat;
    return {time.playing, beats, bbt.beatsPerMinute, time.frame};
}

std::optional<int> programChange(const MidiEvent& event) {
    if (event.size == 2 && (event.data[0] & 0xF0) == 0xC0 && event.data[1] < brev::kPatternCount)
        return event.data[1];
    return std::nullopt;
}

} // namespace

class PatternPlayer : public Plugin {
public:
    PatternPlayer() : Plugin(kControlCount, 0, kStateCount), engine_(getSampleRate()) {}

    std::string status() const { return engine_.settings().get("status"); }

protected:
    const char* getLabel() const override { return "brev_pattern_player"; }
    const char* getDescription() const override {
        return "Plays a drum loop re-arranged by a pattern, in time with the host";
    }
    const char* getMaker() const override { return "The BREV Editor developers"; }
    const char* getLicense() const override { return "GPL-3.0-or-later"; }
    uint32_t getVersion() const override { return d_version(1, 0, 0); }
    int64_t getUniqueId() const override { return d_cconst('B', 'r', 'v', 'P'); }

    void initParameter(uint32_t index, Parameter& parameter) override {
        parameter.hints = kParameterIsAutomatable | kParameterIsInteger;
        if (index == kPatternControl) {
            parameter.name = "Pattern";
            parameter.symbol = "pattern";
            parameter.ranges = ParameterRanges(1, 1, brev::kPatternCount);
        } else {
            parameter.hints |= kParameterIsBoolean;
            parameter.name = "Keep pitch";
            parameter.symbol = "keep_pitch";
            parameter.ranges = ParameterRanges(1, 0, 1);
        }
    }
    float getParameterValue(uint32_t index) const override {
        return index == kPatternControl ? static_cast<float>(pattern_ + 1) : keepPitch_;
    }
    void setParameterValue(uint32_t index, float value) override {
        if (index == kPatternControl) {
            pattern_ = std::clamp(static_cast<int>(std::lround(value)), 1, brev::kPatternCount) - 1;
            engine_.choose(pattern_);
        } else {
            keepPitch_ = value > 0.5f;
            engine_.setKeepPitch(keepPitch_);
        }
    }

    void initState(uint32_t index, State& state) override {
        if (index == kLoopState) {
            state.hints = kStateIsFilenamePath;
            state.key = "loop";
            state.label = "Loop";
        } else if (index < kFirstFileState) {
            state.hints = kStateIsOnlyForDSP;
            state.key = String("pattern-text") + String(index - kFirstTextState + 1);
        } else if (index < kStatusState) {
            state.hints = kStateIsFilenamePath;
            state.key = brev::patternKey(index - kFirstFileState).c_str();
            state.label = String("Pattern ") + String(index - kFirstFileState + 1);
        } else {
            state.hints = kStateIsHostReadable;
            state.key = "status";
            state.label = "Status";
        }
    }
    void setState(const char* key, const char* value) override {
        engine_.settings().set(key, value);
    }
    String getState(const char* key) const override {
        return String(engine_.settings().get(key).c_str());
    }

    void sampleRateChanged(double rate) override { engine_.setRate(rate); }

    void run(const float**, float** outputs, uint32_t frames, const MidiEvent* events,
             uint32_t eventCount) override {
        engine_.begin(hostPosition(getTimePosition()), frames, getBufferSize());
        for (uint32_t i = 0; i < eventCount; ++i) {
            if (const std::optional<int> program = programChange(events[i])) {
                engine_.renderTo(std::min(events[i].frame, frames), outputs[0], outputs[1]);
                pattern_ = *program;
                engine_.choose(pattern_);
            }
        }
        engine_.renderTo(frames, outputs[0], outputs[1]);
    }

private:
    brev::PlayerEngine engine_;
    int pattern_ = 0;
    bool keepPitch_ = true;
};

Plugin* createPlugin() {
    return new PatternPlayer();
}

END_NAMESPACE_DISTRHO

std::string brev::playerStatus(const void* instance) {
    const auto* plugin = static_cast<const DISTRHO_NAMESPACE::Plugin*>(instance);
    return static_cast<const DISTRHO_NAMESPACE::PatternPlayer*>(plugin)->status();
}
