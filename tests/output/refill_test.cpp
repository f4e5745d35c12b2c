// The one-slot-ahead refill, heard through the real-time null output and its capture.
#include "engine_fixture.h"
#include "output/notify_thread.h"
#include "output/task_queue.h"
#include "output/tds.h"

#include <array>
#include <chrono>
#include <gtest/gtest.h>

namespace brev {
namespace {

using namespace std::chrono_literals;
using testing::samplesOf;
using testing::waveOf;

constexpr std::int32_t kUnit = 3000; // 68 ms a region: room for a loaded machine
constexpr int kPasses = 3;

// What slot n sounds like in version v: its segment's left channel, the right channel tagged.
BrevWave::TWave renderVersion(TDS& engine, int slot, int version) {
    BrevWave::TWave segment;
    engine.GetSegment(slot, slot, segment);
    std::vector<std::int16_t> samples = samplesOf(segment);
    for (size_t i = 1; i < samples.size(); i += 2)
        samples[i] = static_cast<std::int16_t>(100 * version + slot);
    return waveOf(samples);
}

TEST(Refill, EachChangeIsHeardFromTheNextTimeItsRegionPlays) {
    testing::TempDir dir;
    std::string capture = dir.file("capture.wav");
    // Swing, so regions differ in length; a 5-frame tail that never reaches the buffer.
    std::string input = testing::writeWav(dir, "loop.wav", testing::countingWave(16 * kUnit + 5));
    std::vector<std::int16_t> expected;
    {
        OutputOptions options;
        options.nullOutput = true;
        options.capturePath = capture;
        TDS engine(0, options);
        engine.LoadSourceFile(input, 20);

        // The pattern: a version per slot. Edits happen inside the handler, keyed by the
        // number of the hand-over, just before it renders.
        std::array<int, 16> version{};
        version.fill(1);
        struct Edit {
            int call, slot, version;
        };
        const std::vector<Edit> edits = {
            {8, 5, 2},       // pass 0, after region 5 was written: heard from pass 1
            {16 + 9, 10, 3}, // pass 1, at event 9, which renders 10 itself: heard in pass 1
            {16 + 12, 10, 4} // pass 1, after region 10 was written: heard from pass 2
        };
        int calls = 0;

        TaskQueue gui;
        std::uint32_t count = 0;
        const int* events = engine.GetEvents(count);
        TNotifyThread thread(
            events, count,
            [&](int k) {
                for (const Edit& edit : edits)
                    if (edit.call == calls)
                        version[edit.slot] = edit.version;
                ++calls;
                int next = (k + 1) % 16;
                engine.StoreSlot(next, renderVersion(engine, next, version[next]));
                engine.WriteSlot(next);
            },
            gui.executor());

        // The play command writes every slot before it starts, so pass 0 already sounds edited.
        for (int slot = 0; slot < 16; ++slot) {
            engine.StoreSlot(slot, renderVersion(engine, slot, version[slot]));
            engine.WriteSlot(slot);
        }
        engine.PlayPasses(kPasses);
        EXPECT_TRUE(engine.IsPlaying());
        auto deadline = std::chrono::steady_clock::now() + 30s;
        gui.serveUntil(
            [&] { return !engine.IsPlaying() || std::chrono::steady_clock::now() > deadline; });
        ASSERT_FALSE(engine.IsPlaying());
        gui.end(thread);
        EXPECT_EQ(thread.FailureMessage(), "");
        EXPECT_GE(calls, 16 * kPasses) << "a hand-over for every region of every pass";

        // Expected: the raw left channel, with each region's right channel tagged by the version
        // the pattern held when that region was written.
        std::vector<std::int16_t> raw = samplesOf(engine.Store().source());
        auto tagged = [&](int pass, int slot) {
            int v = 1;
            if (slot == 5 && pass >= 1)
                v = 2;
            if (slot == 10 && pass == 1)
                v = 3;
            if (slot == 10 && pass >= 2)
                v = 4;
            return static_cast<std::int16_t>(100 * v + slot);
        };
        for (int pass = 0; pass < kPasses; ++pass) {
            for (int slot = 0; slot < 16; ++slot) {
                std::int32_t start = static_cast<std::int32_t>(engine.GetOffset(slot) / 4);
                std::int32_t frames = engine.Store().regionFrames(slot);
                for (std::int32_t f = start; f < start + frames; ++f) {
                    expected.push_back(raw[2 * f]);
                    expected.push_back(tagged(pass, slot));
                }
            }
        }
    } // the engine's end completes the capture

    BrevWave::TWave captured;
    captured.LoadFromFile(capture);
    std::vector<std::int16_t> got = samplesOf(captured);
    ASSERT_EQ(got.size(), expected.size()) << "exactly " << kPasses << " passes";
    for (size_t i = 0; i < got.size(); ++i) {
        size_t frame = i / 2;
        ASSERT_EQ(got[i], expected[i]) << "pass " << frame / (16 * kUnit) << ", frame "
                                       << frame % (16 * kUnit) << (i % 2 ? " right" : " left");
    }
}

} // namespace
} // namespace brev
