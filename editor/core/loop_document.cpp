// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/loop_document.h"

#include "editor/core/pattern_controls.h"
#include "editor/core/pattern_tools.h"

#include <cstdio>

namespace brev {

namespace {

std::string twoDecimals(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

} // namespace

LoopDocument::LoopDocument(LoopHolder& holder) : holder_(holder) {
    const int swing = controlIndex(kSwingNumber);
    swingFollower_ = pattern_.addView([this, swing](int control, int value) {
        if (control == swing)
            setSwing(value);
    });
}

StretchedAudio LoopDocument::prepare(LoadedAudio audio, const LoopStretch& target,
                                     const DecodeProgress& progress) {
    return stretchLoaded(std::move(audio), target, progress);
}

std::string LoopDocument::adopt(StretchedAudio prepared, const LoopStretch& stretch,
                                LoopName name) {
    const int swing = pattern_.NumberValue(kSwingNumber);
    holder_.cut(std::move(prepared.audio.wave), swing);
    cutSwing_ = swing;
    unstretched_ = std::move(prepared.unstretched);
    // A target the loop cannot reach: it plays at its own tempo.
    stretched_ = prepared.problem.empty() ? stretch : LoopStretch{};
    sourceFormat_ = std::move(prepared.audio.convertedFrom);
    name_ = std::move(name);
    return std::move(prepared.problem);
}

std::string LoopDocument::load(LoadedAudio audio, LoopName name) {
    return adopt(prepare(std::move(audio), target_), target_, std::move(name));
}

void LoopDocument::retuned(const BrevWave::TWave& asLoaded, const LoopStretch& stretch,
                           const std::string& problem) {
    stretched_ = stretch;
    unstretched_ = problem.empty() && changesLoop(asLoaded.GetSamples(), stretch)
                       ? asLoaded
                       : BrevWave::TWave();
}

void LoopDocument::forgetLoop() {
    unstretched_ = BrevWave::TWave();
    stretched_ = {};
}

const BrevWave::TWave& LoopDocument::loopAsLoaded() const {
    return unstretched_.GetSamples() > 0 ? unstretched_ : holder_.cutLoop();
}

double LoopDocument::ownTempo() const {
    return loaded() ? loopTempo(loopAsLoaded().GetSamples()) : 0;
}

const std::string& LoopDocument::displayName() const {
    return name_.fileName.empty() ? name_.unnamedSource : name_.fileName;
}

std::string LoopDocument::targetSummary() const {
    std::string text;
    if (target_.targetCentiBpm != 0)
        text = "at " + twoDecimals(target_.targetCentiBpm / 100.0) + " BPM";
    if (target_.pitchSemitones != 0) {
        if (!text.empty())
            text += ", ";
        text += (target_.pitchSemitones > 0 ? "+" : "") + std::to_string(target_.pitchSemitones) +
                " st";
    }
    if (!text.empty() && ownTempo() > 0)
        text += " (own " + twoDecimals(ownTempo()) + ")";
    return text;
}

void LoopDocument::setSwing(int swing) {
    pattern_.SetNumberValue(kSwingNumber, swing);
    const int clamped = pattern_.NumberValue(kSwingNumber);
    if (loaded() && clamped != cutSwing_) {
        holder_.recut(clamped);
        cutSwing_ = clamped;
    }
}

void LoopDocument::setSwitch(std::string_view toggle, bool down) {
    pattern_.setToggleDown(toggle, down);
    if (toggle == kSmartFadesButton)
        smartFadesButtonClick(pattern_);
}

} // namespace brev
