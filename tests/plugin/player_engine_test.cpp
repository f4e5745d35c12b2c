// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/player_engine.h"
#include "tests/output/allocation_counter.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_waves.h"

#include <fstream>
#include <gtest/gtest.h>
#include <numeric>

namespace brev {
namespace {

// Bars as long as the host's play sample for sample, each with the pattern chosen before it
// started; a bar half as long plays at twice the speed; nothing plays while the host stands.
TEST(BarPlayer, EachBarPlaysThePatternChosenBeforeItSampleForSample) {
    struct : BarSource {
        PreparedBars bars;
        const PreparedBars* atBarStart() override { return &bars; }
    } source;
    for (int pattern : {0, 1}) {
        std::vector<float> bar(1000);
        std::iota(bar.begin(), bar.end(), pattern * 10000.0f);
        source.bars.bars.push_back({bar, bar});
        source.bars.barOfPattern[pattern] = pattern;
    }
    BarPlayer player;
    std::vector<float> left(300), right(300);
    player.render(HostBarClock::Place{0, 900, 1000, 100}, source, 300, left.data(), right.data());
    EXPECT_EQ(left[0], 900);
    EXPECT_EQ(left[150], 50); // the next bar, from its first sample
    player.choose(1);
    player.render(HostBarClock::Place{1, 200, 1000, 800}, source, 300, left.data(), right.data());
    EXPECT_EQ(left[0], 200); // chosen within the bar: from the next one
    player.render(HostBarClock::Place{1, 900, 1000, 100}, source, 300, left.data(), right.data());
    EXPECT_EQ(left[99], 999);
    EXPECT_EQ(right[100], 10000);
    player.render(HostBarClock::Place{2, 100, 500, 400}, source, 2, left.data(), right.data());
    EXPECT_EQ(left[1], 10202);
    player.render(std::nullopt, source, 300, left.data(), right.data());
    EXPECT_EQ(left[0] + right[299], 0);
}

std::string mutedPattern() {
    std::string text = "[Saved Pattern]\n";
    for (int slot = 0; slot < 16; ++slot)
        text += "Mute " + std::to_string(slot) + "=1\n";
    return text;
}

void writeText(const std::string& file, const std::string& text) {
    std::ofstream(file) << text;
}

// A host faster than real time (as an export is): the first bars are waited for; a pattern
// chosen within a bar, or changed in the state, is heard from the next bar start on, and
// neither the steady blocks nor the hand-over allocate.
TEST(PlayerEngine, PatternsAndNewBarsStartWhereABarStartsWithoutAllocating) {
    test::TempFolder folder;
    constexpr double kRate = 48000; // not the loop's: read across the host's bar
    constexpr std::uint32_t kBlock = 256;
    constexpr std::uint64_t kBarFrames = 96000; // 120 BPM
    PlayerEngine engine(kRate);
    engine.setKeepPitch(false);
    engine.settings().set("loop", test::writeWav(folder, "loop.wav", test::flatWave(88200, 8000)));
    const std::string muted = folder.file("muted.brev");
    writeText(muted, mutedPattern());
    engine.settings().set("pattern2", muted);
    ASSERT_EQ(engine.settings().get("status"), "");

    std::vector<float> left(kBlock), right(kBlock);
    std::vector<float> played;
    int allocations = 0;
    const auto playTo = [&](std::uint64_t end) {
        while (played.size() < end) {
            const double beats = static_cast<double>(played.size()) / (kBarFrames / 4);
            {
                test::AllocationCounter counter;
                engine.begin({true, beats, 120, played.size()}, kBlock, kBlock);
                engine.renderTo(kBlock, left.data(), right.data());
                allocations += counter.count();
            }
            played.insert(played.end(), left.begin(), left.end());
        }
    };
    const auto silentFrom = [&](std::uint64_t from) {
        return static_cast<std::uint64_t>(
            std::find_if(played.begin() + static_cast<std::ptrdiff_t>(from), played.end(),
                         [](float sample) { return sample == 0; }) -
            played.begin());
    };
    playTo(kBarFrames / 2);
    engine.choose(1);
    playTo(2 * kBarFrames);
    EXPECT_EQ(silentFrom(kBarFrames / 4), kBarFrames) << "the first bars were not waited for";
    EXPECT_EQ(*std::max_element(played.begin() + kBarFrames, played.end()), 0);

    engine.choose(0);
    playTo(2 * kBarFrames + kBarFrames / 2);
    engine.settings().set("pattern1", muted);
    playTo(4 * kBarFrames);
    EXPECT_EQ(silentFrom(2 * kBarFrames), 3 * kBarFrames) << "new bars taken within a bar";
    EXPECT_EQ(*std::max_element(played.begin() + 3 * kBarFrames, played.end()), 0);
    if (test::AllocationCounter::available()) {
        EXPECT_EQ(allocations, 0);
    }
}

// A restore sets the saved text, then the file: the text plays even where the file changed
// or went; the file picked again is read again; what cannot be read keeps what plays, and its
// name, and says so until it is set again.
TEST(PlayerSettings, ASongPlaysItsSavedTextAndAFileThatCannotBeReadChangesNothing) {
    test::TempFolder folder;
    BarSupply supply;
    PlayerSettings settings(supply);
    const std::string file = folder.file("a.brev");
    writeText(file, "[Saved Pattern]\nSwing=30\n");
    settings.set("pattern-text3", "[Saved Pattern]\nSwing=10\n");
    settings.set("pattern3", file);
    EXPECT_EQ(settings.get("pattern-text3"), "[Saved Pattern]\nSwing=10\n");
    settings.set("pattern3", file);
    EXPECT_EQ(settings.get("pattern-text3"), "[Saved Pattern]\nSwing=30\n");

    settings.set("loop", folder.file("gone.wav"));
    settings.set("pattern3", folder.file("gone.brev"));
    settings.set("pattern-text4", ""); // a pattern saved unset, restored: its file is a folder
    settings.set("pattern4", folder.path().string());
    settings.set("pattern4", file);
    EXPECT_EQ(settings.get("pattern-text4"), "[Saved Pattern]\nSwing=30\n");
    EXPECT_EQ(settings.get("pattern-text3"), "[Saved Pattern]\nSwing=30\n");
    EXPECT_EQ(settings.get("loop") + settings.get("pattern3"),
              folder.file("gone.wav") + folder.file("gone.brev"));
    const std::string status = settings.get("status");
    EXPECT_NE(status.find("gone.wav"), std::string::npos) << status;
    EXPECT_NE(status.find("gone.brev"), std::string::npos) << status;
    settings.set("pattern3", file);
    EXPECT_EQ(settings.get("status").find("gone.brev"), std::string::npos);
}

} // namespace
} // namespace brev
