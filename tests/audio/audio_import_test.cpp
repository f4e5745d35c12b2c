// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Loops in other formats, written by sox, loaded as the editor and brev-render load them and
// compared with sox's own conversion of the same file.
#include "audio/audio_export.h"
#include "audio/audio_import.h"
#include "audio/clipboard_port.h"
#include "audio/loop_converter.h"
#include "audio/sound_file.h"
#include "base/byte_stream.h"
#include "tests/support/riff_blocks.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_waves.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <unistd.h>

namespace brev {
namespace {

using test::Bytes;
namespace fs = std::filesystem;

class AudioImport : public test::TempFolderTest {
protected:
    void sox(const std::string& arguments) const {
        const std::string command = "sox " + arguments + " 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    std::string write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path(name);
    }

    static Bytes read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    static std::string refusal(const std::function<void()>& load) {
        try {
            load();
        } catch (const Error& error) {
            return error.what();
        }
        return "(loaded)";
    }
};

// A second of a tone, 16-bit stereo 48000 Hz, as libsndfile writes it in format.
Bytes encodedTone(int format) {
    SF_INFO info{48000, 48000, 2, format, 0, 0};
    MemoryWriter writer;
    SoundFile file;
    std::vector<short> samples(2 * 48000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<short>(8000 * std::sin(0.02 * static_cast<double>(i / 2)));
    if (file.openWrite(writer, info))
        sf_writef_short(file.handle(), samples.data(), 48000);
    file.close();
    return writer.bytes();
}

// Signal-to-noise ratio of actual against reference in dB, over the frames both have.
double snrDb(const BrevWave::TWave& reference, const BrevWave::TWave& actual) {
    const auto expected = test::framesOf(reference);
    const auto got = test::framesOf(actual);
    double signal = 0;
    double noise = 0;
    for (std::size_t i = 0; i < std::min(expected.size(), got.size()); ++i) {
        for (auto [want, have] : {std::pair{expected[i].first, got[i].first},
                                  std::pair{expected[i].second, got[i].second}}) {
            signal += double(want) * want;
            noise += double(want - have) * (want - have);
        }
    }
    return noise == 0 ? INFINITY : 10 * std::log10(signal / noise);
}

TEST_F(AudioImport, OtherFormatsConvertAsSoxDoes) {
    struct Case {
        std::string file;
        std::string format; // sox's options for the written file
        int channels;
        std::string remix; // sox effects that keep the first two channels
        std::string convertedFrom;
    };
    const Case cases[] = {
        {"mono24.wav", "-r 48000 -b 24", 1, "", "48000 Hz, 24-bit, mono"},
        {"float.wav", "-r 96000 -e floating-point -b 32", 2, "", "96000 Hz, 32-bit float, stereo"},
        {"eight.wav", "-r 22050 -b 8", 2, "", "22050 Hz, 8-bit, stereo"},
        {"low.wav", "-r 4000 -b 16", 1, "", "4000 Hz, 16-bit, mono"},
        {"six.wav", "-r 48000 -b 16", 6, "remix 1 2", "48000 Hz, 16-bit, 6 channels"},
        {"loop.flac", "-r 88200 -b 24", 2, "", "FLAC, 88200 Hz, 24-bit, stereo"},
        {"loop.aiff", "-r 44100 -b 16", 2, "", "AIFF, 44100 Hz, 16-bit, stereo"},
        {"loop.ogg", "-r 44100", 2, "", "Ogg Vorbis, 44100 Hz, stereo"},
    };
    const char* tones[] = {"sine 200-3000", "sine 500",  "sine 700",
                           "sine 900",      "sine 1100", "square 1300"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string synth;
        for (int channel = 0; channel < c.channels; ++channel)
            synth += std::string(" ") + tones[channel];
        sox("-n " + c.format + " -c " + std::to_string(c.channels) + " " + path(c.file) +
            " synth 4" + synth + " vol 0.5");
        sox(path(c.file) + " -r 44100 -b 16 -c 2 " + path("sox.wav") + " " + c.remix + " rate -v");
        BrevWave::TWave reference;
        reference.LoadFromFile(path("sox.wav"));

        const LoadedAudio loaded = loadAudioFile(path(c.file));
        EXPECT_EQ(loaded.convertedFrom, c.convertedFrom);
        EXPECT_NEAR(loaded.wave.GetSamples(), reference.GetSamples(), 2);
        EXPECT_GE(snrDb(reference, loaded.wave), 40);
        if (c.channels == 1) {
            EXPECT_EQ(test::leftOf(loaded.wave), test::rightOf(loaded.wave));
        }

        // The same data on the clipboard converts the same, sample for sample.
        MemoryClipboard clipboard;
        clipboard.setWaveBytes(read(path(c.file)));
        EXPECT_EQ(test::bytesOf(loadAudioClipboard(clipboard).wave), test::bytesOf(loaded.wave));
    }
}

TEST_F(AudioImport, NativeWaveTakesTheLoadersPathBitForBit) {
    // A 10-byte data chunk keeps its two trailing bytes only on the loader's own path.
    for (int bytes : {10, 4 * 4410}) {
        const Bytes file = test::riff(
            {test::chunk("fmt ", test::fmtPayload()), test::chunk("data", test::pcmBytes(bytes))});
        BrevWave::TWave expected;
        expected.LoadFromFile(write("native.wav", file));

        const LoadedAudio loaded = loadAudioFile(path("native.wav"));
        EXPECT_EQ(loaded.convertedFrom, "");
        EXPECT_EQ(test::bytesOf(loaded.wave), test::bytesOf(expected));
        const LoadedAudio dropped = loadAudioBytes(file, "Error loading dropped data");
        EXPECT_EQ(test::bytesOf(dropped.wave), test::bytesOf(expected));
        EXPECT_EQ(dropped.convertedFrom, "");
    }
}

TEST_F(AudioImport, RefusalsSayWhyAndKeepTheLoadersMessages) {
    const Bytes data = test::pcmBytes(64);
    BrevWave::TWave unchanged;
    auto loaderMessage = [&](const std::string& file) {
        return refusal([&] { unchanged.LoadFromFile(file); });
    };
    // Damaged RIFF WAVE files keep the loader's own refusal.
    Bytes cutShort =
        test::riff({test::chunk("fmt ", test::fmtPayload()), test::chunk("data", data)});
    cutShort.resize(cutShort.size() - 10);
    for (const auto& [name, bytes] :
         {std::pair{"cut.wav", cutShort},
          std::pair{"nodata.wav", test::riff({test::chunk("fmt ", test::fmtPayload())})},
          std::pair{"short.wav", Bytes{'R', 'I', 'F', 'F'}}}) {
        const std::string file = write(name, bytes);
        EXPECT_EQ(refusal([&] { loadAudioFile(file); }), loaderMessage(file));
    }

    // A 24-bit WAV cut short is just as damaged, though only libsndfile's log says so.
    sox("-n -r 48000 -b 24 -c 2 " + path("whole24.wav") + " synth 1 sine 300");
    Bytes wave24 = read(path("whole24.wav"));
    wave24.resize(wave24.size() / 2);
    const std::string cut24 = write("cut24.wav", wave24);
    EXPECT_EQ(refusal([&] { loadAudioFile(cut24); }),
              "LoadFromFile - Error loading " + cut24 + "\nError reading data");

    // Bytes nothing recognises: the loader's message. A broken FLAC: libsndfile's reason.
    std::mt19937 random(7);
    Bytes noise(5000);
    for (auto& byte : noise)
        byte = static_cast<std::uint8_t>(random());
    const std::string ogg = write("noise.ogg", noise);
    EXPECT_EQ(refusal([&] { loadAudioFile(ogg); }),
              "LoadFromFile - Error loading " + ogg + "\nMMIOLoad - Not a RIFF WAVE file");

    sox("-n -r 44100 -b 16 -c 2 " + path("whole.flac") + " synth 2 sine 300 vol 0.5");
    Bytes flac = read(path("whole.flac"));
    flac.resize(flac.size() / 2);
    const std::string broken = write("broken.flac", flac);
    const std::string message = refusal([&] { loadAudioFile(broken); });
    EXPECT_EQ(message.rfind("LoadFromFile - Error loading " + broken + "\n", 0), 0u) << message;
    EXPECT_NE(message.find("flac"), std::string::npos) << message;

    MemoryClipboard clipboard;
    clipboard.setWaveBytes(flac);
    EXPECT_EQ(refusal([&] {
                  loadAudioClipboard(clipboard);
              }).rfind("Error loading data from clipboard\n", 0),
              0u);
}

TEST_F(AudioImport, HeadersThatWouldTakeTheMachinesMemoryAreRefusedAtOnce) {
    // 44 KB that say 1 Hz would convert to 1.9 GB: such a rate is refused before decoding.
    for (const std::uint32_t rate : {1u, 1000u}) {
        const std::string file =
            write("rate.wav", test::riff({test::chunk("fmt ", test::fmtPayload(1, 2, rate)),
                                          test::chunk("data", test::pcmBytes(44000))}));
        EXPECT_EQ(
            refusal([&] { loadAudioFile(file); }),
            rate == 1
                ? "LoadFromFile - Error loading " + file +
                      "\nUnsupported sample rate: 1 Hz (a loop is converted from 1000 to 768000 Hz)"
                : "(loaded)");
    }
    // 13 MB of 8-bit mono at 1000 Hz would convert to more than a loop holds, which the header
    // tells before a sample is read. The data is a hole in the file.
    constexpr std::uint32_t kDataBytes = 13'000'000;
    Bytes wave = test::riff({test::chunk("fmt ", test::fmtPayload(1, 1, 1000, 8))});
    wave.insert(wave.end(), {'d', 'a', 't', 'a'});
    test::putLe(wave, kDataBytes, 4);
    Bytes riffSize;
    test::putLe(riffSize, static_cast<std::uint32_t>(wave.size()) - 8 + kDataBytes, 4);
    std::copy(riffSize.begin(), riffSize.end(), wave.begin() + 4);
    const std::string longFile = write("long.wav", wave);
    fs::resize_file(longFile, wave.size() + kDataBytes);
    int decoded = 0;
    const std::string message =
        refusal([&] { loadAudioFile(longFile, [&](double) { return ++decoded > 0; }); });
    EXPECT_NE(message.find("\nToo long: a loop holds at most "), std::string::npos) << message;
    EXPECT_EQ(decoded, 0);
}

TEST_F(AudioImport, CutShortAndDamagedFilesOfEveryContainerAreRefused) {
    // Cut short, or an RF64 header that claims 1 TB over 4 KB of data: damaged.
    for (const int format : {SF_FORMAT_W64, SF_FORMAT_AU, SF_FORMAT_RF64}) {
        Bytes bytes = encodedTone(format | SF_FORMAT_PCM_16);
        EXPECT_NEAR(loadAudioFile(write("whole", bytes)).wave.GetSamples(), 44100, 2);
        bytes.resize(format == SF_FORMAT_RF64 ? 4096 : bytes.size() / 2);
        if (format == SF_FORMAT_RF64) { // the ds64 RIFF size fits; the data size is 2^40 and more
            std::fill(bytes.begin() + 20, bytes.begin() + 28, 0);
            bytes[21] = 0x0F;
            bytes[20] = 0xF8;
            bytes[33] = 1;
        }
        const std::string file = write("damaged", bytes);
        EXPECT_EQ(refusal([&] { loadAudioFile(file); }),
                  "LoadFromFile - Error loading " + file + "\nError reading data");
    }

    // A cut-short MP3 is damaged, not missing; libmpg123 keeps its notes off stderr.
    const Bytes mp3 = encodedTone(SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
    ASSERT_GT(mp3.size(), 1000u) << "libsndfile writes no MP3";
    const std::string cutMp3 = write("cut.mp3", Bytes(mp3.begin(), mp3.begin() + 400));
    std::fflush(stderr);
    const int savedStderr = ::dup(2);
    const int captured = ::open(path("stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(captured, 2);
    const std::string message = refusal([&] { loadAudioFile(cutMp3); });
    std::fflush(stderr);
    ::dup2(savedStderr, 2);
    ::close(savedStderr);
    ::close(captured);
    EXPECT_EQ(message, "LoadFromFile - Error loading " + cutMp3 +
                           "\nThe file is damaged: no audio could be read from it");
    const Bytes chatter = read(path("stderr.txt"));
    EXPECT_EQ(std::string(chatter.begin(), chatter.end()), "");
}

TEST_F(AudioImport, DecodingReportsProgressAndCanBeCancelled) {
    sox("-n -r 48000 -b 16 -c 2 " + path("long.wav") + " synth 3 sine 300");
    std::vector<double> seen;
    loadAudioFile(path("long.wav"), [&](double done) {
        seen.push_back(done);
        return true;
    });
    ASSERT_GT(seen.size(), 2u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 1.0);

    int calls = 0;
    EXPECT_THROW(loadAudioFile(path("long.wav"), [&](double) { return ++calls < 3; }),
                 DecodeCancelled);
}

TEST_F(AudioImport, FlacSavesLosslesslyAndAtomically) {
    const BrevWave::TWave wave = test::rampWave(30000);
    saveAudioFile(wave, path("out.FLAC"));
    const LoadedAudio back = loadAudioFile(path("out.FLAC"));
    EXPECT_EQ(back.convertedFrom, "FLAC, 44100 Hz, 16-bit, stereo");
    EXPECT_EQ(test::bytesOf(back.wave), test::bytesOf(wave));
    sox(path("out.FLAC") + " " + path("sox.wav"));
    BrevWave::TWave bySox;
    bySox.LoadFromFile(path("sox.wav"));
    EXPECT_EQ(test::bytesOf(bySox), test::bytesOf(wave));

    // Any other name is the loader's own WAV.
    saveAudioFile(wave, path("out.wav"));
    wave.SaveToFile(path("plain.wav"));
    EXPECT_EQ(read(path("out.wav")), read(path("plain.wav")));

    // A save that fails leaves the old file as it was and nothing beside it.
    const Bytes before = read(path("out.FLAC"));
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    const bool writable = ::access(folder_.c_str(), W_OK) == 0; // root writes anyway
    if (!writable) {
        EXPECT_THROW(saveAudioFile(test::flatWave(10, 5), path("out.FLAC")), Error);
        EXPECT_EQ(read(path("out.FLAC")), before);
    }
    fs::permissions(folder_, fs::perms::owner_all);
    EXPECT_THROW(saveAudioFile(wave, path("missing/out.flac")), Error);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 4);
}

TEST(LoopConverter, RoundsToNearestAndSaturates) {
    EXPECT_EQ(toSample16(0.5f / 32768), 0); // ties to even
    EXPECT_EQ(toSample16(1.5f / 32768), 2);
    EXPECT_EQ(toSample16(-1.0f), -32768);
    EXPECT_EQ(toSample16(1.0f), 32767);
    EXPECT_EQ(toSample16(-3.0f), -32768);
    EXPECT_EQ(toSample16(NAN), 0);
    for (int sample = -32768; sample <= 32767; ++sample)
        ASSERT_EQ(toSample16(static_cast<float>(sample) / 32768), sample);
}

} // namespace
} // namespace brev
