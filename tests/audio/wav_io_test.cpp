// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/audio_export.h"
#include "audio/clipboard_port.h"
#include "audio/loop_markers.h"
#include "audio/twave.h"
#include "base/byte_stream.h"
#include "base/save_target.h"
#include "tests/support/error_of.h"
#include "tests/support/fifo_guard.h"
#include "tests/support/riff_blocks.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_waves.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using BrevWave::TWave;
using namespace brev::test;
namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define BREV_SANITIZED_MEMORY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define BREV_SANITIZED_MEMORY 1
#endif
#endif

namespace {

class WavFiles : public TempFolderTest {
protected:
    std::string write(const std::string& name, const Bytes& bytes) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    static Bytes read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::string loadError(TWave& wave, const std::string& path) {
    try {
        wave.LoadFromFile(path);
    } catch (const brev::Error& error) {
        return error.what();
    }
    return "";
}

Bytes standardWav(const Bytes& data) {
    return riff({chunk("fmt ", fmtPayload()), chunk("data", data)});
}

} // namespace

TEST_F(WavFiles, RefusedStreamsNameTheirFault) {
    const Bytes data = pcmBytes(16);
    Bytes truncated = standardWav(pcmBytes(400));
    truncated.resize(truncated.size() - 100);
    Bytes shortFmt = riff({chunk("fmt ", fmtPayload())});
    shortFmt.resize(shortFmt.size() - 6);
    const struct {
        const char* name;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {"empty", {}, "Cannot descend into RIFF header"},
        {"header only", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0}, "Cannot descend into RIFF header"},
        {"list header only", Bytes{'L', 'I', 'S', 'T', 4, 0, 0, 0, 'W', 'A', 'V'},
         "Cannot descend into RIFF header"},
        {"seven bytes", Bytes{'R', 'I', 'F', 'X', 4, 0, 0}, "Cannot descend into RIFF header"},
        {"other header only", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0},
         "MMIOLoad - Not a RIFF WAVE file"},
        {"eleven bytes of text", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'},
         "MMIOLoad - Not a RIFF WAVE file"},
        {"not riff", chunk("RIFX", Bytes{'W', 'A', 'V', 'E'}), "MMIOLoad - Not a RIFF WAVE file"},
        {"not wave", riff({chunk("data", data)}, "AVI "), "MMIOLoad - Not a RIFF WAVE file"},
        {"no fmt", riff({chunk("data", data)}), "MMIOLoad - fmt chunk not found"},
        {"fmt 14", riff({chunk("fmt ", fmtPayload(1, 2, 44100, 16, 14)), chunk("data", data)}),
         "MMIOLoad - Not a PCM file"},
        {"fmt cut short", shortFmt, "Could not read fmt chunk into PCMWAVEFORMAT"},
        {"float", riff({chunk("fmt ", fmtPayload(3, 2, 44100, 32)), chunk("data", data)}),
         "Not a WAVE_FORMAT_PCM file"},
        {"extensible",
         riff({chunk("fmt ", fmtPayload(0xFFFE, 2, 44100, 16, 40)), chunk("data", data)}),
         "Not a WAVE_FORMAT_PCM file"},
        {"mono", riff({chunk("fmt ", fmtPayload(1, 1)), chunk("data", data)}),
         "Wrong format wave file"},
        {"48000", riff({chunk("fmt ", fmtPayload(1, 2, 48000)), chunk("data", data)}),
         "Wrong format wave file"},
        {"24-bit", riff({chunk("fmt ", fmtPayload(1, 2, 44100, 24)), chunk("data", data)}),
         "Wrong format wave file"},
        {"no data", riff({chunk("fmt ", fmtPayload()), chunk("LIST", data)}),
         "MMIOLoad - data chunk not found"},
        {"truncated data", truncated, "Error reading data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = write("in.wav", c.bytes);
        TWave wave = rampWave(10);
        EXPECT_EQ(loadError(wave, path), "LoadFromFile - Error loading " + path + "\n" + c.message);
        EXPECT_EQ(wave.byteLength(), 0);
        EXPECT_EQ(wave.GetData(), nullptr);

        // The clipboard path reports the same fault behind its own line.
        brev::MemoryClipboard clipboard;
        clipboard.setWaveBytes(c.bytes);
        TWave pasted = rampWave(10);
        try {
            pasted.LoadFromClipboard(clipboard);
            ADD_FAILURE() << "clipboard load succeeded";
        } catch (const brev::Error& error) {
            const std::string expected =
                c.bytes.empty() ? std::string("LoadFromClipboard - Clipboard holds no data")
                                : std::string("Error loading data from clipboard\n") + c.message;
            EXPECT_EQ(error.what(), expected);
        }
        EXPECT_EQ(pasted.byteLength(), 0);
    }
}

TEST_F(WavFiles, MissingOrUnreadableFiles) {
    TWave wave = rampWave(10);
    const std::string missing = (folder_ / "missing.wav").string();
    EXPECT_EQ(loadError(wave, missing), "LoadFromFile - File not found: " + missing);
    EXPECT_EQ(framesOf(wave), framesOf(rampWave(10)));

    const std::string folder = folder_.string();
    EXPECT_EQ(loadError(wave, folder), "LoadFromFile - Error opening file " + folder +
                                           "\nAnother failure condition occurred.");
    EXPECT_EQ(wave.byteLength(), 0);
}

TEST_F(WavFiles, LayoutsOfOtherWritersLoad) {
    const Bytes data = pcmBytes(64);
    const Bytes odd = pcmBytes(7);
    const Bytes info = chunk("INFO", Bytes{'I', 'S', 'F', 'T', 3, 0, 0, 0, 'a', 'b', 0, 0});
    const Bytes markers =
        brev::loopMarkerChunks({{0, 5, 11}, {"A", "Slot two", "3"}, 16, 97.5f, 4});
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"plain", standardWav(data)},
        {"junk first",
         riff({chunk("JUNK", Bytes(28, 0)), chunk("fmt ", fmtPayload()), chunk("data", data)})},
        {"data before fmt", riff({chunk("data", data), chunk("fmt ", fmtPayload())})},
        {"list and fact", riff({chunk("fmt ", fmtPayload()), chunk("fact", Bytes{16, 0, 0, 0}),
                                chunk("LIST", info), chunk("data", data), chunk("LIST", info)})},
        {"loop markers before data",
         riff({chunk("fmt ", fmtPayload()), markers, chunk("data", data)})},
        {"loop markers after data",
         riff({chunk("fmt ", fmtPayload()), chunk("data", data), markers})},
        {"odd chunk padded",
         riff({chunk("fmt ", fmtPayload()), chunk("abc ", odd), chunk("data", data)})},
        {"odd chunk unpadded",
         riff({chunk("fmt ", fmtPayload()), chunk("abc ", odd, false), chunk("data", data)})},
        {"fmt 18", riff({chunk("fmt ", fmtPayload(1, 2, 44100, 16, 18)), chunk("data", data)})},
        {"fmt 40", riff({chunk("fmt ", fmtPayload(1, 2, 44100, 16, 40)), chunk("data", data)})},
        {"odd fmt", riff({chunk("fmt ", fmtPayload(1, 2, 44100, 16, 17)), chunk("data", data)})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TWave wave;
        wave.LoadFromFile(write("in.wav", c.bytes));
        EXPECT_EQ(bytesOf(wave), data);
    }

    // A streaming writer that never fixed the RIFF size, and a clipboard block with junk
    // behind the stream.
    Bytes streamed = standardWav(data);
    streamed[4] = streamed[5] = streamed[6] = streamed[7] = 0;
    TWave wave;
    wave.LoadFromFile(write("streamed.wav", streamed));
    EXPECT_EQ(bytesOf(wave), data);
    Bytes padded = standardWav(data);
    padded.resize(padded.size() + 8192, 0xAA);
    brev::MemoryClipboard clipboard;
    clipboard.setWaveBytes(padded);
    wave.LoadFromClipboard(clipboard);
    EXPECT_EQ(bytesOf(wave), data);

    // Data sizes that are not whole frames are kept to the byte.
    wave.LoadFromFile(write("ten.wav", standardWav(pcmBytes(10))));
    EXPECT_EQ(wave.byteLength(), 10);
    EXPECT_EQ(wave.GetSamples(), 2);
}

// Tiny chunks, padded and not, over many of the reader's blocks; the walk over them and the
// data behind them hear a cancel, which goes on as itself.
TEST_F(WavFiles, ManyTinyChunksLoadAcrossBlocksAndHearACancel) {
    std::vector<Bytes> chunks;
    for (int i = 0; i < 40000; ++i)
        chunks.push_back(chunk("ab  ", pcmBytes(1 + i % 3), i % 5 != 0));
    chunks.push_back(chunk("fmt ", fmtPayload()));
    const Bytes data = pcmBytes(64);
    chunks.push_back(chunk("data", data));
    const std::string tiny = write("tiny.wav", riff(chunks));
    std::vector<double> told;
    TWave wave;
    wave.LoadFromFile(tiny, [&](double done) {
        told.push_back(done);
        return true;
    });
    EXPECT_EQ(bytesOf(wave), data);
    EXPECT_GT(told.size(), 5u);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));

    for (const std::string& path : {tiny, write("plain.wav", standardWav(data))}) {
        EXPECT_THROW(wave.LoadFromFile(path, [](double) { return false; }), brev::DecodeCancelled);
        EXPECT_EQ(wave.byteLength(), 0);
    }
}

TEST_F(WavFiles, FileFromSoxLoads) {
    const std::string path = (folder_ / "sox.wav").string();
    const std::string command = "sox -q -n -r 44100 -c 2 -b 16 -e signed-integer " + path +
                                " synth 0.1 sine 440 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        GTEST_SKIP() << "sox not available";
    TWave wave;
    wave.LoadFromFile(path);
    EXPECT_EQ(wave.GetSamples(), 4410);
}

TEST_F(WavFiles, WrittenLayout) {
    const std::string empty = (folder_ / "empty.wav").string();
    TWave().SaveToFile(empty);
    Bytes expected = {'R', 'I', 'F', 'F', 38,  0,   0,  0, 'W', 'A',
                      'V', 'E', 'f', 'm', 't', ' ', 18, 0, 0,   0};
    BrevWave::WaveFormat format;
    TWave().GetWaveFormat(format);
    const auto record = format.encode();
    expected.insert(expected.end(), record.begin(), record.end());
    expected.insert(expected.end(), {'d', 'a', 't', 'a', 0, 0, 0, 0});
    EXPECT_EQ(read(empty), expected);

    TWave hundred = rampWave(100);
    const std::string full = (folder_ / "full.wav").string();
    hundred.SaveToFile(full);
    const Bytes written = read(full);
    ASSERT_EQ(written.size(), 446u);
    EXPECT_EQ(Bytes(written.begin() + 4, written.begin() + 8), (Bytes{182, 1, 0, 0}));
    EXPECT_EQ(Bytes(written.begin() + 42, written.begin() + 46), (Bytes{144, 1, 0, 0}));
    EXPECT_EQ(Bytes(written.begin() + 46, written.end()), bytesOf(hundred));

    // An odd data size gets its pad byte and counts it in the RIFF size only.
    const Bytes oddData = pcmBytes(9);
    TWave odd(oddData.data(), 9);
    brev::MemoryWriter writer;
    odd.MMIOSave(&writer);
    const Bytes& stream = writer.bytes();
    ASSERT_EQ(stream.size(), 56u);
    EXPECT_EQ(stream[4], 48);
    EXPECT_EQ(stream[42], 9);
    EXPECT_EQ(stream.back(), 0);
}

TEST_F(WavFiles, RoundTripsThroughFilesAndClipboard) {
    TWave wave = rampWave(1001);
    const std::string path = (folder_ / "trip.wav").string();
    wave.SaveToFile(path);
    wave.SaveToFile(path); // replaces the first one
    TWave back;
    back.LoadFromFile(path);
    EXPECT_EQ(bytesOf(back), bytesOf(wave));

    brev::MemoryClipboard clipboard;
    wave.SaveToClipboard(clipboard);
    EXPECT_EQ(clipboard.waveBytes(), read(path));
    TWave pasted;
    pasted.LoadFromClipboard(clipboard);
    EXPECT_EQ(bytesOf(pasted), bytesOf(wave));
    EXPECT_EQ(entries(), std::vector<std::string>{"trip.wav"});
}

TEST_F(WavFiles, ClipboardWithoutWave) {
    brev::MemoryClipboard clipboard;
    TWave wave = rampWave(3);
    try {
        wave.LoadFromClipboard(clipboard);
        FAIL();
    } catch (const brev::Error& error) {
        EXPECT_STREQ(error.what(), "Clipboard does not hold a WAVE file");
    }
    EXPECT_EQ(framesOf(wave), framesOf(rampWave(3)));

    EXPECT_THROW(wave.MMIOLoad(nullptr), brev::Error);
}

TEST_F(WavFiles, FailedSaveKeepsTheOldFile) {
    const std::string path = (folder_ / "keep.wav").string();
    TWave old = rampWave(100);
    old.SaveToFile(path);
    const Bytes before = read(path);

    // A file size limit makes the write fail half-way, also for root.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    std::string message;
    try {
        rampWave(5000).SaveToFile(path);
    } catch (const brev::Error& error) {
        message = error.what();
    }
    // FLAC too names the system's reason, not libsndfile's "No Error.".
    const std::string flac = (folder_ / "keep.flac").string();
    const std::string flacMessage = errorOf([&] { brev::saveAudioFile(rampWave(30000), flac); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(message, "SaveToFile - Error saving to " + path +
                           "\nMMIOSave - Error writing data\n" + std::strerror(EFBIG));
    EXPECT_EQ(flacMessage, "SaveToFile - Error saving to " + flac + "\n" + std::strerror(EFBIG));
    EXPECT_EQ(read(path), before);
    EXPECT_EQ(entries(), std::vector<std::string>{"keep.wav"});
}

TEST_F(WavFiles, SaveToImpossibleTargets) {
    const std::string missingFolder = (folder_ / "nowhere" / "out.wav").string();
    const std::string folderTarget = (folder_ / "taken").string();
    fs::create_directory(folderTarget);
    const struct {
        std::string path;
        std::string text;
    } cases[] = {
        {missingFolder, "The directory specification is incorrect.\nNo such file or directory"},
        {folderTarget, "Another failure condition occurred.\nIs a directory"},
    };
    for (const auto& c : cases) {
        try {
            rampWave(10).SaveToFile(c.path);
            ADD_FAILURE() << c.path;
        } catch (const brev::Error& error) {
            EXPECT_EQ(error.what(), "SaveToFile - Error creating file " + c.path + "\n" + c.text);
        }
    }
    EXPECT_EQ(entries(), std::vector<std::string>{"taken"});
    EXPECT_TRUE(fs::is_empty(folderTarget));

    // On a read-only file system the save gives that reason, in a mount of a child's own.
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a read-only file system needs root";
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", folderTarget.c_str(), "tmpfs", 0, nullptr) != 0)
            ::_exit(77);
        const std::string target = folderTarget + "/out.wav";
        rampWave(10).SaveToFile(target);
        if (::mount(nullptr, folderTarget.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            ::_exit(77);
        const std::string message = errorOf([&] { rampWave(10).SaveToFile(target); });
        ::_exit(message.ends_with(std::string("\n") + std::strerror(EROFS)) ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no read-only file system could be mounted";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// Another user who owns the folder a save goes into swaps it for a link to one of this user's
// folders right as the save takes it: the save still lands in the folder it checked.
TEST_F(WavFiles, AFolderSwappedAsTheSaveTakesItKeepsTheSave) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    constexpr uid_t kOther = 64999; // another user needs no account
    const fs::path theirs = folder_ / "theirs", shared = theirs / "shared", bait = theirs / "bait";
    const fs::path mine = folder_ / "mine";
    fs::create_directories(shared);
    fs::create_directory(mine);
    fs::create_directory_symlink(mine, bait);
    for (const fs::path& made : {theirs, shared, bait})
        ASSERT_EQ(::lchown(made.c_str(), kOther, kOther), 0);
    fs::permissions(shared, fs::perms::all);
    rampWave(10).SaveToFile((mine / "out.wav").string());
    const Bytes before = read((mine / "out.wav").string());

    brev::setSaveFolderTakenHook([&] {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(::setgid(kOther) == 0 && ::setuid(kOther) == 0 &&
                            ::renameat2(AT_FDCWD, shared.c_str(), AT_FDCWD, bait.c_str(),
                                        RENAME_EXCHANGE) == 0
                        ? 0
                        : 1);
        int status = -1;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(status, 0);
    });
    rampWave(20).SaveToFile((shared / "out.wav").string());
    brev::setSaveFolderTakenHook(nullptr);

    EXPECT_TRUE(fs::is_symlink(shared));
    EXPECT_EQ(read((mine / "out.wav").string()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(mine), {}), 1);
    TWave saved;
    saved.LoadFromFile((bait / "out.wav").string());
    EXPECT_EQ(saved.GetSamples(), 20);
}

// The temporary's name is longer than the target's: at the file system's limit it is shortened,
// not refused, also where the cut falls inside a character.
TEST_F(WavFiles, NamesUpToTheLimitSaveAndLongerOnesSayWhy) {
    const TWave wave = rampWave(10);
    std::string accented;
    while (accented.size() < 250)
        accented += "\u00e9";
    for (const std::string& name : {std::string(251, 'n') + ".wav", accented + ".wav"}) {
        const std::string path = (folder_ / name).string();
        wave.SaveToFile(path);
        wave.SaveToFile(path);
        EXPECT_EQ(entries(), std::vector<std::string>{name});
        fs::remove(path);
    }
    const std::string tooLong = (folder_ / (std::string(252, 'n') + ".wav")).string();
    try {
        wave.SaveToFile(tooLong);
        ADD_FAILURE() << "saved under a name longer than the limit";
    } catch (const brev::Error& error) {
        EXPECT_EQ(error.what(), "SaveToFile - Error creating file " + tooLong +
                                    "\nAnother failure condition occurred.\n" +
                                    std::strerror(ENAMETOOLONG));
    }
    EXPECT_TRUE(entries().empty());
}

TEST_F(WavFiles, PipesAndDevicesAreNeitherWaitedOnNorReplaced) {
    const std::string fifo = (folder_ / "pipe.wav").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string notRegular = "\nAnother failure condition occurred.\nNot a regular file";
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        std::string message;
        EXPECT_TRUE(brev::test::finishesWithoutWaitingOn(fifo, [&] {
            TWave wave = rampWave(4);
            message = loadError(wave, path);
        }));
        EXPECT_EQ(message, "LoadFromFile - Error opening file " + path + notRegular);
    }
    try {
        rampWave(10).SaveToFile(fifo);
        ADD_FAILURE() << "a pipe was replaced";
    } catch (const brev::Error& error) {
        EXPECT_EQ(error.what(), "SaveToFile - Error creating file " + fifo + notRegular);
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(entries(), std::vector<std::string>{"pipe.wav"});
}

TEST(WavStream, ClaimedSizeBeyondTheStreamIsRefusedBeforeAllocating) {
    for (std::uint32_t claim : {0x7FFFFFF0u, 0x80000000u, 0xFFFFFFF0u}) {
        SCOPED_TRACE(claim);
        Bytes bytes = standardWav(pcmBytes(16));
        bytes[40] = static_cast<std::uint8_t>(claim);
        bytes[41] = static_cast<std::uint8_t>(claim >> 8);
        bytes[42] = static_cast<std::uint8_t>(claim >> 16);
        bytes[43] = static_cast<std::uint8_t>(claim >> 24);
        // The data size field sits at offset 40 of this layout (fmt of 16 bytes).
        ASSERT_EQ(Bytes(bytes.begin() + 36, bytes.begin() + 40), (Bytes{'d', 'a', 't', 'a'}));

#ifndef BREV_SANITIZED_MEMORY
        // With little address space left, an allocation of the claimed size would fail and
        // report itself as an allocation error instead.
        struct rlimit saved {};
        ::getrlimit(RLIMIT_AS, &saved);
        struct rlimit limited = saved;
        limited.rlim_cur = 1ull << 30;
        const bool limitedNow = ::setrlimit(RLIMIT_AS, &limited) == 0;
#endif
        std::string message;
        TWave wave = rampWave(4);
        try {
            brev::MemoryReader reader(bytes);
            wave.MMIOLoad(&reader);
        } catch (const brev::Error& error) {
            message = error.what();
        }
#ifndef BREV_SANITIZED_MEMORY
        if (limitedNow)
            ::setrlimit(RLIMIT_AS, &saved);
#endif
        EXPECT_EQ(message, "Error reading data");
        EXPECT_EQ(wave.byteLength(), 0);
    }
}
