// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The play command's one-slot-ahead refill, heard through the real-time null output and its
// capture.
#include "editor/core/pattern_model.h"
#include "editor/core/render.h"
#include "editor/session/playback_session.h"
#include "output/tds.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_waves.h"

#include <gtest/gtest.h>
#include <thread>

namespace brev {
namespace {

using test::samplesOf;

constexpr std::int32_t kUnit = 3000; // 68 ms a region: room for a loaded machine
constexpr int kPasses = 3;

// What a slot plays: its own segment as it is, with the left channel inverted, muted, or
// reversed.
enum class Sound { Raw, Inverted, Muted, Reversed };

void setSound(PatternAccess& pattern, int slot, Sound sound) {
    pattern.SetCheckValue(slotControlName(kPhaseCheckText, slot), sound == Sound::Inverted);
    pattern.SetCheckValue(slotControlName(kMuteCheckText, slot), sound == Sound::Muted);
    pattern.SetCheckValue(slotControlName(kReverseCheckText, slot), sound == Sound::Reversed);
}

TEST(Refill, EachChangeIsHeardFromTheNextTimeItsSlotPlays) {
    test::TempFolder dir;
    std::string capture = dir.file("capture.wav");
    // Swing, so regions differ in length; a 5-frame tail that never reaches the buffer.
    std::string input = test::writeWav(dir, "loop.wav", test::countingWave(16 * kUnit + 5, 7));
    std::vector<std::int16_t> expected;
    {
        OutputOptions options;
        options.nullOutput = true;
        options.capturePath = capture;
        TDS engine(0, options);
        engine.LoadSourceFile(input, 20);
        PatternModel pattern;

        // Edits happen in the hand-over of a slot start, keyed by its number, just before the
        // session renders.
        struct Edit {
            int call, slot;
            Sound sound;
        };
        const std::vector<Edit> edits = {
            {8, 5, Sound::Inverted},        // pass 0, after slot 5 was written: heard from pass 1
            {16 + 9, 10, Sound::Muted},     // pass 1, at event 9, which renders 10: heard in pass 1
            {16 + 10, 10, Sound::Reversed}, // pass 1, at event 10, which renders 11: from pass 2
            {16 + 12, 0, Sound::Muted}      // after the loop below was offered: heard in it
        };
        int calls = 0;
        PlaybackSession(engine, pattern).playToEnd(kPasses, [&](int) {
            // The same loop takes over at pass 2, its slots rendered at an event of pass 1.
            if (calls == 16 + 1)
                engine.RetuneLoop(std::make_shared<BrevWave::TWave>(engine.LoadedSource()), {});
            for (const Edit& edit : edits)
                if (edit.call == calls)
                    setSound(pattern, edit.slot, edit.sound);
            ++calls;
        });
        EXPECT_GE(calls, 16 * kPasses) << "a hand-over for every region of every pass";

        // Expected: each region as the pattern had it when the region was written. The play
        // command writes every slot before it starts, so pass 0 already sounds as edited.
        auto sound = [](int pass, int slot) {
            if (slot == 5 && pass >= 1)
                return Sound::Inverted;
            if (slot == 0 && pass >= 2)
                return Sound::Muted;
            if (slot == 10 && pass == 1)
                return Sound::Muted;
            if (slot == 10 && pass >= 2)
                return Sound::Reversed;
            return Sound::Raw;
        };
        std::vector<std::int16_t> raw = samplesOf(engine.Store().source());
        for (int pass = 0; pass < kPasses; ++pass) {
            for (int slot = 0; slot < 16; ++slot) {
                const std::int32_t start = engine.Store().regionStart(slot);
                const std::int32_t frames = engine.Store().regionFrames(slot);
                for (std::int32_t f = 0; f < frames; ++f) {
                    const Sound s = sound(pass, slot);
                    const std::int32_t from = start + (s == Sound::Reversed ? frames - 1 - f : f);
                    const std::int16_t left = raw[2 * static_cast<std::size_t>(from)];
                    const std::int16_t right = raw[2 * static_cast<std::size_t>(from) + 1];
                    expected.push_back(s == Sound::Muted      ? std::int16_t{0}
                                       : s == Sound::Inverted ? static_cast<std::int16_t>(-left)
                                                              : left);
                    expected.push_back(s == Sound::Muted ? std::int16_t{0} : right);
                }
            }
        }
    } // the engine's end completes the capture

    BrevWave::TWave captured;
    captured.LoadFromFile(capture);
    std::vector<std::int16_t> got = samplesOf(captured);
    ASSERT_EQ(got.size(), expected.size()) << "exactly " << kPasses << " passes";
    for (size_t i = 0; i < got.size(); ++i) {
        size_t frame = i / 2;
        ASSERT_EQ(got[i], expected[i]) << "pass " << frame / (16 * kUnit) << ", frame "
                                       << frame % (16 * kUnit) << (i % 2 ? " right" : " left");
    }
}

// A loop made ready on a worker gets its slots rendered there from the pattern as it was when the
// worker started; a slot edited meanwhile is rendered again as the loop takes over.
TEST(Refill, ALoopMadeReadyTakesOverWithTheEditsMadeMeanwhile) {
    OutputOptions options;
    options.nullOutput = true;
    TDS engine(0, options);
    engine.LoadSourceWave(test::countingWave(16 * kUnit, 7), 20);
    PatternModel pattern;
    PlaybackSession session(engine, pattern);
    setSound(pattern, 2, Sound::Reversed);
    engine.RetuneLoop(std::make_shared<BrevWave::TWave>(engine.LoadedSource()), {});
    setSound(pattern, 5, Sound::Muted);
    // Stopped, the loop takes over at the first slot event after it is ready.
    while (!engine.TakeRetune()) {
        session.slotStarted(15);
        std::this_thread::yield();
    }

    SegmentStore expected;
    expected.load(engine.LoadedSource(), 20);
    renderAll(pattern, expected);
    const std::uint8_t* bytes = expected.joinSlots().GetData();
    EXPECT_EQ(engine.outputBytes(), std::vector<std::uint8_t>(bytes, bytes + engine.BufferBytes()));
}

} // namespace
} // namespace brev
