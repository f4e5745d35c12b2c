// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/audio_import.h"
#include "audio/loop_tempo.h"
#include "audio/segment_store.h"
#include "audio/twave.h"
#include "editor/core/kit_export.h"
#include "editor/core/pattern_file.h"
#include "editor/core/pattern_model.h"
#include "editor/core/render.h"
#include "editor/core/tempo_table.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_waves.h"
#include "tests/tools/brev_render_fixture.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <pwd.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace brev {
namespace {

namespace fs = std::filesystem;

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
        auto on = [&](SlotRow flag) { return pattern.slotCheck(flag, slot); };
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

// Every value of the pattern drawn at random, each effect on for about one slot in four.
void randomizePattern(PatternModel& pattern, std::mt19937& random) {
    auto pick = [&](int low, int high) {
        return low + static_cast<int>(random() % static_cast<unsigned>(high - low + 1));
    };
    for (int slot = 0; slot < 16; ++slot) {
        pattern.SetNumberValue(slotControlName(kSegmentNumber, slot), pick(0, 15));
        pattern.SetNumberValue(slotControlName(kRepeatsNumber, slot),
                               pick(0, 3) == 0 ? pick(2, 99) : 1);
        pattern.SetNumberValue(slotControlName(kVolumeNumber, slot),
                               pick(0, 2) == 0 ? pick(-99, 99) : 0);
        pattern.SetNumberValue(slotControlName(kDividerNumber, slot), pick(2, 99));
        for (auto flag : {kStaccatoCheckText, kDeckstopCheckText, kReverseCheckText, kMuteCheckText,
                          kMuteLeftCheckText, kMuteRightCheckText, kFlipCheckText, kPhaseCheckText,
                          kFadeInCheckText, kFadeOutCheckText})
            pattern.SetCheckValue(slotControlName(flag, slot), pick(0, 3) == 0);
    }
    pattern.SetNumberValue(kFadeSamplesNumber, pick(0, 999));
    pattern.SetNumberValue(kSwingNumber, pick(0, 100));
    pattern.SetNumberValue(kCuttingAngleNumber, pick(-89, 89));
    pattern.SetNumberValue(kDeckstopRampNumber, pick(1, 100));
    pattern.setToggleDown(kInnerFadesButton, pick(0, 1) == 1);
    pattern.setToggleDown(kLogFadesButton, pick(0, 1) == 1);
}

TEST_F(BrevRenderTest, RandomPatternsRenderAsTheirStepsSay) {
    std::mt19937 random(7);
    const std::string input = writeLoop("in.wav", 16 * 1500 + 7);
    const BrevWave::TWave loop = load(input);
    for (int round = 0; round < 12; ++round) {
        PatternModel pattern;
        randomizePattern(pattern, random);
        // The file's own fade switches are rendered; options given on the command line win.
        std::vector<std::string> args = {"--pattern", path("p.brev"), input, path("out.wav")};
        const bool inner = pattern.toggleDown(kInnerFadesButton);
        const bool log = pattern.toggleDown(kLogFadesButton);
        if (round % 2 == 1) {
            pattern.setToggleDown(kInnerFadesButton, !inner);
            pattern.setToggleDown(kLogFadesButton, !log);
            args.insert(args.begin(),
                        {"--inner-fades", inner ? "on" : "off", "--log-fades", log ? "on" : "off"});
        }
        writePatternFile(pattern, path("p.brev"));
        pattern.setToggleDown(kInnerFadesButton, inner);
        pattern.setToggleDown(kLogFadesButton, log);

        Result result = run(args);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(sameBytes(load(path("out.wav")), referenceRender(loop, pattern)))
            << "round " << round;
    }
}

TEST_F(BrevRenderTest, APlainRenderLoadsNoSoundLibrary) {
    const std::string input = writeLoop("in.wav", 1600);
    ::setenv("LD_DEBUG", "libs", 1);
    const Result result = run({input, path("out.wav")});
    ::unsetenv("LD_DEBUG");
    ASSERT_EQ(result.status, 0) << result.err;
    ASSERT_NE(result.err.find("calling init"), std::string::npos) << "no loader trace";
    for (const char* library : {"libportaudio", "libjack", "libasound", "libsndfile", "libsoxr"})
        EXPECT_EQ(result.err.find(library), std::string::npos) << library;
}

TEST_F(BrevRenderTest, ErrorsGoToStderrWithANonZeroExit) {
    std::string input = writeLoop("in.wav", 1600);
    std::string out = path("out.wav");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    setenv("JACK_DEFAULT_SERVER", "brev-test-no-such-server", 1);
    const Case cases[] = {
        {{path("missing.wav"), out}, "LoadFromFile"},
        {{input}, "Give INPUT and OUTPUT.wav or OUTPUT.flac"},
        {{input, path("x.mp3")},
         "Cannot write " + path("x.mp3") + ": OUTPUT must end in .wav (WAV) or .flac (FLAC)"},
        {{"--swing", "101", input, out}, "--swing needs a whole number from 0 to 100"},
        {{"--fade-samples", "ten", input, out}, "--fade-samples needs a whole number"},
        {{"--inner-fades", "maybe", input, out}, "--inner-fades needs on or off"},
        {{"--bogus", input, out}, "Unknown option --bogus"},
        {{"--pattern", path("none.brev"), input, out}, "Pattern file not found"},
        {{"--play", input, out}, "--play takes one file: INPUT"},
        {{"--passes", "2", input, out}, "--passes works only with --play"},
        {{"--sync", "jack", input, out}, "--sync works only with --play"},
        {{"--keep-pitch", "off", input, out}, "--keep-pitch works only with --play"},
        {{"--play", "--keep-pitch", "maybe", input}, "--keep-pitch needs on or off"},
        {{"--play", "--sync", "off", input}, "--sync needs jack or midi, not \"off\""},
        // No JACK server answers (this one never runs): sync cannot start.
        {{"--play", "--sync", "midi", input}, "Sync needs a JACK server"},
        {{input, path("no/such/dir/out.wav")}, ""},
    };
    for (const auto& c : cases) {
        Result result = run(c.args);
        EXPECT_NE(result.status, 0) << c.message;
        EXPECT_FALSE(result.err.empty()) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(out)) << c.message;
    }
    EXPECT_FALSE(fs::exists(path("x.mp3")));
    EXPECT_EQ(run({input, path("OUT.WAV")}).status, 0) << "extensions in any case";

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

TEST_F(BrevRenderTest, TableIsWrittenOnlyAfterTheRenderSucceeded) {
    std::string input = writeLoop("in.wav", 1600);
    Result result = run({"--table", path("t.html"), input, path("no/such/dir/out.wav")});
    EXPECT_NE(result.status, 0);
    EXPECT_FALSE(fs::exists(path("t.html")));

    result = run({"--table", path("no/such/dir/t.html"), input, path("out.wav")});
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.err.find("Unable to write the tempo table"), std::string::npos) << result.err;
    EXPECT_TRUE(sameBytes(load(path("out.wav")), load(input)));
}

TEST_F(BrevRenderTest, SpecialAndOversizedFilesAreRefusedAtOnce) {
    std::string input = writeLoop("in.wav", 1600);
    std::string fifo = path("pipe.wav");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(fifo, path("link.wav"));
    std::string big = path("big.brev");
    std::ofstream(big) << "[Saved Pattern]\n" << std::string(1024 * 1024, ';');
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{fifo, path("out.wav")}, "LoadFromFile - Error opening file " + fifo},
        {{"--pattern", fifo, input, path("out.wav")}, "Unable to read the pattern " + fifo},
        {{"--pattern", "/dev/zero", input, path("out.wav")}, "Not a regular file"},
        {{"--pattern", big, input, path("out.wav")}, "a pattern file holds at most 1 MB"},
        {{input, fifo}, "SaveToFile - Error creating file " + fifo},
        {{input, path("link.wav")}, "Not a regular file"},
    };
    for (const auto& c : cases) {
        Result result = run(c.args);
        EXPECT_EQ(result.status, 1) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(path("link.wav")));
    EXPECT_FALSE(fs::exists(path("out.wav")));
}

// In a sticky folder that everyone may write, another user's link is not followed, on its own,
// at the end of a chain or on the way to a folder: the file it leads to stays as it was. The
// user's own link, and one of the folder's owner, lead to the file they name, which is replaced.
TEST_F(BrevRenderTest, SavesFollowLinksOnlyAsTheSystemWould) {
    const passwd* other = ::getpwnam("nobody");
    if (::geteuid() != 0 || other == nullptr)
        GTEST_SKIP() << "planting another user's link needs root and the user nobody";
    const std::string input = writeLoop("in.wav", 1600);
    const std::string mine = writeLoop("mine.wav", 800);
    const std::string before = contents(mine);
    auto sharedFolder = [&](const std::string& name, uid_t owner) {
        fs::create_directory(path(name));
        EXPECT_EQ(::chown(path(name).c_str(), owner, owner), 0);
        fs::permissions(path(name), fs::perms::all | fs::perms::sticky_bit);
        return path(name) + "/";
    };
    auto plant = [&](const std::string& link, const std::string& target, uid_t owner) {
        fs::create_symlink(target, link);
        EXPECT_EQ(::lchown(link.c_str(), owner, owner), 0);
        return link;
    };
    const std::string shared = sharedFolder("shared", 0);
    const std::string planted = plant(shared + "mix.wav", mine, other->pw_uid);
    plant(shared + "dir", folder_.string(), other->pw_uid);
    plant(shared + "table.html", mine, other->pw_uid);
    const std::vector<std::vector<std::string>> refused = {
        {input, planted},
        {input, plant(shared + "chain.wav", planted, 0)},
        {input, shared + "dir/mine.wav"},
        {"--table", shared + "table.html", input, path("out.wav")},
        {"--kit", shared + "dir/kit", input},
    };
    for (const auto& args : refused) {
        const Result result = run(args);
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find("\nA link of another user in a shared folder, which is not "
                                  "followed\n"),
                  std::string::npos)
            << result.err;
    }
    EXPECT_EQ(contents(mine), before);
    EXPECT_FALSE(fs::exists(path("kit")));

    const std::string theirs = sharedFolder("theirs", other->pw_uid);
    for (const std::string& link :
         {plant(shared + "own.wav", mine, 0), plant(theirs + "mix.wav", mine, other->pw_uid)}) {
        fs::remove(mine);
        const Result result = run({input, link});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_TRUE(sameBytes(load(mine), load(input))) << link;
    }
}

// A save of a long loop, stopped by each signal that ends a process once its temporary exists;
// one past the file size limit fails and says why; one killed outright leaves a temporary that
// the next save into the folder removes, while another process's stays.
TEST_F(BrevRenderTest, InterruptedSaveLeavesNoTemporary) {
    const std::string input = writeLoop("in.wav", 12'000'000); // 48 MB
    const std::string out = path("out.wav");
    auto temporaries = [&] {
        return std::count_if(fs::directory_iterator(folder_), {}, [](const auto& entry) {
            return entry.path().filename().string().rfind(".out.wav.tmp-brev-", 0) == 0;
        });
    };

    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGKILL}) {
        const int status = statusAfter(start({input, out}), signal, [&] { return temporaries(); });
        if (status == -1)
            GTEST_SKIP() << "the save ended before it could be interrupted";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << strsignal(signal);
        EXPECT_EQ(temporaries(), signal == SIGKILL ? 1 : 0) << strsignal(signal);
        EXPECT_FALSE(fs::exists(out));
    }

    // A live process's temporary stays; so do those of a process elsewhere (another host,
    // another PID namespace) and of an earlier version that named no origin, whose pid says
    // nothing here.
    std::string origin; // as the temporary left by SIGKILL names this run's
    for (const auto& entry : fs::directory_iterator(folder_)) {
        if (const std::string name = entry.path().filename().string(); name.starts_with(".out"))
            origin = name.substr(std::strlen(".out.wav.tmp-brev-"), 16);
    }
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::vector<std::string> live = {
        path(".other.wav.tmp-brev-" + origin + "-" + std::to_string(::getpid()) + "-0"),
        path(".other.wav.tmp-brev-0123456789abcdef-" + std::to_string(gone) + "-0"),
        path(".other.wav.tmp-brev-" + std::to_string(gone) + "-0")};
    for (const std::string& file : live)
        std::ofstream(file) << "a save in progress";
    const int status = statusAfter(start({input, out}, 1 << 20), 0, {});
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_NE(contents(path("stderr.txt")).find(std::strerror(EFBIG)), std::string::npos);
    EXPECT_EQ(temporaries(), 0);
    for (const std::string& file : live)
        EXPECT_TRUE(fs::exists(file)) << file;
    EXPECT_FALSE(fs::exists(out));
}

// Stopped by SIGINT or SIGTERM, --play ends as after its last pass, so the capture is whole.
TEST_F(BrevRenderTest, InterruptedPlayLeavesACompleteCapture) {
    constexpr int kFrames = 16 * 276;
    const std::string input = writeLoop("in.wav", kFrames);
    const std::string capture = path("heard.wav");
    ::setenv("BREV_AUDIO", "null", 1);
    ::setenv("BREV_AUDIO_CAPTURE", capture.c_str(), 1);
    for (int signal : {SIGINT, SIGTERM}) {
        // Once more than a pass was heard.
        const int status = statusAfter(start({"--play", "--passes", "1000", input}), signal, [&] {
            std::error_code ec;
            return fs::file_size(capture, ec) > 44 + 8 * kFrames && !ec;
        });
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << strsignal(signal);
        const BrevWave::TWave heard = load(capture);
        EXPECT_EQ(heard.byteLength(), static_cast<std::int64_t>(fs::file_size(capture)) - 44);
        ASSERT_GT(heard.GetSamples(), kFrames);
        EXPECT_EQ(std::memcmp(heard.GetData(), load(input).GetData(), 4 * kFrames), 0);
    }
    ::unsetenv("BREV_AUDIO");
    ::unsetenv("BREV_AUDIO_CAPTURE");
}

TEST_F(BrevRenderTest, OtherFormatsConvertWithANoteAndStrictRefuses) {
    const std::string input = path("in.flac");
    ASSERT_EQ(std::system(("sox -n -r 48000 -b 24 -c 1 '" + input +
                           "' synth 1 sine 300 vol 0.5 2>/dev/null")
                              .c_str()),
              0);
    const std::string out = path("out.wav");
    Result result = run({input, out});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, input + ": converted to 44100 Hz, 16-bit, stereo (from FLAC, 48000 Hz, "
                                  "24-bit, mono)\n");
    // The default pattern writes back exactly what the editor loads.
    EXPECT_TRUE(sameBytes(load(out), loadAudioFile(input).wave));

    // FLAC out holds the same samples.
    result = run({input, path("out.flac")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(sameBytes(loadAudioFile(path("out.flac")).wave, load(out)));

    fs::remove(out);
    result = run({"--strict", input, out});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "LoadFromFile - Error loading " + input + "\nMMIOLoad - Not a RIFF WAVE file\n");
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(BrevRenderTest, BrokenInputsWriteNothing) {
    const std::string flac = path("in.flac");
    ASSERT_EQ(std::system(("sox -n -r 44100 -b 16 -c 2 '" + flac +
                           "' synth 2 sine 300 2>/dev/null && truncate -s 30000 '" + flac + "'")
                              .c_str()),
              0);
    const std::string ogg = path("in.ogg");
    ASSERT_EQ(std::system(("head -c 5000 /dev/urandom > '" + ogg + "'").c_str()), 0);
    for (const std::string& input : {flac, ogg}) {
        for (const std::string& out : {path("out.wav"), path("out.flac")}) {
            Result result = run({input, out});
            EXPECT_EQ(result.status, 1);
            EXPECT_EQ(result.err.rfind("LoadFromFile - Error loading " + input + "\n", 0), 0u)
                << result.err;
            EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 3) << out;
        }
    }
}

// The sample offsets of a WAV file's "cue " chunk, found by walking its chunks.
std::vector<std::uint32_t> cuePoints(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    auto le32 = [&](std::size_t at) {
        return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
               std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 3]} << 24;
    };
    for (std::size_t at = 12; at + 8 <= bytes.size(); at += 8 + le32(at + 4) + (le32(at + 4) & 1)) {
        if (std::memcmp(&bytes[at], "cue ", 4) != 0)
            continue;
        std::vector<std::uint32_t> points;
        for (std::uint32_t k = 0; k < le32(at + 8); ++k)
            points.push_back(le32(at + 12 + 24 * k + 20));
        return points;
    }
    return {};
}

std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

bool installed(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null").c_str()) == 0;
}

class KitTest : public BrevRenderTest {
protected:
    // A random pattern with swing on a loop whose name breaks SFZ lines and leaves no room for
    // "-NN.wav", rendered as the kit name_ and, for comparison, saved as one wave.
    void SetUp() override {
        std::mt19937 random(21);
        PatternModel pattern;
        randomizePattern(pattern, random);
        pattern.SetNumberValue(kSwingNumber, 20 + static_cast<int>(random() % 81));
        writePatternFile(pattern, path("p.brev"));
        input_ = writeLoop("Break beat\n<region> key=1 sample=x" + std::string(217, 'b') + ".wav",
                           16 * 2756 + 9);
        Result result = run({"--pattern", path("p.brev"), "--kit", kit_, input_});
        ASSERT_EQ(result.status, 0) << result.err;
        result = run({"--pattern", path("p.brev"), input_, path("saved.wav")});
        ASSERT_EQ(result.status, 0) << result.err;
    }

    std::string kitFile(const std::string& suffix) const { return kit_ + "/" + name_ + suffix; }

    std::string input_;
    const std::string kit_ = path("a kit");
    const std::string name_ = "Break beat__region_ key_1 sample_x" + std::string(214, 'b');
};

TEST_F(KitTest, SlotsMixedAtTheCuePointsAreTheMarkedLoop) {
    // The program's own loader skips the marker chunks and reads Save wave's samples.
    const BrevWave::TWave marked = loadAudioFile(kitFile(".wav")).wave;
    ASSERT_TRUE(sameBytes(marked, load(path("saved.wav"))));

    const std::vector<std::uint32_t> cues = cuePoints(kitFile(".wav"));
    ASSERT_EQ(cues.size(), 16u);
    PatternModel pattern;
    readPatternFile(pattern, path("p.brev"));
    SegmentStore store;
    store.load(load(input_), pattern.NumberValue(kSwingNumber));
    std::vector<std::int32_t> mix(static_cast<std::size_t>(marked.GetSamples()) * 2, 0);
    for (std::size_t slot = 0; slot < 16; ++slot) {
        SCOPED_TRACE(slot);
        const std::uint32_t start = cues[slot];
        EXPECT_EQ(start, static_cast<std::uint32_t>(store.regionStart(static_cast<int>(slot))));
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "-%02zu.wav", slot + 1);
        const std::vector<std::int16_t> samples = test::samplesOf(load(kitFile(suffix)));
        const auto end =
            slot < 15 ? cues[slot + 1] : static_cast<std::uint32_t>(marked.GetSamples());
        EXPECT_EQ(samples.size(), 2 * (end - start));
        for (std::size_t k = 0; k < samples.size() && 2 * start + k < mix.size(); ++k)
            mix[2 * start + k] += samples[k];
    }
    const std::vector<std::int16_t> loop = test::samplesOf(marked);
    EXPECT_TRUE(std::equal(mix.begin(), mix.end(), loop.begin(), loop.end()));

    // Every sample the SFZ map names is a slot file of the kit.
    std::ifstream sfz(kitFile(".sfz"));
    int samples = 0;
    for (std::string line; std::getline(sfz, line);) {
        if (const auto at = line.find("sample="); at != std::string::npos)
            samples += fs::exists(kit_ + "/" + line.substr(at + 7)) ? 1 : 0;
    }
    EXPECT_EQ(samples, 16);
}

// Each note-on within a tick of its slot's cue point at the file's own tempo.
void expectNotesOnCues(const std::string& midiFile, const std::vector<std::uint32_t>& cues);

TEST_F(KitTest, OtherProgramsReadTheMarkersTempoAndNotes) {
    if (!installed("sndfile-info") || !installed("midicsv"))
        GTEST_SKIP() << "sndfile-info (sndfile-programs) or midicsv (midicsv) is not installed";
    const std::vector<std::uint32_t> cues = cuePoints(kitFile(".wav"));
    ASSERT_EQ(cues.size(), 16u);
    const std::int32_t frames = load(kitFile(".wav")).GetSamples();
    const double bpm = loopTempo(frames);

    // sndfile-info's log is a few kB, with the file's path in it: a copy of a short name.
    fs::copy_file(kitFile(".wav"), path("marked.wav"));
    const std::string info = commandOutput("sndfile-info " + path("marked.wav"));
    EXPECT_NE(info.find("cue  : 388\n  Count : 16\n"), std::string::npos) << info;
    // sndfile-info shows the first ten cue points only.
    for (std::size_t k = 0; k < 10; ++k) {
        char cue[32];
        std::snprintf(cue, sizeof cue, "Pos : %5u", cues[k]);
        EXPECT_NE(info.find(cue), std::string::npos) << cue;
    }
    EXPECT_NE(info.find("labl : 1 : Slot 1\n"), std::string::npos);
    EXPECT_NE(info.find("Loop Count   : 1\n"), std::string::npos);
    EXPECT_NE(info.find("Start :     0  End : " + std::to_string(frames - 1)), std::string::npos);
    EXPECT_NE(info.find("Beats     : 4\n"), std::string::npos);
    char tempo[32];
    std::snprintf(tempo, sizeof tempo, "Tempo     : %f",
                  static_cast<double>(static_cast<float>(bpm)));
    EXPECT_NE(info.find(tempo), std::string::npos) << info;
    const std::string instrument = commandOutput("sndfile-info --instrument " + path("marked.wav"));
    EXPECT_NE(instrument.find("Mode : fwd"), std::string::npos) << instrument;

    expectNotesOnCues(kitFile(".mid"), cues);
    // Up to the longest loop the editor holds, its beat far slower than a MIDI tempo can state.
    for (const std::int32_t length : {2959500, 2959501, 98765433, INT32_MAX / 4}) {
        SCOPED_TRACE(length);
        KitLayout layout{{}, length, loopTempo(length)};
        for (int slot = 0; slot < 16; ++slot)
            layout.starts[std::size_t(slot)] = slot * (length / 16) + slot % 2 * (length / 40);
        std::ofstream(path("long.mid")) << kitMidi(layout);
        expectNotesOnCues(path("long.mid"), {layout.starts.begin(), layout.starts.end()});
    }
}

void expectNotesOnCues(const std::string& midiFile, const std::vector<std::uint32_t>& cues) {
    const std::string midi = commandOutput("midicsv '" + midiFile + "'");
    EXPECT_NE(midi.find("0, 0, Header, 0, 1, 960\n"), std::string::npos) << midi;
    std::istringstream csv(midi);
    std::string line;
    double microsPerQuarter = 0;
    int notes = 0;
    while (std::getline(csv, line)) {
        unsigned track = 0, tick = 0, channel = 0, key = 0, velocity = 0, micros = 0;
        if (std::sscanf(line.c_str(), "%u, 0, Tempo, %u", &track, &micros) == 2)
            microsPerQuarter = micros;
        if (std::sscanf(line.c_str(), "%u, %u, Note_on_c, %u, %u, %u", &track, &tick, &channel,
                        &key, &velocity) == 5 &&
            velocity > 0) {
            ASSERT_GT(microsPerQuarter, 0);
            EXPECT_EQ(channel, 9u);
            EXPECT_EQ(velocity, 100u);
            ASSERT_GE(key, 36u);
            ASSERT_LE(key, 51u);
            const double expected = cues[key - 36] / 44100.0 * 1e6 / microsPerQuarter * 960;
            EXPECT_NEAR(tick, expected, 1.0) << line;
            ++notes;
        }
    }
    EXPECT_EQ(notes, 16);
}

TEST_F(KitTest, AFailureNamesTheFileAndKeepsTheOthersWhole) {
    const std::string before = commandOutput("cat '" + kitFile(".wav") + "'");
    fs::remove(kitFile("-05.wav"));
    fs::create_directory(kitFile("-05.wav"));
    const Result result = run({"--swing", "0", "--kit", kit_, input_});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind("Unable to write " + kitFile("-05.wav") + "\n", 0), 0u)
        << result.err;
    // Slots 1 to 4 are the new render's, unswung and whole; the marked loop is still the last
    // kit's.
    EXPECT_EQ(load(kitFile("-04.wav")).GetSamples(), 2756);
    EXPECT_EQ(commandOutput("cat '" + kitFile(".wav") + "'"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(kit_), {}), 19);
}

} // namespace
} // namespace brev
