// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern player as a JACK client in jalv, under the test's own timebase master at 144 BPM
// (jackd with the dummy driver at 48 kHz): the tone-burst loop of 120 BPM follows the master's
// bars, by rate or, once prepared, with its pitch kept. Skips, saying why, where jackd, jalv or
// the plugin's LV2 bundle is missing.
#include "child_process.h"
#include "jack_test_server.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_waves.h"
#include "tone_burst.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <thread>
#include <utility>

namespace brev {
namespace {

using test::JackTestClient;

constexpr double kBar = 80000;   // 4 beats of 144 BPM at 48 kHz
constexpr double kRaised = 1200; // the 1 kHz tone played 144/120 as fast
constexpr const char* kOutput = "brev-jalv:lv2_audio_out_1";

// A bar heard: where it began on the master's transport and the tone it began with.
struct Bar {
    double frame;
    double tone;
};

class PatternPlayerInJalv : public test::TempFolderTest {
protected:
    void SetUp() override {
        if (!server_.skipReason().empty())
            GTEST_SKIP() << server_.skipReason();
        if (!test::onPath("jalv"))
            GTEST_SKIP() << "jalv is not installed (Debian package jalv)";
        if (!std::filesystem::exists(BREV_LV2_BUNDLE "/manifest.ttl"))
            GTEST_SKIP() << "the plugin's LV2 bundle is not built: " << BREV_LV2_BUNDLE;
        tester_ = std::make_unique<JackTestClient>(30.0);
        tester_->becomeTimebaseMaster(144);
        tester_->locate(0);
    }

    // jalv ends when its input does, as a user's Ctrl+D ends it.
    void TearDown() override {
        if (!jalv_)
            return;
        jalv_->closeInput();
        EXPECT_TRUE(jalv_->endsWithin(10)) << "jalv did not end with its input\n" << jalvLog();
        EXPECT_EQ(jalv_->exitCode(), 0) << jalvLog();
    }

    // jalv playing the tone-burst loop from its state, its first output recorded.
    void startJalv(bool keepPitch) {
        // LV2_PATH replaces lilv's search list: a folder holding only our bundle, then the
        // system's.
        const std::filesystem::path bundles = folder_ / "lv2", state = folder_ / "state";
        std::filesystem::create_directory(bundles);
        std::filesystem::create_directory_symlink(BREV_LV2_BUNDLE,
                                                  bundles / "brev_pattern_player.lv2");
        setenv("LV2_PATH", (bundles.string() + ":/usr/lib/lv2").c_str(), 1);
        std::filesystem::create_directory(state);
        std::ofstream(state / "state.ttl")
            << "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
               "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
               "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
               "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
               "<> a pset:Preset ;\n  lv2:appliesTo <urn:brev-editor:pattern-player> ;\n"
               "  state:state [ <urn:brev-editor:pattern-player#loop> \""
            << test::writeWav(temp_, "loop.wav", test::toneBurstLoop()) << "\"^^atom:Path ] .\n";
        jalv_ = std::make_unique<test::Child>(
            std::vector<std::string>{"jalv", "-x", "-n", "brev-jalv", "-l", state.string(), "-c",
                                     keepPitch ? "keep_pitch=1" : "keep_pitch=0"},
            "/dev/null", path("jalv.log"), test::Child::Input::Pipe);
        ASSERT_TRUE(tester_->recordFrom(kOutput)) << "jalv's output cannot be recorded\n"
                                                  << jalvLog();
    }

    // Rolls the master's transport from bar 1 (relocating it to locateTo, when given, once 2 bars
    // are heard) until 4 bars in a row heard are wanted, or the recording is full; then stops it
    // and records the stop. Skips where the server dropped periods (a loaded machine): timing
    // seen across them says nothing about the plugin's.
    void rollUntilSteady(const std::function<bool(const Bar&)>& wanted, std::vector<Bar>& bars,
                         std::uint32_t locateTo = 0) {
        roll();
        const std::size_t full = std::size_t(29 * tester_->sampleRate());
        const auto steady = [&](const std::vector<Bar>& heard) {
            for (auto run = heard.begin(); heard.end() - run >= 4; ++run)
                if (std::all_of(run, run + 4, wanted))
                    return true;
            return false;
        };
        while (!steady(bars = heardBars()) && tester_->recorded() < full && jalv_->running()) {
            if (locateTo > 0 && bars.size() >= 2)
                tester_->locate(std::exchange(locateTo, 0));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        tester_->stopTransport();
        awaitFrames(4096);
        bars = heardBars();
        if (tester_->xruns() > 0)
            GTEST_SKIP() << "the server dropped periods " << tester_->xruns() << " times";
        EXPECT_TRUE(steady(bars)) << "4 bars wanted not heard in 29 s\n" << jalvLog();
    }

    // From bar 1, once the recording's connection has joined the server's graph, some periods
    // after it was made.
    void roll() {
        awaitFrames(4096);
        tester_->startTransport();
    }

    void awaitFrames(std::size_t frames) {
        const std::size_t until = tester_->recorded() + frames;
        while (tester_->recorded() < until && jalv_->running())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    // The bars recorded, with 100 ms of tone each.
    std::vector<Bar> heardBars() const {
        std::vector<std::size_t> samples;
        const std::vector<double> frames =
            onsets(*tester_, &JackTestClient::Period::transportFrame, &samples);
        const std::vector<float> left = tester_->left();
        const double rate = tester_->sampleRate();
        std::vector<Bar> bars;
        for (std::size_t k = 0; k < frames.size() && samples[k] + 0.1 * rate < left.size(); ++k)
            bars.push_back({frames[k], test::toneFrequency(left, samples[k], rate)});
        return bars;
    }

    // Each bar starts with one of the master's, from steadyFrom on a whole number of bars after
    // the one before.
    void expectTheMastersBars(const std::vector<Bar>& bars, std::size_t steadyFrom = 0) const {
        for (std::size_t k = 0; k < bars.size(); ++k) {
            // The tone crosses the onsets' threshold 4 frames into the bar, 10 into a stretched
            // one, whose attack the stretch softens (as brev-render --bpm 144 has it).
            EXPECT_LT(std::fmod(bars[k].frame, kBar), 12) << "bar " << k << " is off";
            if (k > steadyFrom) {
                EXPECT_NEAR(std::remainder(bars[k].frame - bars[k - 1].frame, kBar), 0, 1)
                    << "bar " << k;
            }
        }
    }

    std::string jalvLog() const {
        std::ifstream log(path("jalv.log"));
        return {std::istreambuf_iterator<char>(log), {}};
    }

    test::JackTestServer server_;
    std::unique_ptr<JackTestClient> tester_;
    std::unique_ptr<test::Child> jalv_;
};

// Relocated once 2 bars are heard into the middle of a bar, to a place the master tells as
// bar 11, beat 3 and 95 ticks (cut off from 96 by its rounding): the bars go on from the
// master's.
TEST_F(PatternPlayerInJalv, ByRateEveryBarFollowsTheMasterAtARaisedPitchAlsoAfterARelocation) {
    startJalv(false);
    std::vector<Bar> bars;
    constexpr std::uint32_t kPlace = 841000;
    ASSERT_NO_FATAL_FAILURE(
        rollUntilSteady([](const Bar& bar) { return bar.frame > kPlace; }, bars, kPlace));
    if (IsSkipped())
        return;
    expectTheMastersBars(bars);
    for (const Bar& bar : bars)
        EXPECT_NEAR(bar.tone, kRaised, 6) << "at transport frame " << bar.frame;
}

TEST_F(PatternPlayerInJalv, KeepingPitchThePreparedLoopFollowsTheMasterAtItsOwnPitch) {
    startJalv(true);
    std::vector<Bar> bars;
    const auto kept = [](const Bar& bar) { return std::fabs(bar.tone - 1000) < 5; };
    ASSERT_NO_FATAL_FAILURE(rollUntilSteady(kept, bars));
    if (IsSkipped())
        return;
    const auto prepared = std::size_t(std::find_if(bars.begin(), bars.end(), kept) - bars.begin());
    expectTheMastersBars(bars, prepared);
    // Until the prepared loop takes over at a bar start, it plays by rate.
    for (std::size_t k = 0; k < bars.size(); ++k)
        EXPECT_NEAR(bars[k].tone, k < prepared ? kRaised : 1000, 6) << "bar " << k;
}

} // namespace
} // namespace brev
