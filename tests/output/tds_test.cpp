// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "allocation_counter.h"
#include "audio/clipboard_port.h"
#include "base/error.h"
#include "output/tds.h"
#include "tests/support/error_of.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_waves.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace brev {
namespace {

using test::countingWave;
using test::errorOf;
using test::TempFolder;
using test::writeWav;

OutputOptions silent() {
    OutputOptions options;
    options.nullOutput = true;
    return options;
}

TEST(TDS, EmptyEngineDoesNothing) {
    TDS engine(0, silent());
    EXPECT_FALSE(engine.IsLoaded());
    engine.Play(true);
    engine.WriteSlot(3);
    engine.SetPlaybackRate(88200);
    EXPECT_FALSE(engine.IsPlaying());
    engine.Stop();
    EXPECT_EQ(engine.GetPlaybackRate(), 0u);
    EXPECT_EQ(engine.GetOffset(7), 0u);
    EXPECT_EQ(engine.BufferBytes(), 0);
    EXPECT_EQ(engine.Store().SourceSamples(), 0);
    EXPECT_EQ(engine.Store().UnitSamples(), 0);
    std::uint32_t count = 0;
    const int* events = engine.GetEvents(count);
    EXPECT_EQ(count, 16u);
    EXPECT_EQ(events[15], -1);
    EXPECT_EQ(errorOf([&] { engine.GetOffset(16); }), "TDS::GetOffset - Index out of bounds");
    EXPECT_EQ(errorOf([&] { engine.GetOffset(-1); }), "TDS::GetOffset - Index out of bounds");
}

TEST(TDS, LayoutOf16003FramesWithoutAndWithSwing) {
    TempFolder dir;
    std::string path = writeWav(dir, "loop.wav", countingWave(16003));
    TDS engine(0, silent());

    engine.LoadSourceFile(path, 0);
    EXPECT_TRUE(engine.IsLoaded());
    EXPECT_EQ(engine.Store().SourceSamples(), 16003);
    EXPECT_EQ(engine.Store().UnitSamples(), 1000);
    EXPECT_EQ(engine.BufferBytes(), 64000);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(engine.GetOffset(i), 4000u * i);
    EXPECT_EQ(engine.Store().NaturalLength(14), 1000);
    EXPECT_EQ(engine.Store().NaturalLength(15), 1003);
    // Right after a load the buffer holds the raw loop truncated to 16000 frames.
    std::vector<std::uint8_t> bytes = engine.outputBytes();
    ASSERT_EQ(bytes.size(), 64000u);
    const std::uint8_t* source = engine.Store().source().GetData();
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), source));
    // The saved pattern keeps the source's length, tail included.
    engine.SavePatternFile(dir.file("pattern.wav"));
    BrevWave::TWave saved;
    saved.LoadFromFile(dir.file("pattern.wav"));
    EXPECT_EQ(saved.GetSamples(), 16003);

    engine.LoadSourceFile(path, 33);
    EXPECT_EQ(engine.BufferBytes(), 64000);
    EXPECT_EQ(engine.GetOffset(1), 4660u);
    EXPECT_EQ(engine.GetOffset(2), 8000u);
    EXPECT_EQ(engine.GetOffset(15), 60660u);
    EXPECT_EQ(engine.Store().NaturalLength(0), 1165);
    EXPECT_EQ(engine.Store().NaturalLength(1), 835);

    // WriteSlot(15) writes 3340 bytes ending exactly at the buffer's end, and nothing else.
    std::vector<std::uint8_t> before = engine.outputBytes();
    std::vector<std::uint8_t> marked(4 * 1003, 0x55);
    engine.renderTarget().StoreSlot(
        15, BrevWave::TWave(marked.data(), static_cast<std::int32_t>(marked.size())));
    {
        test::AllocationCounter counter;
        engine.WriteSlot(15);
        if (test::AllocationCounter::available()) {
            EXPECT_EQ(counter.count(), 0) << "the refill path allocates nothing";
        }
    }
    std::vector<std::uint8_t> after = engine.outputBytes();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i)
        ASSERT_EQ(after[i], i >= 60660 ? 0x55 : before[i]) << "byte " << i;
}

TEST(TDS, FullSwingWithAnEvenUnit) {
    TempFolder dir;
    TDS engine(0, silent());
    engine.LoadSourceFile(writeWav(dir, "loop.wav", countingWave(16 * 400)), 100);
    EXPECT_EQ(engine.Store().NaturalLength(0), 600);
    EXPECT_EQ(engine.Store().NaturalLength(1), 200);
    EXPECT_EQ(engine.GetOffset(2), 4u * 800);
    EXPECT_EQ(engine.GetOffset(15), 4u * (7 * 800 + 600));
}

TEST(TDS, GetSegmentCopiesWholeSegmentsAndRefusesBadIndexes) {
    TempFolder dir;
    TDS engine(0, silent());
    engine.LoadSourceFile(writeWav(dir, "loop.wav", countingWave(16003)), 33);
    BrevWave::TWave out;
    engine.renderTarget().GetSegment(3, 5, out);
    EXPECT_EQ(out.GetSamples(), 835) << "odd segment 3";
    engine.renderTarget().GetSegment(2, 5, out);
    EXPECT_EQ(out.GetSamples(), 1165) << "an even segment in an odd slot is not fitted here";
    EXPECT_EQ(engine.Store().slot(5).size(), 4u * 1165);

    for (std::pair<int, int> bad : {std::pair{-1, 0}, {0, 16}, {16, 0}, {0, -1}}) {
        BrevWave::TWave untouched = countingWave(3);
        EXPECT_EQ(
            errorOf([&] { engine.renderTarget().GetSegment(bad.first, bad.second, untouched); }),
            "TDS::GetSegment(), Index out of bounds");
        EXPECT_EQ(untouched.GetSamples(), 3);
    }
    EXPECT_EQ(engine.Store().slot(0).size(), 4u * 1165);
    EXPECT_EQ(engine.Store().slot(5).size(), 4u * 1165);
}

TEST(TDS, FailedLoadKeepsThePreviousLoopAndEvents) {
    TempFolder dir;
    TDS engine(0, silent());
    engine.LoadSourceFile(writeWav(dir, "loop.wav", countingWave(1600)), 20);
    engine.SetPlaybackRate(88200);
    EXPECT_EQ(engine.GetPlaybackRate(), 88200u);
    std::uint32_t count;
    const int* events = engine.GetEvents(count);
    std::vector<int> handles(events, events + count);
    std::vector<std::uint8_t> bytes = engine.outputBytes();

    std::string shortPath = writeWav(dir, "short.wav", countingWave(15));
    EXPECT_EQ(errorOf([&] { engine.LoadSourceFile(shortPath, 0); }),
              "TWave::SetSwing() - UnitSize 0");
    EXPECT_FALSE(errorOf([&] { engine.LoadSourceFile(dir.file("missing.wav"), 0); }).empty());
    EXPECT_EQ(engine.Store().SourceSamples(), 1600);
    EXPECT_EQ(engine.outputBytes(), bytes);
    EXPECT_EQ(std::vector<int>(engine.GetEvents(count), engine.GetEvents(count) + 16), handles);
    EXPECT_EQ(engine.GetPlaybackRate(), 88200u);

    // A successful load starts again at the format's rate.
    engine.LoadSourceFile(writeWav(dir, "other.wav", countingWave(3200)), 0);
    EXPECT_EQ(engine.GetPlaybackRate(), 44100u);
    EXPECT_EQ(engine.BufferBytes(), 4 * 3200);
}

TEST(TDS, ClipboardRoundTripOfTheRenderedLoop) {
    TempFolder dir;
    TDS engine(0, silent());
    engine.LoadSourceFile(writeWav(dir, "loop.wav", countingWave(1603, 9)), 0);
    // Slot 2 plays segment 7: the copy is the joined slots, fitted to the source.
    BrevWave::TWave ignored;
    engine.renderTarget().GetSegment(7, 2, ignored);
    MemoryClipboard clipboard;
    engine.CopyPatternToClipboard(clipboard);
    ASSERT_TRUE(clipboard.hasWave());

    TDS other(0, silent());
    other.LoadSourceClipboard(clipboard, 0);
    EXPECT_EQ(other.Store().SourceSamples(), 1603);
    std::vector<std::int16_t> copied = test::samplesOf(other.Store().source());
    EXPECT_EQ(copied[2 * 200], 701) << "slot 2 starts with segment 7's first frame";
    EXPECT_EQ(copied[2 * 199], 200);
    EXPECT_EQ(copied[2 * 1602], 1603) << "the tail past the 16 regions survives";

    MemoryClipboard empty;
    EXPECT_FALSE(errorOf([&] { other.LoadSourceClipboard(empty, 0); }).empty());
    EXPECT_EQ(other.Store().SourceSamples(), 1603);
}

TEST(TDS, DeviceListAndCapabilityReport) {
    TDS engine(5, silent());
    EXPECT_EQ(engine.DriverIndex(), 0) << "a wanted index out of range opens the default";
    ASSERT_EQ(engine.DriverCount(), 1);
    EXPECT_TRUE(engine.Driver(0).isDefault());
    EXPECT_FALSE(engine.DriverName(0).empty());
    EXPECT_EQ(errorOf([&] { engine.DriverName(1); }), "TDS::DriverName() index out of bounds.");
    EXPECT_EQ(errorOf([&] { engine.DriverName(-1); }), "TDS::DriverName() index out of bounds.");
    EXPECT_EQ(engine.OutputNotice(), "");
    EXPECT_EQ(engine.ShowCapabilities(), "Driver NOT certified\r\n"
                                         "Emulated driver\r\n"
                                         "16 bit hardware secondary buffer\r\n"
                                         "Stereo hardware secondary buffer\r\n"
                                         "0 max hardware mix all buffer\r\n"
                                         "0 bytes (0 KB) total hardware memory\r\n"
                                         "0 bytes (0 KB) free hardware memory\r\n");

    DeviceCaps caps;
    caps.flags = DeviceCaps::kCertified;
    caps.maxHwMixingAllBuffers = -1;
    caps.totalHwMemBytes = 1572864;
    caps.freeHwMemBytes = 1023;
    EXPECT_EQ(formatCapabilities(caps), "Certified driver\r\n"
                                        "True DirectSound driver\r\n"
                                        "No secondary hardware 16 bit buffer\r\n"
                                        "No secondary hardware stereo buffer\r\n"
                                        "-1 max hardware mix all buffer\r\n"
                                        "1572864 bytes (1536 KB) total hardware memory\r\n"
                                        "1023 bytes (0 KB) free hardware memory\r\n");

    EXPECT_NE(deviceGuid("ALSA", "pulse"), deviceGuid("ALSA", "default"));
    EXPECT_NE(deviceGuid("ALSA", "pulse"), deviceGuid("JACK", "pulse"));
    TDriverEntry named;
    named.GUID = deviceGuid("", "");
    EXPECT_FALSE(named.isDefault());
}

} // namespace
} // namespace brev
