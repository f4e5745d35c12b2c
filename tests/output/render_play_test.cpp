// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brev-render --play through the null output: the capture holds exactly the rendered loop,
// once per pass.
#include "tests/support/temp_folder.h"
#include "tests/support/test_waves.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace brev {
namespace {

using test::samplesOf;

int run(const std::string& command) {
    return std::system(command.c_str());
}

TEST(RenderPlay, ThreePassesCaptureThreeCopiesOfTheRenderedLoop) {
    test::TempFolder dir;
    // Noise, so a misplaced frame cannot match by accident; 13 frames past a multiple of 16.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> sample(-20000, 20000);
    std::vector<std::int16_t> samples(2 * (16 * 1100 + 13));
    for (auto& s : samples)
        s = static_cast<std::int16_t>(sample(random));
    std::string input = test::writeWav(dir, "loop.wav", test::waveOfSamples(samples));
    std::string pattern = dir.file("edit.brev");
    std::ofstream(pattern) << "[Saved Pattern]\nSegment 0=5\nReverse 3=1\nRepeats 9=3\n"
                              "Segment 12=1\nFade in 4=1\nVolume 7=-6\nSwing=25\n";

    const std::string tool = BREV_RENDER;
    ASSERT_EQ(run(tool + " --pattern " + pattern + " " + input + " " + dir.file("saved.wav")), 0);
    const std::string capture = dir.file("capture.wav");
    ASSERT_EQ(run("BREV_AUDIO=null BREV_AUDIO_CAPTURE=" + capture + " " + tool + " --pattern " +
                  pattern + " --play --passes 3 " + input),
              0);

    BrevWave::TWave saved, captured;
    saved.LoadFromFile(dir.file("saved.wav"));
    captured.LoadFromFile(capture);
    std::vector<std::int16_t> loop = samplesOf(saved);
    std::vector<std::int16_t> got = samplesOf(captured);
    const size_t bufferSamples = 2 * 16 * 1100;
    ASSERT_EQ(got.size(), 3 * bufferSamples);
    ASSERT_NE(std::vector<std::int16_t>(loop.begin(), loop.begin() + bufferSamples),
              std::vector<std::int16_t>(samples.begin(), samples.begin() + bufferSamples))
        << "the pattern changes the loop";
    for (size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i], loop[i % bufferSamples]) << "sample " << i;
}

TEST(RenderPlay, ErrorsAreReportedNotPlayed) {
    test::TempFolder dir;
    const std::string tool = BREV_RENDER;
    std::string missing = dir.file("missing.wav");
    EXPECT_NE(run("BREV_AUDIO=null " + tool + " --play " + missing + " 2>/dev/null"), 0);
    std::string shortLoop = test::writeWav(dir, "short.wav", test::countingWave(15));
    EXPECT_NE(run("BREV_AUDIO=null " + tool + " --play " + shortLoop + " 2>/dev/null"), 0);
}

TEST(RenderPlay, ACaptureThatCannotBeWrittenFailsTheRun) {
    test::TempFolder dir;
    const std::string tool = BREV_RENDER;
    const std::string errors = dir.file("stderr.txt");
    // A short loop fails when the capture is closed, a long one while it plays.
    for (std::int32_t frames : {16 * 10, 16 * 20000}) {
        std::string input = test::writeWav(dir, "loop.wav", test::countingWave(frames));
        EXPECT_NE(run("BREV_AUDIO=null BREV_AUDIO_CAPTURE=/dev/full " + tool + " --play " + input +
                      " 2>" + errors),
                  0)
            << frames << " frames";
        std::ifstream in(errors);
        std::string text((std::istreambuf_iterator<char>(in)), {});
        EXPECT_NE(text.find("Unable to write the capture file /dev/full\nNo space left on device"),
                  std::string::npos)
            << text;
    }
}

} // namespace
} // namespace brev
