// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Groundwork: the plugin's shape (ports, parameter, states) before it plays anything.
#include "DistrhoPlugin.hpp"

#include <cstring>

START_NAMESPACE_DISTRHO

class PatternPlayer : public Plugin {
public:
    PatternPlayer() : Plugin(1, 0, 9) {}

protected:
    const char* getLabel() const override { return "brev_pattern_player"; }
    const char* getDescription() const override {
        return "Plays a drum loop re-arranged by a pattern, in time with the host";
    }
    const char* getMaker() const override { return "The BREV Editor developers"; }
    const char* getLicense() const override { return "GPL-3.0-or-later"; }
    uint32_t getVersion() const override { return d_version(1, 0, 0); }
    int64_t getUniqueId() const override { return d_cconst('B', 'r', 'v', 'P'); }

    void initParameter(uint32_t, Parameter& parameter) override {
        parameter.hints = kParameterIsAutomatable | kParameterIsInteger;
        parameter.name = "Pattern";
        parameter.symbol = "pattern";
        parameter.ranges.min = 1;
        parameter.ranges.max = 8;
        parameter.ranges.def = 1;
    }
    float getParameterValue(uint32_t) const override { return pattern_; }
    void setParameterValue(uint32_t, float value) override { pattern_ = value; }

    void initState(uint32_t index, State& state) override {
        if (index == 0) {
            state.hints = kStateIsFilenamePath;
            state.key = "loop";
            state.label = "Loop";
        } else {
            state.hints = kStateIsHostReadable;
            state.key = String("pattern") + String(index);
            state.label = String("Pattern ") + String(index);
        }
    }
    void setState(const char*, const char*) override {}
    String getState(const char*) const override { return String(); }

    void run(const float**, float** outputs, uint32_t frames, const MidiEvent*, uint32_t) override {
        std::memset(outputs[0], 0, sizeof(float) * frames);
        std::memset(outputs[1], 0, sizeof(float) * frames);
    }

private:
    float pattern_ = 1;
};

Plugin* createPlugin() {
    return new PatternPlayer();
}

END_NAMESPACE_DISTRHO
