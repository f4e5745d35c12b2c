// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audio_import.h"
#include "audio/loop_stretcher.h"
#include "audio/loop_tempo.h"
#include "editor/core/loop_holder.h"
#include "editor/core/pattern_model.h"

#include <memory>
#include <string>
#include <string_view>

namespace brev {

// What a loop is called: the file it came from (empty when it came without one) and what to
// call it then.
struct LoopName {
    std::string fileName;
    std::string unnamedSource;
};

// One loop being re-arranged: the loop as loaded, the tempo and pitch it is stretched to, the
// stretched loop cut into segments at the pattern's swing (in its holder), the pattern, and the
// loop's name and source format. The window, brev-render and the plugin hold one each, and a
// load, a tempo, a swing or a switch means the same in each. Owner thread only; stretching a
// load may run elsewhere (prepare()).
class LoopDocument {
public:
    // The loop is cut into holder, which outlives the document.
    explicit LoopDocument(LoopHolder& holder);

    PatternModel& pattern() { return pattern_; }
    const PatternModel& pattern() const { return pattern_; }
    const SegmentStore& store() const { return holder_.store(); }
    bool loaded() const { return store().IsLoaded(); }

    // The tempo and pitch every loop is stretched to; they stay from one loop to the next, as a
    // song's tempo and key do. Setting it stretches nothing: see load() and retuned().
    const LoopStretch& target() const { return target_; }
    void setTarget(const LoopStretch& target) { target_ = target; }
    // The stretch of the loop now cut; it differs from the target while a new one is made.
    const LoopStretch& stretched() const { return stretched_; }

    // Any thread: a loop just loaded, stretched to target.
    static StretchedAudio prepare(LoadedAudio audio, const LoopStretch& target,
                                  const DecodeProgress& progress = {});
    // The prepared loop becomes the document's, cut at the pattern's swing; stretch is the
    // target it was prepared for. Returns why it could not be stretched (empty when it was).
    // Raises, changing nothing, when the holder refuses it.
    std::string adopt(StretchedAudio prepared, const LoopStretch& stretch, LoopName name);
    // Both at once, on this thread.
    std::string load(LoadedAudio audio, LoopName name);
    // A loop stretched again from asLoaded to stretch (empty problem) has replaced the one the
    // holder played.
    void retuned(const BrevWave::TWave& asLoaded, const LoopStretch& stretch,
                 const std::string& problem);
    // The holder was replaced by an empty one: nothing is loaded.
    void forgetLoop();

    // The loop as loaded, before any stretch.
    const BrevWave::TWave& loopAsLoaded() const;
    // The loop's own tempo as the tempo table gives it; 0 when nothing is loaded.
    double ownTempo() const;
    const LoopName& name() const { return name_; }
    // The file's name, or what the loop is called without one.
    const std::string& displayName() const;
    // What the loop was converted from; empty for a 16-bit stereo 44100 Hz WAV.
    const std::string& sourceFormat() const { return sourceFormat_; }
    // The target, for a status line: "at 140.00 BPM, +3 st (own 120.00)"; empty when it is the
    // loop's own tempo and pitch.
    std::string targetSummary() const;

    // The swing the loop is cut at; a change cuts the loaded loop again, however it is made
    // (here, an edit of the control, a pattern read, an undo).
    void setSwing(int swing);
    // A toolbar switch of the pattern; smart fades are worked out again when they go on.
    void setSwitch(std::string_view toggle, bool down);

private:
    LoopHolder& holder_;
    PatternModel pattern_;
    LoopStretch target_;
    LoopStretch stretched_;
    // Kept only while stretched: otherwise the holder's loop is the loop as loaded.
    BrevWave::TWave unstretched_;
    LoopName name_{{}, "(Clipboard data)"};
    std::string sourceFormat_;
    int cutSwing_ = 0;
    Subscription swingFollower_;
};

} // namespace brev
