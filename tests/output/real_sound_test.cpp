// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The PortAudio output. End to end through real sound servers: private PulseAudio and PipeWire
// servers with a null sink, the PortAudio output on their ALSA devices, and parec recording the
// sink's monitor bit-exact.
#include "base/error.h"
#include "child_process.h"
#include "editor/core/pattern_model.h"
#include "editor/session/playback_session.h"
#include "output/notify_thread.h"
#include "output/portaudio_output.h"
#include "output/task_queue.h"
#include "output/tds.h"
#include "sound_test_server.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_waves.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace brev {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

using test::Child;
using test::onPath;
using test::ServerKind;
using test::SoundServer;

std::vector<std::uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Stereo noise, so that no stretch of it matches by chance.
std::vector<std::int16_t> noise(std::size_t frames) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> sample(-30000, 30000);
    std::vector<std::int16_t> samples(2 * frames);
    for (auto& s : samples)
        s = static_cast<std::int16_t>(sample(random));
    return samples;
}

long long millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

// On any machine, with or without sound: the real output either opens or the engine falls back
// to the null output and says why. It never throws for the default device and never hangs.
TEST(RealOutput, OpensOrFallsBackToSilence) {
    OutputOptions real;
    TDS engine(0, real);
    EXPECT_GE(engine.DriverCount(), 1);
    EXPECT_TRUE(engine.Driver(0).isDefault());
    if (!engine.OutputNotice().empty()) {
        EXPECT_NE(engine.OutputNotice().find("DirectSoundCreate8() failed"), std::string::npos)
            << engine.OutputNotice();
        EXPECT_NE(engine.ShowCapabilities().find("Emulated driver"), std::string::npos);
    }
    for (int i = 0; i < engine.DriverCount(); ++i)
        EXPECT_FALSE(engine.DriverName(i).empty());
}

std::string serverName(const ::testing::TestParamInfo<ServerKind>& kind) {
    return kind.param == ServerKind::PipeWire ? "PipeWire" : "PulseAudio";
}

// The position of the ALSA "pulse" device in a fresh engine's list, -1 when it is not listed.
int pulseDevice() {
    TDS probe(0, OutputOptions{});
    for (int i = 1; i < probe.DriverCount(); ++i)
        if (probe.Driver(i).DeviceName == "pulse")
            return i;
    return -1;
}

// A listed device that fails to open raises and leaves nothing behind, so the editor can keep
// the engine it has; the default device still opens (or falls back to silence).
TEST(RealOutput, NamedDeviceThatFailsToOpenRaises) {
    test::TempFolder dir;
    SoundServer server(dir);
    if (!server.skipReason().empty())
        GTEST_SKIP() << server.skipReason();
    // An open session keeps PortAudio's device list as it was while the server ran.
    PortAudioSession session;
    int pulse = pulseDevice();
    if (pulse < 0)
        GTEST_SKIP() << "PortAudio lists no ALSA pulse device (libasound2-plugins missing?)";
    server.stop();
    std::string error;
    try {
        TDS engine(pulse, OutputOptions{});
    } catch (const Error& e) {
        error = e.what();
    }
    EXPECT_EQ(error.rfind("DirectSoundCreate8() failed\n", 0), 0u) << error;
    TDS fallback(0, OutputOptions{});
    EXPECT_EQ(fallback.DriverIndex(), 0);
}

// Where recorded holds the first 64 frames of expected, frame-aligned; end() when nowhere.
std::vector<std::uint8_t>::const_iterator findLoop(const std::vector<std::uint8_t>& recorded,
                                                   const std::vector<std::uint8_t>& expected) {
    const auto head = expected.begin() + 4 * 64;
    auto start = std::search(recorded.cbegin(), recorded.cend(), expected.begin(), head);
    while (start != recorded.cend() && (start - recorded.cbegin()) % 4 != 0)
        start = std::search(start + 1, recorded.cend(), expected.begin(), head);
    return start;
}

// Where expected begins in the recording, once parec has delivered it passes times over; end()
// when it has not within 10 seconds.
std::vector<std::uint8_t>::const_iterator awaitPasses(const std::string& recording,
                                                      const std::vector<std::uint8_t>& expected,
                                                      std::vector<std::uint8_t>& recorded,
                                                      std::size_t passes) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    for (;;) {
        recorded = readAll(recording);
        const auto start = findLoop(recorded, expected);
        if (start != recorded.cend() &&
            static_cast<std::size_t>(recorded.cend() - start) >= passes * expected.size())
            return start;
        if (std::chrono::steady_clock::now() > deadline)
            return recorded.cend();
        std::this_thread::sleep_for(50ms);
    }
}

TEST(RealSound, TheLoopReachesTheSoundServerSampleForSample) {
    test::TempFolder dir;
    SoundServer server(dir);
    if (!server.skipReason().empty())
        GTEST_SKIP() << server.skipReason();

    const std::string recording = dir.file("monitor.raw");
    Child recorder({"parec", "--raw", "--format=s16le", "--rate=44100", "--channels=2", "-d",
                    "ci_sink.monitor", "--latency-msec=20"},
                   recording);
    ASSERT_TRUE(recorder.started());
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(recorder.running()) << "parec could not record the monitor";

    const std::vector<std::int16_t> samples = noise(16 * 1100);
    std::string input = test::writeWav(dir, "loop.wav", test::waveOfSamples(samples));

    std::vector<std::uint8_t> expected;
    {
        int pulse = pulseDevice();
        if (pulse < 0)
            GTEST_SKIP() << "PortAudio lists no ALSA pulse device (libasound2-plugins missing?)";
        TDS engine(pulse, OutputOptions{});
        ASSERT_EQ(engine.DriverIndex(), pulse);
        ASSERT_EQ(engine.OutputNotice(), "");
        EXPECT_NE(engine.ShowCapabilities().find("True DirectSound driver"), std::string::npos);
        engine.LoadSourceFile(input, 0);

        // Slot i plays segment 15 - i.
        PatternModel pattern;
        for (int slot = 0; slot < 16; ++slot)
            pattern.SetNumberValue(slotControlName(kSegmentNumber, slot), 15 - slot);
        const std::uint8_t* source = engine.Store().source().GetData();
        for (int slot = 0; slot < 16; ++slot)
            expected.insert(expected.end(), source + 4 * 1100 * (15 - slot),
                            source + 4 * 1100 * (16 - slot));
        PlaybackSession(engine, pattern).playToEnd(2);
        std::this_thread::sleep_for(std::chrono::duration<double>(engine.OutputLatency()) + 300ms);
    }
    recorder.stop(SIGINT);
    server.stop();

    std::vector<std::uint8_t> recorded = readAll(recording);
    ASSERT_EQ(expected.size(), 4u * 16 * 1100);
    auto start = findLoop(recorded, expected);
    ASSERT_NE(start, recorded.cend()) << "the loop's first 64 frames are not in the recording ("
                                      << recorded.size() / 4 << " frames)";
    ASSERT_GE(static_cast<size_t>(recorded.cend() - start), 2 * expected.size())
        << "the recording ends before two passes";
    for (int pass = 0; pass < 2; ++pass) {
        auto first = start + static_cast<std::ptrdiff_t>(pass * expected.size());
        auto mismatch = std::mismatch(expected.begin(), expected.end(), first);
        EXPECT_EQ(mismatch.first, expected.end())
            << "pass " << pass << " differs at frame " << (mismatch.first - expected.begin()) / 4;
    }
    // Playback ended after two passes: silence follows.
    auto after = start + static_cast<std::ptrdiff_t>(2 * expected.size());
    auto tail = std::min(after + 4 * 441, recorded.cend());
    EXPECT_TRUE(std::all_of(after, tail, [](std::uint8_t b) { return b == 0; }));
}

// The device is open only while it plays: the server has no stream of ours before Play, after
// Stop, or a little after a single pass has ended, and the slot-start events go on across it
// being closed and opened again.
TEST(RealSound, TheDeviceIsOpenOnlyWhilePlaying) {
    test::TempFolder dir;
    SoundServer server(dir);
    if (!server.skipReason().empty())
        GTEST_SKIP() << server.skipReason();
    int pulse = pulseDevice();
    if (pulse < 0)
        GTEST_SKIP() << "PortAudio lists no ALSA pulse device (libasound2-plugins missing?)";
    TDS engine(pulse, OutputOptions{});
    ASSERT_EQ(engine.OutputNotice(), "");
    TaskQueue gui;
    // Whether the server has a stream of ours, once it has come or gone within 10 seconds.
    auto streamOpen = [&](bool wanted) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        bool open = !wanted;
        while (open != wanted && std::chrono::steady_clock::now() < deadline) {
            engine.ReleaseIdleOutput();
            open = !server.command({"pactl", "list", "short", "sink-inputs"}).empty();
        }
        return open;
    };
    EXPECT_FALSE(streamOpen(false)) << "a stream before Play";
    engine.LoadSourceFile(test::writeWav(dir, "loop.wav", test::countingWave(16 * 1000)), 0);
    std::uint32_t count = 0;
    const int* events = engine.GetEvents(count);
    int calls = 0;
    TNotifyThread thread(
        events, count, [&](int) { ++calls; }, gui.executor());
    for (bool loop : {true, true, false}) {
        engine.Play(loop);
        EXPECT_TRUE(streamOpen(true)) << "no stream while playing";
        const int before = calls;
        gui.serveUntil([&] { return calls >= before + 8; });
        if (loop)
            engine.Stop();
        EXPECT_FALSE(streamOpen(false))
            << (loop ? "a stream after Stop" : "a stream after the pass");
    }
    EXPECT_FALSE(engine.IsPlaying());
    gui.end(thread);
}

// The sound server killed while the engine plays: the engine notices, goes on silently with the
// loop and its events, and opens the device again at the next Play once the server is back.
TEST(RealSound, ALostSoundServerIsNoticedAndPlaybackGoesOnSilently) {
    test::TempFolder dir;
    auto server = std::make_unique<SoundServer>(dir);
    if (!server->skipReason().empty())
        GTEST_SKIP() << server->skipReason();
    int pulse = pulseDevice();
    if (pulse < 0)
        GTEST_SKIP() << "PortAudio lists no ALSA pulse device (libasound2-plugins missing?)";

    TDS engine(pulse, OutputOptions{});
    ASSERT_EQ(engine.OutputNotice(), "");
    engine.LoadSourceFile(test::writeWav(dir, "loop.wav", test::countingWave(16 * 2000)), 0);
    TaskQueue gui;
    std::uint32_t count = 0;
    const int* events = engine.GetEvents(count);
    int calls = 0;
    TNotifyThread thread(
        events, count, [&](int) { ++calls; }, gui.executor());
    engine.Play(true);
    gui.serveUntil([&] { return calls >= 8; });
    EXPECT_EQ(engine.OutputFailure(), "");

    server->stop(SIGKILL);
    const auto killed = std::chrono::steady_clock::now();
    std::string failure;
    gui.serveUntil([&] {
        failure = engine.OutputFailure();
        return !failure.empty() || std::chrono::steady_clock::now() - killed > 20s;
    });
    ASSERT_NE(failure, "") << "the lost server went unnoticed";
    std::printf("lost server noticed after %lld ms: %s\n", millisecondsSince(killed),
                failure.c_str());

    engine.ContinueSilently(failure);
    EXPECT_TRUE(engine.silent());
    EXPECT_NE(engine.OutputNotice().find(failure), std::string::npos) << engine.OutputNotice();
    EXPECT_TRUE(engine.IsPlaying()) << "playback goes on";
    const int before = calls;
    gui.serveUntil([&] { return calls >= before + 16; });
    EXPECT_EQ(engine.OutputFailure(), "");

    // Still gone: Play tries the device, fails and stays silent.
    engine.Play(true);
    EXPECT_TRUE(engine.silent());
    EXPECT_TRUE(engine.IsPlaying());

    server = std::make_unique<SoundServer>(dir);
    ASSERT_EQ(server->skipReason(), "");
    engine.Play(true);
    EXPECT_FALSE(engine.silent()) << engine.OutputNotice();
    EXPECT_EQ(engine.OutputNotice(), "");
    const int again = calls;
    gui.serveUntil([&] { return calls >= again + 16; });
    EXPECT_EQ(engine.OutputFailure(), "");
    engine.Stop();
    gui.end(thread);
}

#ifdef BREV_RENDER
// brev-render --play on the default device (the server's, through ALSA) when the server is
// killed: a clear message and a non-zero exit instead of playing on into nothing.
TEST(RealSound, RenderPlayFailsWhenTheSoundServerIsLost) {
    test::TempFolder dir;
    SoundServer server(dir);
    if (!server.skipReason().empty())
        GTEST_SKIP() << server.skipReason();
    std::string input = test::writeWav(dir, "loop.wav", test::countingWave(16 * 2000));
    const std::string errors = dir.file("stderr.txt");
    unsetenv("BREV_AUDIO");
    Child render({BREV_RENDER, "--play", "--passes", "1000", input}, "/dev/null", errors);
    ASSERT_TRUE(render.started());
    std::this_thread::sleep_for(1s);
    ASSERT_TRUE(render.running()) << std::string(readAll(errors).begin(), readAll(errors).end());

    server.stop(SIGKILL);
    const auto killed = std::chrono::steady_clock::now();
    while (render.running() && std::chrono::steady_clock::now() - killed < 20s)
        std::this_thread::sleep_for(10ms);
    ASSERT_FALSE(render.running()) << "brev-render plays on without its sound server";
    std::printf("brev-render ended %lld ms after the server was killed\n",
                millisecondsSince(killed));
    EXPECT_NE(render.exitCode(), 0);
    std::vector<std::uint8_t> text = readAll(errors);
    EXPECT_NE(std::string(text.begin(), text.end()).find("The sound output failed"),
              std::string::npos)
        << std::string(text.begin(), text.end());
}

class DesktopSoundServer : public ::testing::TestWithParam<ServerKind> {};

// brev-render --play on the default device through a desktop's sound server as it comes, which
// may take seconds of sound ahead: three passes with nobody recording, then three more that
// parec, at its default latency, hears sample for sample.
TEST_P(DesktopSoundServer, PlaysThreePassesOnTheDefaultDevice) {
    test::TempFolder dir;
    SoundServer server(dir, GetParam());
    if (!server.skipReason().empty())
        GTEST_SKIP() << server.skipReason();
    const std::vector<std::int16_t> samples = noise(16 * 2756);
    const std::string input = test::writeWav(dir, "loop.wav", test::waveOfSamples(samples));
    const std::string errors = dir.file("stderr.txt");
    unsetenv("BREV_AUDIO");
    auto play = [&] {
        Child render({BREV_RENDER, "--play", "--passes", "3", input}, "/dev/null", errors);
        while (render.running())
            std::this_thread::sleep_for(10ms);
        const std::vector<std::uint8_t> text = readAll(errors);
        return std::make_pair(render.exitCode(), std::string(text.begin(), text.end()));
    };
    const auto [exitCode, message] = play();
    ASSERT_EQ(exitCode, 0) << message;
    EXPECT_EQ(message.find("silent"), std::string::npos) << message;

    server.keepTheLoopsRate();
    const std::string recording = dir.file("monitor.raw");
    Child recorder({"parec", "--raw", "--format=s16le", "--rate=44100", "--channels=2", "-d",
                    "ci_sink.monitor"},
                   recording);
    // Recording from its first delivery on: what the sink rendered before may be rewound.
    for (int i = 0; i < 1000 && readAll(recording).empty(); ++i)
        std::this_thread::sleep_for(10ms);
    const auto [recordedExit, recordedMessage] = play();
    ASSERT_EQ(recordedExit, 0) << recordedMessage;
    const std::vector<std::uint8_t> expected(
        reinterpret_cast<const std::uint8_t*>(samples.data()),
        reinterpret_cast<const std::uint8_t*>(samples.data() + samples.size()));
    std::vector<std::uint8_t> recorded;
    const auto start = awaitPasses(recording, expected, recorded, 3);
    if (recordedMessage.find("underflows") != std::string::npos)
        GTEST_SKIP() << "the machine was too busy to play without gaps: " << recordedMessage;
    ASSERT_NE(start, recorded.cend()) << "three passes of the loop are not in the recording ("
                                      << recorded.size() / 4 << " frames)";
    for (int pass = 0; pass < 3; ++pass) {
        auto first = start + static_cast<std::ptrdiff_t>(pass * expected.size());
        const auto mismatch = std::mismatch(expected.begin(), expected.end(), first);
        EXPECT_EQ(mismatch.first, expected.end())
            << "pass " << pass << " differs at frame " << (mismatch.first - expected.begin()) / 4;
    }
}

INSTANTIATE_TEST_SUITE_P(RealSound, DesktopSoundServer,
                         ::testing::Values(ServerKind::PulseDefaults, ServerKind::PipeWire),
                         serverName);
#endif

} // namespace
} // namespace brev
