// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The JACK output against a real JACK server (jackd with the dummy driver, started per test): the
// transport with a timebase master, MIDI clock in and out, and a server that goes away. Each test
// skips, saying why, where jackd cannot start.
#include "editor/core/pattern_model.h"
#include "editor/session/playback_session.h"
#include "jack_test_server.h"
#include "output/tds.h"
#include "tests/support/test_waves.h"
#include "tone_burst.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <thread>

namespace brev {
namespace {

using namespace std::chrono_literals;
using test::JackTestClient;
using test::JackTestServer;
using test::kLoopFrames;
using test::onsets;
using test::toneBurstLoop;
using test::toneFrequency;

#if defined(__SANITIZE_THREAD__)
constexpr bool kThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr bool kThreadSanitizer = true;
#else
constexpr bool kThreadSanitizer = false;
#endif
#else
constexpr bool kThreadSanitizer = false;
#endif

constexpr double kLoopBpm = 661500.0 / (kLoopFrames / 16);

// A loop that is silent but for a burst at its start, so that every pass is one onset.
BrevWave::TWave burstLoop() {
    std::vector<std::int16_t> samples(2 * kLoopFrames, 0);
    for (int i = 0; i < 2 * 200; ++i)
        samples[i] = 20000;
    return test::waveOfSamples(samples);
}

// Timing checks that a run could not judge, said once at its end: a busy machine's run passes
// without them, and its output says how many there were.
class TimingTally : public ::testing::Environment {
public:
    void count(bool judged) { ++(judged ? judged_ : notJudged_); }
    void TearDown() override {
        if (notJudged_ > 0)
            std::printf("[ TIMING   ] %d of %d JACK timing checks not judged (periods dropped by "
                        "the server, or ThreadSanitizer)\n",
                        notJudged_, judged_ + notJudged_);
    }

private:
    int judged_ = 0;
    int notJudged_ = 0;
};
TimingTally* const timingTally =
    static_cast<TimingTally*>(::testing::AddGlobalTestEnvironment(new TimingTally));

class JackSync : public ::testing::Test {
protected:
    explicit JackSync(unsigned period = 1024) : server_(48000, period) {}

    // Timing is judged only where the server dropped no period since the set-up settled, and
    // not under ThreadSanitizer, which makes our callbacks many times slower than the server's
    // clock allows for.
    // Counted in the tally either way.
    bool serverKeptTime() const {
        const bool kept = tester_->xruns() == settledXruns_ && !kThreadSanitizer;
        timingTally->count(kept);
        return kept;
    }

    void SetUp() override {
        if (!server_.skipReason().empty())
            GTEST_SKIP() << server_.skipReason();
        tester_ = std::make_unique<JackTestClient>(20.0);
    }

    std::unique_ptr<TDS> engine(SyncMode sync, int driverIndex = 0,
                                BrevWave::TWave loop = burstLoop()) {
        OutputOptions options;
        options.jackClientName = "brev-test";
        options.sync = sync;
        auto engine = std::make_unique<TDS>(driverIndex, options);
        engine->LoadSourceWave(std::move(loop), 0);
        tester_->listenTo("brev-test");
        settle();
        return engine;
    }

    // The server makes new connections part of its graph some periods after it accepts them.
    void settle() {
        std::this_thread::sleep_for(300ms);
        settledXruns_ = tester_->xruns();
    }

    JackTestServer server_;
    std::unique_ptr<JackTestClient> tester_;
    std::uint64_t settledXruns_ = 0;
};

TEST_F(JackSync, TransportWithMasterPlaysTheLoopAsOneBarOfTheMastersTempo) {
    auto engine = this->engine(SyncMode::JackTransport);
    ASSERT_EQ(engine->GetSyncMode(), SyncMode::JackTransport) << engine->OutputNotice();
    tester_->becomeTimebaseMaster(140);
    engine->PlayStoredSlots(0);
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(onsets(*tester_, &JackTestClient::Period::frameTime).empty())
        << "plays before the transport rolls";

    tester_->startTransport();
    std::this_thread::sleep_for(6s);
    const double bar = 60.0 / 140 * 4 * tester_->sampleRate();
    // A relocation into the middle of a bar: the loop jumps there.
    tester_->locate(static_cast<std::uint32_t>(10.5 * bar));
    std::this_thread::sleep_for(3s);
    tester_->stopTransport();
    std::this_thread::sleep_for(300ms);

    const SyncState state = engine->Sync();
    EXPECT_NEAR(state.bpm, 140, 0.1);
    EXPECT_NEAR(state.rateHz, 44100 * 140 / kLoopBpm, 2);

    if (!serverKeptTime())
        GTEST_SKIP() << "the server dropped " << tester_->xruns() - settledXruns_
                     << " periods: timing not judged";
    const std::vector<JackTestClient::Period> periods = tester_->periods();
    const std::vector<float> left = tester_->left();
    // Silent from the second period after the transport stops (or pauses to relocate): the
    // first may still end a pass begun before.
    bool rolled = false, stoppedBefore = false;
    for (const JackTestClient::Period& period : periods) {
        rolled = rolled || period.rolling;
        if (rolled && !period.rolling && stoppedBefore) {
            const auto first = left.begin() + long(period.firstSample);
            EXPECT_EQ(std::count(first, first + period.frames, 0.0f), long(period.frames))
                << "sound in a period after the transport stopped";
        }
        stoppedBefore = rolled && !period.rolling;
    }
    const std::vector<double> barPlaces = onsets(*tester_, &JackTestClient::Period::transportFrame);
    ASSERT_GE(barPlaces.size(), 5u);
    EXPECT_NEAR(barPlaces[0], 0, 2) << "the first pass does not start with the transport";
    for (std::size_t k = 1; k < barPlaces.size(); ++k) {
        const double bars = barPlaces[k] / bar;
        EXPECT_NEAR(bars, std::round(bars), 0.005) << "onset " << k << " is off the bar";
        if (barPlaces[k] > barPlaces[k - 1] && barPlaces[k] < 5 * bar) {
            EXPECT_NEAR(barPlaces[k] - barPlaces[k - 1], bar, 0.005 * bar);
        }
    }
    EXPECT_GT(barPlaces.back(), 11.5 * bar) << "not two onsets after the relocation";
}

// A master may publish anything: each figure no clock could mean leaves the loop playing on its
// own clock, saying so, until the master makes sense again.
TEST_F(JackSync, AMasterOfAbsurdFiguresLeavesTheLoopOnItsOwnClock) {
    auto engine = this->engine(SyncMode::JackTransport);
    tester_->becomeTimebaseMaster(140);
    engine->PlayStoredSlots(0);
    tester_->startTransport();
    const auto followed = [&](bool yes) { // at the master's tempo, or at the loop's own rate
        for (int i = 0; i < 500; ++i, std::this_thread::sleep_for(10ms))
            if (engine->Sync().following == yes && (engine->Sync().rateHz == 44100) != yes)
                return true;
        return false;
    };
    using Spoil = JackTestClient::Spoil;
    for (Spoil spoil : std::initializer_list<Spoil>{
             [](jack_position_t& p) { p.ticks_per_beat = 4.9e-324; },
             [](jack_position_t& p) { p.ticks_per_beat = std::nan(""); },
             [](jack_position_t& p) { p.beats_per_bar = 0; },
             [](jack_position_t& p) { p.beats_per_minute = -HUGE_VAL; },
             [](jack_position_t& p) { p.bar = -3; }, [](jack_position_t& p) { p.tick = 1920; }}) {
        tester_->spoilPosition(spoil);
        EXPECT_TRUE(followed(false));
        EXPECT_EQ(engine->Sync().problem,
                  "JACK transport position unusable: playing on its own clock");
        tester_->spoilPosition(nullptr);
        EXPECT_TRUE(followed(true));
    }
}

TEST_F(JackSync, MidiClockSetsTheTempoAndStartsTheLoop) {
    auto engine = this->engine(SyncMode::MidiClock);
    ASSERT_EQ(engine->GetSyncMode(), SyncMode::MidiClock) << engine->OutputNotice();
    tester_->clockInto("brev-test");
    settle();
    engine->PlayStoredSlots(0);
    tester_->sendClock(100);
    std::this_thread::sleep_for(7800ms);
    EXPECT_TRUE(engine->Sync().following);
    const SyncState following = engine->Sync();
    const std::vector<double> found = onsets(*tester_, &JackTestClient::Period::frameTime);
    const bool keptTime = serverKeptTime();
    if (keptTime) {
        EXPECT_NEAR(following.bpm, 100, 0.5);
        ASSERT_GE(found.size(), 4u);
        const double bar = 60.0 / 100 * 4 * tester_->sampleRate();
        for (std::size_t k = 1; k < found.size(); ++k)
            EXPECT_NEAR(found[k] - found[k - 1], bar, 0.005 * bar)
                << "pass " << k << " at " << found[k] << " after " << found[k - 1];
    }

    // The clock stops without a Stop: the loop plays on at its own tempo, and says so.
    tester_->stopClock();
    std::this_thread::sleep_for(1s);
    EXPECT_FALSE(engine->Sync().problem.empty());
    const std::size_t heard = onsets(*tester_, &JackTestClient::Period::frameTime).size();
    bool playsOn = false;
    for (int i = 0; i < 50 && !playsOn; ++i) {
        std::this_thread::sleep_for(100ms);
        playsOn = onsets(*tester_, &JackTestClient::Period::frameTime).size() > heard;
    }
    EXPECT_TRUE(playsOn) << "no pass began within 5 seconds of the clock stopping";
    if (!keptTime)
        GTEST_SKIP() << "the server dropped periods: the tempo and period were not judged";
}

TEST_F(JackSync, OwnClockGoesOutAs24PulsesPerBeatWithStartAndStop) {
    // The JACK server is offered in the device list; chosen there, it plays without sync.
    int jackIndex = -1;
    {
        OutputOptions options;
        options.nullOutput = false;
        TDS probe(0, options);
        for (int i = 0; i < probe.DriverCount(); ++i)
            if (probe.Driver(i).HostApi == "JACK")
                jackIndex = i;
    }
    ASSERT_GE(jackIndex, 0) << "no JACK entry in the device list";
    auto engine = this->engine(SyncMode::Off, jackIndex);
    ASSERT_EQ(engine->DriverIndex(), jackIndex);
    engine->PlayStoredSlots(0);
    std::this_thread::sleep_for(3s);
    engine->Stop();
    std::this_thread::sleep_for(200ms);

    const auto midi = tester_->midi();
    ASSERT_GE(midi.size(), 3u);
    EXPECT_EQ(midi.front().status, 0xFA);
    EXPECT_EQ(midi.back().status, 0xFC);
    std::vector<double> pulses;
    for (const auto& byte : midi)
        if (byte.status == 0xF8)
            pulses.push_back(double(byte.frame));
    if (!serverKeptTime())
        GTEST_SKIP() << "the server dropped " << tester_->xruns() - settledXruns_
                     << " periods: timing not judged";
    ASSERT_GE(pulses.size(), 100u) << "fewer pulses than a pass of 2 seconds gives";
    EXPECT_EQ(pulses.front(), double(midi.front().frame)) << "the first pulse is not with Start";
    // 96 pulses to a pass of the loop, whatever periods the server may drop on a busy machine.
    const std::vector<double> passes = onsets(*tester_, &JackTestClient::Period::frameTime);
    ASSERT_GE(passes.size(), 2u);
    EXPECT_EQ(passes[0], pulses[0]);
    EXPECT_EQ(std::count_if(pulses.begin(), pulses.end(),
                            [&](double t) { return t >= passes[0] && t < passes[1]; }),
              96);
    std::vector<double> intervals;
    for (std::size_t k = 1; k < pulses.size(); ++k)
        intervals.push_back(pulses[k] - pulses[k - 1]);
    std::nth_element(intervals.begin(), intervals.begin() + long(intervals.size() / 2),
                     intervals.end());
    const double expected = 60.0 * tester_->sampleRate() / (kLoopBpm * 24);
    EXPECT_NEAR(intervals[intervals.size() / 2], expected, 0.005 * expected);
}

TEST_F(JackSync, ServerGoingAwayIsReportedAndPlaybackGoesOnSilently) {
    auto engine = this->engine(SyncMode::JackTransport);
    ASSERT_EQ(engine->GetSyncMode(), SyncMode::JackTransport) << engine->OutputNotice();
    engine->PlayStoredSlots(0);
    tester_.reset();
    server_.kill();
    std::string failure;
    for (int i = 0; i < 300 && failure.empty(); ++i) {
        std::this_thread::sleep_for(10ms);
        failure = engine->OutputFailure();
    }
    EXPECT_NE(failure.find("JACK server has gone away"), std::string::npos) << failure;
    engine->ContinueSilently(failure);
    EXPECT_TRUE(engine->IsPlaying());
    // The next start tries JACK again, fails, and plays on silently.
    engine->PlayStoredSlots(0);
    EXPECT_TRUE(engine->IsPlaying());
    EXPECT_FALSE(engine->OutputNotice().empty());
}

class JackSyncAtPeriod : public JackSync, public ::testing::WithParamInterface<unsigned> {
protected:
    JackSyncAtPeriod() : JackSync(GetParam()) {}
};

// At any period the server may run, the clock is followed and the passes counted while it
// runs: playback ends after them, as brev-render --play --passes does.
TEST_P(JackSyncAtPeriod, MidiClockIsFollowedAndItsPassesCounted) {
    auto engine = this->engine(SyncMode::MidiClock);
    ASSERT_EQ(engine->GetSyncMode(), SyncMode::MidiClock) << engine->OutputNotice();
    tester_->clockInto("brev-test");
    settle();
    engine->PlayStoredSlots(2);
    // 200 BPM: a pass of the loop is 1.2 seconds.
    tester_->sendClock(100);
    bool following = false;
    for (int i = 0; i < 1000 && engine->IsPlaying(); ++i) {
        following = following || engine->Sync().following;
        std::this_thread::sleep_for(10ms);
    }
    tester_->stopClock();
    EXPECT_TRUE(following);
    EXPECT_FALSE(engine->IsPlaying()) << "two passes did not end within 10 seconds";
    if (!serverKeptTime())
        GTEST_SKIP() << "the server dropped " << tester_->xruns() - settledXruns_
                     << " periods: the bar between passes was not judged";
    // The second pass a bar after the first (a burst at the start may come twice while the
    // tempo is still unknown).
    const std::vector<double> found = onsets(*tester_, &JackTestClient::Period::frameTime);
    ASSERT_GE(found.size(), 2u);
    const double bar = 60.0 / 100 * 4 * tester_->sampleRate();
    EXPECT_NEAR(found.back() - found[found.size() - 2], bar, 0.005 * bar);
}

INSTANTIATE_TEST_SUITE_P(Periods, JackSyncAtPeriod, ::testing::Values(16u, 64u, 256u, 8192u));

// Following a 144 BPM master: the loop's passes one bar of 144 BPM apart, and the tone of the
// first and the last pass recorded.
struct Followed {
    double lastBar = 0;
    double firstTone = 0;
    double lastTone = 0;
    double switchSeconds = -1; // from the tempo settling to the stretched loop playing
};

class JackKeepPitch : public JackSync {
protected:
    Followed followAt144(bool keepPitch) {
        auto engine = this->engine(SyncMode::JackTransport, 0, toneBurstLoop());
        EXPECT_EQ(engine->GetSyncMode(), SyncMode::JackTransport) << engine->OutputNotice();
        engine->SetKeepPitch(keepPitch);
        tester_->becomeTimebaseMaster(144);
        tester_->locate(0);
        tester_->startTransport();
        // The stretched loop takes over within two bars of the start (a beat to settle, the
        // stretch, then the next bar); four more are heard after that.
        const double bar = 60.0 / 144 * 4 * tester_->sampleRate();
        std::size_t recordedAtSwitch = 0;
        PatternModel pattern;
        PlaybackSession(*engine, pattern).playToEnd(0, {}, [&] {
            const std::vector<JackTestClient::Period> periods = tester_->periods();
            const std::size_t recorded =
                periods.empty() ? 0 : periods.back().firstSample + periods.back().frames;
            if (recordedAtSwitch == 0 && engine->SwitchedAt() != SteadyTime{})
                recordedAtSwitch = recorded;
            const std::size_t from = keepPitch ? recordedAtSwitch : 1;
            return (from > 0 && recorded > from + 4 * bar) || recorded > 16 * tester_->sampleRate();
        });
        tester_->stopTransport();

        Followed followed;
        if (engine->SwitchedAt() != SteadyTime{})
            followed.switchSeconds =
                std::chrono::duration<double>(engine->SwitchedAt() - engine->SettledAt()).count();
        std::vector<std::size_t> samples;
        const std::vector<double> found =
            onsets(*tester_, &JackTestClient::Period::frameTime, &samples);
        const std::vector<float> left = tester_->left();
        // The last pass may have been cut short by the stop.
        const std::size_t whole =
            samples.size() - (samples.empty() || samples.back() + bar / 4 < left.size() ? 0 : 1);
        if (whole >= 2) {
            followed.lastBar = found[whole - 1] - found[whole - 2];
            followed.firstTone = toneFrequency(left, samples.front(), tester_->sampleRate());
            followed.lastTone = toneFrequency(left, samples[whole - 1], tester_->sampleRate());
        }
        return followed;
    }
};

TEST_F(JackKeepPitch, FollowsTheMastersTempoWithThePitchKeptOrRaised) {
    const double bar = 60.0 / 144 * 4 * tester_->sampleRate();
    const double raised = 1000 * 144 / kLoopBpm;

    const Followed kept = followAt144(true);
    EXPECT_GT(kept.switchSeconds, 0) << "the stretched loop never took over";
    std::printf("Keep pitch: tone %.1f Hz, then %.1f Hz; bar %.0f frames (%.0f expected); "
                "settled tempo to stretched loop playing %.3f s\n",
                kept.firstTone, kept.lastTone, kept.lastBar, bar, kept.switchSeconds);
    EXPECT_NEAR(kept.lastTone, 1000, 10) << "the stretched loop changed the pitch";

    tester_.reset();
    tester_ = std::make_unique<JackTestClient>(20.0);
    const Followed varispeed = followAt144(false);
    EXPECT_EQ(varispeed.switchSeconds, -1) << "a loop took over without \"Keep pitch\"";
    std::printf("By rate: tone %.1f Hz, then %.1f Hz (%.1f expected); bar %.0f frames\n",
                varispeed.firstTone, varispeed.lastTone, raised, varispeed.lastBar);
    EXPECT_NEAR(varispeed.firstTone, raised, 12);
    EXPECT_NEAR(varispeed.lastTone, raised, 12);

    if (!serverKeptTime())
        GTEST_SKIP() << "the server dropped periods: the loop's period was not judged";
    // Before the stretched loop takes over it plays by rate, as without "Keep pitch".
    EXPECT_NEAR(kept.firstTone, raised, 12);
    EXPECT_NEAR(kept.lastBar, bar, 0.005 * bar);
    EXPECT_NEAR(varispeed.lastBar, bar, 0.005 * bar);
}

TEST(JackSyncWithoutServer, SyncFallsBackToTheOwnClockAndSaysWhy) {
    setenv("JACK_DEFAULT_SERVER", "brev-test-no-such-server", 1);
    OutputOptions options;
    options.nullOutput = false;
    options.sync = SyncMode::MidiClock;
    TDS engine(0, options);
    EXPECT_EQ(engine.GetSyncMode(), SyncMode::Off);
    EXPECT_NE(engine.OutputNotice().find("Sync needs a JACK server"), std::string::npos)
        << engine.OutputNotice();
    EXPECT_FALSE(engine.SetSyncMode(SyncMode::JackTransport));
    EXPECT_EQ(engine.GetSyncMode(), SyncMode::Off);
}

} // namespace
} // namespace brev
