// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brev-render --bpm and --pitch: the loop stretched before it is cut, heard through what the
// renderer writes.
#include "audio/loop_tempo.h"
#include "tests/support/test_waves.h"
#include "tests/tools/brev_render_fixture.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace brev {
namespace {

constexpr int kLoopFrames = 88200; // 2 seconds: 120 BPM (120.01 by the tempo table)
constexpr double kTone = 1000;

// One bar of four beats, each a 1 kHz burst of a fifth of a second, then silence.
BrevWave::TWave toneBurstLoop() {
    return test::makeWave(kLoopFrames, [](int i) {
        const bool sounding = i % (kLoopFrames / 4) < 8820;
        const double phase = 2 * std::numbers::pi * kTone * i / 44100;
        const int sample = sounding ? static_cast<int>(std::lround(12000 * std::sin(phase))) : 0;
        return test::Frame{sample, sample};
    });
}

// The tone's frequency from the left channel: the median distance between rising zero
// crossings, placed between samples, over the stretches where it sounds.
double toneFrequency(const BrevWave::TWave& wave) {
    const std::vector<int> left = test::leftOf(wave);
    std::vector<double> crossings;
    for (size_t i = 1; i < left.size(); ++i) {
        if (left[i - 1] < 0 && left[i] >= 0)
            crossings.push_back(double(i - 1) + double(-left[i - 1]) / (left[i] - left[i - 1]));
    }
    std::vector<double> periods;
    for (size_t i = 1; i < crossings.size(); ++i)
        periods.push_back(crossings[i] - crossings[i - 1]);
    if (periods.empty())
        return 0;
    const auto middle = periods.begin() + static_cast<std::ptrdiff_t>(periods.size() / 2);
    std::nth_element(periods.begin(), middle, periods.end());
    return 44100 / *middle;
}

// Signal-to-noise of measured against reference, in dB, over their common length.
double signalToNoise(const BrevWave::TWave& reference, const BrevWave::TWave& measured) {
    const std::vector<std::int16_t> a = test::samplesOf(reference);
    const std::vector<std::int16_t> b = test::samplesOf(measured);
    double signal = 0;
    double noise = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        signal += double(a[i]) * a[i];
        noise += double(a[i] - b[i]) * (a[i] - b[i]);
    }
    return 10 * std::log10(signal / std::max(noise, 1.0));
}

// One bar of four beats at bpm, whatever the loop's length.
std::int64_t expectedFrames(double bpm) {
    return std::llround(240 * 44100 / bpm);
}

class BrevRenderTempoTest : public BrevRenderTest {
protected:
    BrevWave::TWave render(const std::string& input, std::vector<std::string> options) {
        options.push_back(input);
        options.push_back(path("out.wav"));
        const Result result = run(options);
        EXPECT_EQ(result.status, 0) << result.err;
        return load(path("out.wav"));
    }
};

TEST_F(BrevRenderTempoTest, AFasterTempoKeepsThePitchAndTakesTheBarsNewLength) {
    const std::string input = test::writeWav(temp_, "tone.wav", toneBurstLoop());
    ASSERT_NEAR(toneFrequency(load(input)), kTone, 1);
    for (const char* bpm : {"140", "96.5"}) {
        const BrevWave::TWave out = render(input, {"--bpm", bpm});
        EXPECT_EQ(out.GetSamples(), expectedFrames(std::stod(bpm))) << bpm;
        EXPECT_NEAR(toneFrequency(out), kTone, kTone / 100) << bpm;
    }
}

TEST_F(BrevRenderTempoTest, PitchShiftsTheToneAndKeepsTheLength) {
    const std::string input = test::writeWav(temp_, "tone.wav", toneBurstLoop());
    for (int semitones : {-12, 7, 12}) {
        const BrevWave::TWave out = render(input, {"--pitch", std::to_string(semitones)});
        EXPECT_EQ(out.GetSamples(), kLoopFrames) << semitones;
        const double expected = kTone * std::exp2(semitones / 12.0);
        EXPECT_NEAR(toneFrequency(out), expected, expected / 100) << semitones;
    }
    // With a tempo too: both at once.
    const BrevWave::TWave both = render(input, {"--bpm", "140", "--pitch", "-5"});
    EXPECT_EQ(both.GetSamples(), expectedFrames(140));
    EXPECT_NEAR(toneFrequency(both), kTone * std::exp2(-5 / 12.0), kTone / 100);
}

TEST_F(BrevRenderTempoTest, TheLoopsOwnTempoRendersByteForByteAsWithout) {
    const std::string input = writeLoop("in.wav", kLoopFrames);
    const std::string pattern = path("p.brev");
    std::ofstream(pattern) << "[Saved Pattern]\nSwing=30\nSegment 3=9\nReverse 5=1\nVolume 2=-6\n";
    const std::vector<std::string> common{"--pattern", pattern, "--table", path("t.html")};
    std::vector<std::string> plain = common;
    plain.insert(plain.end(), {input, path("plain.wav")});
    ASSERT_EQ(run(plain).status, 0);
    std::ifstream plainTable(path("t.html"));
    const std::string table{std::istreambuf_iterator<char>(plainTable), {}};
    // One bar of 2 seconds is 120 BPM (the table prints 120.01, from a sixteenth's whole frames).
    std::vector<std::string> own = common;
    own.insert(own.end(), {"--bpm", "120", "--pitch", "0", input, path("own.wav")});
    ::setenv("LD_DEBUG", "libs", 1);
    const Result result = run(own);
    ::unsetenv("LD_DEBUG");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("librubberband"), std::string::npos) << "the stretcher was loaded";
    EXPECT_TRUE(sameBytes(load(path("own.wav")), load(path("plain.wav"))));
    std::ifstream ownTable(path("t.html"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(ownTable), {}), table);
}

TEST_F(BrevRenderTempoTest, TheTableAndTheSlotsAreOfTheStretchedLoop) {
    const std::string input = writeLoop("in.wav", kLoopFrames);
    const BrevWave::TWave out = render(input, {"--bpm", "140", "--table", path("t.html")});
    EXPECT_EQ(out.GetSamples(), expectedFrames(140));
    std::ifstream table(path("t.html"));
    const std::string page{std::istreambuf_iterator<char>(table), {}};
    // The stretched bar's sixteenth is 75600 / 16 = 4725 frames: 140.00 BPM.
    EXPECT_NE(page.find("140.00 BPM"), std::string::npos) << page.substr(0, 2000);
}

TEST_F(BrevRenderTempoTest, AgreesWithRubberBandsOwnProgram) {
    if (std::system("command -v rubberband >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "rubberband (Debian package rubberband-cli) is not installed";
    // Noise bursts on the beats over a low tone: something like a break.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-9000, 9000);
    const BrevWave::TWave loop = test::makeWave(kLoopFrames, [&](int i) {
        const int tone = static_cast<int>(4000 * std::sin(2 * std::numbers::pi * 110 * i / 44100));
        const int hit = i % (kLoopFrames / 8) < 2000 ? noise(random) : 0;
        return test::Frame{tone + hit, tone - hit / 2};
    });
    const std::string input = test::writeWav(temp_, "break.wav", loop);
    const BrevWave::TWave ours = render(input, {"--bpm", "140", "--pitch", "2"});

    char tempo[64];
    std::snprintf(tempo, sizeof tempo, "%.17g", 140 / loopTempo(kLoopFrames));
    const std::string theirs = path("theirs.wav");
    const std::string command = "rubberband -3 -q --ignore-clipping -T " + std::string(tempo) +
                                " -p 2 '" + input + "' '" + theirs + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const BrevWave::TWave reference = load(theirs);
    EXPECT_EQ(ours.GetSamples(), reference.GetSamples());
    EXPECT_GE(signalToNoise(reference, ours), 40);
}

// Between 8 and 16 times faster, the stretcher's library read outside its own buffers, and what
// it found there could silence a channel. Memcheck sees every such read.
TEST_F(BrevRenderTempoTest, EightToSixteenTimesFasterReadsNothingButTheLoop) {
#ifdef BREV_SANITIZED
    GTEST_SKIP() << "memcheck does not run a sanitized program";
#endif
    if (std::system("command -v valgrind >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "valgrind is not installed";
    const std::string input = writeLoop("five.wav", 5 * 44100); // 48 BPM
    const Result result =
        run({"--bpm", "400", input, path("out.wav")}, "valgrind -q --error-exitcode=9");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(load(path("out.wav")).GetSamples(), expectedFrames(400));
}

TEST_F(BrevRenderTempoTest, TempoAndPitchTakeOnlyWhatTheControlsHold) {
    const std::string input = writeLoop("in.wav", 1600);
    const std::string out = path("out.wav");
    for (const char* bpm : {"19.99", "400.01", "120.001", "12O", "-140", "140.", ".5", ""}) {
        const Result result = run({"--bpm", bpm, input, out});
        EXPECT_EQ(result.status, 2) << bpm;
        EXPECT_NE(result.err.find("--bpm needs a tempo from 20 to 400 BPM"), std::string::npos)
            << result.err;
    }
    for (const char* pitch : {"13", "-13", "1.5"}) {
        const Result result = run({"--pitch", pitch, input, out});
        EXPECT_EQ(result.status, 2) << pitch;
        EXPECT_NE(result.err.find("--pitch needs a whole number from -12 to 12"), std::string::npos)
            << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
} // namespace brev
