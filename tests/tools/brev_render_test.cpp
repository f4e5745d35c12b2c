#include "audio/segment_store.h"
#include "audio/twave.h"
#include "editor/core/pattern_file.h"
#include "editor/core/pattern_model.h"
#include "editor/core/render.h"
#include "editor/core/tempo_table.h"
#include "tests/temp_folder.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace brev {
namespace {

namespace fs = std::filesystem;

struct Result {
    int status;
    std::string err;
};

class BrevRenderTest : public test::TempFolderTest {
protected:
    Result run(const std::vector<std::string>& args) const {
        std::string command = BREV_RENDER_PATH;
        for (const auto& arg : args) {
            command += " '" + arg + "'";
        }
        std::string errFile = path("stderr.txt");
        command += " 2>'" + errFile + "' >/dev/null";
        int raw = std::system(command.c_str());
        std::ifstream in(errFile);
        std::ostringstream err;
        err << in.rdbuf();
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, err.str()};
    }

    // A loop whose every frame differs, so a misplaced frame shows.
    std::string writeLoop(const std::string& name, int frames) const {
        std::vector<std::int16_t> samples;
        for (int i = 0; i < frames; ++i) {
            samples.push_back(static_cast<std::int16_t>((i * 7) % 32000 - 16000));
            samples.push_back(static_cast<std::int16_t>((i * 13) % 30000 - 15000));
        }
        BrevWave::TWave wave(samples.data(), static_cast<std::int32_t>(samples.size() * 2));
        wave.SaveToFile(path(name));
        return path(name);
    }

    static BrevWave::TWave load(const std::string& file) {
        BrevWave::TWave wave;
        wave.LoadFromFile(file);
        return wave;
    }

    static bool sameBytes(const BrevWave::TWave& a, const BrevWave::TWave& b) {
        return a.byteLength() == b.byteLength() &&
               std::memcmp(a.GetData(), b.GetData(), static_cast<size_t>(a.byteLength())) == 0;
    }
};

TEST_F(BrevRenderTest, DefaultPatternWritesTheInputBack) {
    for (int frames : {16 * 2205, 16003}) {
        std::string input = writeLoop("in.wav", frames);
        Result result = run({input, path("out.wav")});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        auto out = load(path("out.wav"));
        EXPECT_EQ(out.GetSamples(), frames);
        EXPECT_TRUE(sameBytes(out, load(input))) << frames;
    }
}

TEST_F(BrevRenderTest, PatternFileAndOptionsRenderAsTheEditorDoes) {
    std::string input = writeLoop("in.wav", 16 * 1500 + 7);
    std::string pattern = path("p.brev");
    std::ofstream(pattern) << "[Saved Pattern]\r\n"
                              "Segment 0=3\r\nReverse 0=1\r\nFade in 0=1\r\n"
                              "Volume 2=6\r\nRepeats 2=3\r\nDeckstop 5=1\r\n"
                              "Staccato 9=1\r\nDivider 9=4\r\nMute left 12=1\r\n"
                              "Segment 15=0\r\nFade out 15=1\r\n"
                              "Fade samples=200\r\nSwing=40\r\nCutting angle=30\r\n";

    // The reference: the same library in process, with the same pattern and option values.
    auto expected = [&](int swing, int fade, bool logFades) {
        PatternModel model;
        readPatternFile(model, pattern);
        model.SetNumberValue(kSwingNumber, swing);
        model.SetNumberValue(kFadeSamplesNumber, fade);
        model.setToggleDown(kLogFadesButton, logFades);
        SegmentStore store;
        store.load(load(input), model.NumberValue(kSwingNumber));
        renderAll(model, store);
        return store.joinSlots();
    };

    Result result = run({"--pattern", pattern, input, path("a.wav")});
    ASSERT_EQ(result.status, 0) << result.err;
    auto a = load(path("a.wav"));
    EXPECT_EQ(a.GetSamples(), 16 * 1500 + 7);
    EXPECT_TRUE(sameBytes(a, expected(40, 200, true)));
    EXPECT_FALSE(sameBytes(a, load(input)));

    result = run({"--swing", "75", "--fade-samples", "20", "--log-fades", "off", "--pattern",
                  pattern, input, path("b.wav")});
    ASSERT_EQ(result.status, 0) << result.err;
    auto b = load(path("b.wav"));
    EXPECT_EQ(b.GetSamples(), 16 * 1500 + 7);
    EXPECT_TRUE(sameBytes(b, expected(75, 20, false)));
}

// The plain reference: every slot as a wave of its own, step by step with the wave's operations,
// then joined; none of the in-place rendering of the store.
BrevWave::TWave referenceRender(const BrevWave::TWave& loop, const PatternModel& pattern) {
    BrevWave::TWave source = loop;
    source.SetSwing(pattern.NumberValue(kSwingNumber), 16);
    const bool linear = !pattern.toggleDown(kLogFadesButton);
    const int offset = AngleOffset(pattern);
    const int fade = pattern.NumberValue(kFadeSamplesNumber);
    BrevWave::TWave joined;
    for (int slot = 0; slot < 16; ++slot) {
        BrevWave::TWave wave;
        BrevWave::TWave position;
        source.GetSegmentSwing(wave, pattern.slotNumber(kSegmentNumber, slot));
        source.GetSegmentSwing(position, slot);
        auto on = [&](std::string_view flag) { return pattern.slotCheck(flag, slot); };
        const int natural = position.GetSamples();
        const bool cut = wave.GetSamples() > natural;
        wave.SetLength(natural);
        if (cut)
            wave.ApplyFadeOut(fade, offset, linear);
        if (on(kDeckstopCheckText))
            wave.Deckstop(deckstopStep(pattern));
        if (pattern.slotNumber(kRepeatsNumber, slot) > 1)
            wave.ApplyRepeats(pattern.slotNumber(kRepeatsNumber, slot),
                              pattern.toggleDown(kInnerFadesButton) ? fade : 0);
        if (pattern.slotNumber(kVolumeNumber, slot) != 0)
            wave.ApplyVolume(-pattern.slotNumber(kVolumeNumber, slot));
        if (on(kStaccatoCheckText))
            wave.ApplyStaccato(pattern.slotNumber(kDividerNumber, slot), fade);
        if (on(kReverseCheckText))
            wave.Reverse();
        if (on(kMuteCheckText))
            wave.Silence();
        if (on(kMuteLeftCheckText))
            wave.SilenceLeft();
        if (on(kMuteRightCheckText))
            wave.SilenceRight();
        if (on(kFlipCheckText))
            wave.SwapChannels();
        if (on(kPhaseCheckText))
            wave.InvertPhase();
        if (on(kFadeInCheckText))
            wave.ApplyFadeIn(fade, offset, linear);
        if (on(kFadeOutCheckText))
            wave.ApplyFadeOut(fade, offset, linear);
        joined += wave;
    }
    joined.SetLength(loop.GetSamples());
    return joined;
}

TEST_F(BrevRenderTest, RandomPatternsRenderAsTheirStepsSay) {
    std::mt19937 random(7);
    auto pick = [&](int low, int high) {
        return low + static_cast<int>(random() % static_cast<unsigned>(high - low + 1));
    };
    const std::string input = writeLoop("in.wav", 16 * 1500 + 7);
    const BrevWave::TWave loop = load(input);
    for (int round = 0; round < 12; ++round) {
        PatternModel pattern;
        for (int slot = 0; slot < 16; ++slot) {
            pattern.SetNumberValue(slotControlName(kSegmentNumber, slot), pick(0, 15));
            pattern.SetNumberValue(slotControlName(kRepeatsNumber, slot),
                                   pick(0, 3) == 0 ? pick(2, 99) : 1);
            pattern.SetNumberValue(slotControlName(kVolumeNumber, slot),
                                   pick(0, 2) == 0 ? pick(-99, 99) : 0);
            pattern.SetNumberValue(slotControlName(kDividerNumber, slot), pick(2, 99));
            for (auto flag : {kStaccatoCheckText, kDeckstopCheckText, kReverseCheckText,
                              kMuteCheckText, kMuteLeftCheckText, kMuteRightCheckText,
                              kFlipCheckText, kPhaseCheckText, kFadeInCheckText, kFadeOutCheckText})
                pattern.SetCheckValue(slotControlName(flag, slot), pick(0, 3) == 0);
        }
        pattern.SetNumberValue(kFadeSamplesNumber, pick(0, 999));
        pattern.SetNumberValue(kSwingNumber, pick(0, 100));
        pattern.SetNumberValue(kCuttingAngleNumber, pick(-89, 89));
        pattern.SetNumberValue(kDeckstopRampNumber, pick(1, 100));
        pattern.setToggleDown(kInnerFadesButton, pick(0, 1) == 1);
        pattern.setToggleDown(kLogFadesButton, pick(0, 1) == 1);
        writePatternFile(pattern, path("p.brev"));

        Result result =
            run({"--pattern", path("p.brev"), "--inner-fades",
                 pattern.toggleDown(kInnerFadesButton) ? "on" : "off", "--log-fades",
                 pattern.toggleDown(kLogFadesButton) ? "on" : "off", input, path("out.wav")});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(sameBytes(load(path("out.wav")), referenceRender(loop, pattern)))
            << "round " << round;
    }
}

TEST_F(BrevRenderTest, ErrorsGoToStderrWithANonZeroExit) {
    std::string input = writeLoop("in.wav", 1600);
    std::string out = path("out.wav");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{path("missing.wav"), out}, "LoadFromFile"},
        {{input}, "Give INPUT.wav and OUTPUT.wav"},
        {{"--swing", "101", input, out}, "--swing needs a whole number from 0 to 100"},
        {{"--fade-samples", "ten", input, out}, "--fade-samples needs a whole number"},
        {{"--inner-fades", "maybe", input, out}, "--inner-fades needs on or off"},
        {{"--bogus", input, out}, "Unknown option --bogus"},
        {{"--pattern", path("none.brev"), input, out}, "Pattern file not found"},
        {{"--table", path("no/such/dir/t.html"), input, out}, "Unable to write the tempo table"},
        {{"--play", input, out}, "--play takes one file: INPUT.wav"},
        {{"--passes", "2", input, out}, "--passes works only with --play"},
        {{input, path("no/such/dir/out.wav")}, ""},
    };
    for (const auto& c : cases) {
        Result result = run(c.args);
        EXPECT_NE(result.status, 0) << c.message;
        EXPECT_FALSE(result.err.empty()) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(out)) << c.message;
    }

    // Fewer frames than slots: the cutting error is reported and nothing is written.
    Result result = run({writeLoop("tiny.wav", 15), out});
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.err.find("TWave::SetSwing() - UnitSize 0"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(BrevRenderTest, TableIsTheEditorsPageWithInputAsTheFileName) {
    ::setenv("LC_ALL", "C", 1);
    std::string input = writeLoop("in.wav", 88200);
    Result result = run({"--swing", "50", "--table", path("t.html"), input, path("out.wav")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::exists(path("out.wav")));

    SegmentStore store;
    store.load(load(input), 50);
    std::ifstream in(path("t.html"), std::ios::binary);
    std::ostringstream page;
    page << in.rdbuf();
    EXPECT_EQ(page.str(), tempoTablePage(tempoTableInput(store, 50, input)));
    EXPECT_NE(page.str().find("<h1>Filename</h1>\r\n" + input + "\r\n"), std::string::npos);
}

} // namespace
} // namespace brev
