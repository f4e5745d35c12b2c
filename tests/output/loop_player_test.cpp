#include "allocation_counter.h"
#include "output/event_set.h"
#include "output/loop_player.h"

#include <atomic>
#include <cstdint>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace brev {
namespace {

std::uint32_t packFrame(std::int16_t left, std::int16_t right) {
    return static_cast<std::uint16_t>(left) |
           static_cast<std::uint32_t>(static_cast<std::uint16_t>(right)) << 16;
}

// A ramp loop: frame i holds (i, -i), regions of `region` frames each.
std::unique_ptr<LoopBuffer> rampLoop(std::uint32_t region) {
    auto loop = std::make_unique<LoopBuffer>(16 * region);
    for (std::uint32_t i = 0; i < loop->frameCount; ++i)
        loop->frames[i].store(packFrame(static_cast<std::int16_t>(i),
                                        static_cast<std::int16_t>(-static_cast<int>(i))));
    for (unsigned k = 0; k < kRegionCount; ++k)
        loop->regionStarts[k] = k * region;
    return loop;
}

// Renders frames in periods of `period` and returns the left channel.
std::vector<int> renderLeft(LoopPlayer& player, unsigned frames, unsigned period = 64,
                            unsigned* played = nullptr) {
    std::vector<std::int16_t> buffer(2 * period);
    std::vector<int> left;
    unsigned total = 0;
    while (left.size() < frames) {
        unsigned n = std::min(period, frames - static_cast<unsigned>(left.size()));
        total += player.render(buffer.data(), n);
        for (unsigned i = 0; i < n; ++i)
            left.push_back(buffer[2 * i]);
    }
    if (played)
        *played = total;
    return left;
}

// Every pending event, lowest first, without waiting.
std::vector<int> drainEvents(const EventSet& events) {
    std::vector<int> fired;
    for (int k; (k = waitForAny(events.handles(), EventSet::kCount, 0)) >= 0;)
        fired.push_back(k);
    return fired;
}

TEST(LoopPlayer, PlaysTheBufferBitExactAndLoops) {
    auto loop = rampLoop(10);
    LoopPlayer player;
    player.setLoop(loop.get());
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(renderLeft(player, 5), std::vector<int>(5, 0)) << "silence while stopped";

    player.play(0);
    EXPECT_TRUE(player.isPlaying());
    // 3 passes in odd-sized periods, so pass ends fall inside periods.
    std::vector<int> left = renderLeft(player, 480, 37);
    for (unsigned i = 0; i < left.size(); ++i)
        ASSERT_EQ(left[i], static_cast<int>(i % 160)) << "frame " << i;
    EXPECT_TRUE(player.isPlaying());

    std::int16_t frame[2];
    player.render(frame, 1);
    EXPECT_EQ(frame[1], 0) << "right channel of frame 0";
}

TEST(LoopPlayer, SignalsEachRegionStartOnEveryPass) {
    auto loop = rampLoop(10);
    LoopPlayer player;
    player.setLoop(loop.get());
    player.play(0);
    // Periods smaller than a region: one event at a time, in play order, across a wrap.
    std::vector<int> order;
    for (int period = 0; period < 40; ++period) {
        renderLeft(player, 8, 8);
        for (int k : drainEvents(loop->events))
            order.push_back(k);
    }
    // 320 frames = two passes.
    ASSERT_EQ(order.size(), 32u);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(order[i], i % 16);
}

TEST(LoopPlayer, AtHalfAndDoubleRateEachRegionStillSignalsOncePerPass) {
    // Regions of 5 frames: at double rate the read position steps over odd region starts.
    // Periods of 2 frames never reach two region starts, so draining keeps the play order.
    auto loop = rampLoop(5);
    for (std::uint32_t rate : {22050u, 88200u}) {
        LoopPlayer player;
        player.setLoop(loop.get());
        player.setRate(rate);
        player.play(0);
        const unsigned pass = 80 * kDeviceRate / rate;
        std::vector<int> order;
        for (unsigned done = 0; done < 3 * pass; done += 2) {
            renderLeft(player, 2, 2);
            for (int k : drainEvents(loop->events))
                order.push_back(k);
        }
        ASSERT_EQ(order.size(), 48u) << "rate " << rate;
        for (int i = 0; i < 48; ++i)
            EXPECT_EQ(order[i], i % 16) << "rate " << rate << ", event " << i;
    }
}

TEST(LoopPlayer, ReplacingTheBufferWhileRenderingNeverReadsTheOldOne) {
    // The audio thread renders without pause while the buffer is replaced again and again.
    // Each replaced buffer is overwritten with a value no ramp holds before it is freed, so a
    // render still reading it after setLoop returned would play that value.
    constexpr std::int16_t kPoison = 0x7FFF;
    LoopPlayer player;
    std::atomic<bool> quit{false};
    std::atomic<unsigned> periods{0};
    std::atomic<int> poisoned{0};
    std::thread audio([&] {
        std::int16_t out[2 * 32];
        while (!quit.load(std::memory_order_relaxed)) {
            player.render(out, 32);
            for (std::int16_t sample : out)
                if (sample == kPoison)
                    poisoned.fetch_add(1, std::memory_order_relaxed);
            periods.fetch_add(1, std::memory_order_release);
        }
    });

    const std::uint32_t rates[] = {22050, 44100, 88200};
    std::unique_ptr<LoopBuffer> current;
    for (int round = 0; round < 200; ++round) {
        auto next = rampLoop(1 + round % 7);
        player.setLoop(next.get());
        player.setRate(rates[round % 3]);
        player.play(0);
        if (current) {
            for (std::uint32_t i = 0; i < current->frameCount; ++i)
                current->frames[i].store(packFrame(kPoison, kPoison));
        }
        current = std::move(next);
        const unsigned seen = periods.load(std::memory_order_acquire);
        while (periods.load(std::memory_order_acquire) < seen + 2)
            std::this_thread::yield();
    }
    player.setLoop(nullptr);
    quit.store(true, std::memory_order_relaxed);
    audio.join();
    EXPECT_EQ(poisoned.load(), 0);
}

TEST(LoopPlayer, OnceStopsAtTheEndAndPassLimitsCountWholePasses) {
    auto loop = rampLoop(4); // 64 frames
    LoopPlayer player;
    player.setLoop(loop.get());

    player.play(1);
    unsigned played = 0;
    std::vector<int> left = renderLeft(player, 100, 30, &played);
    EXPECT_EQ(played, 64u);
    EXPECT_EQ(left[63], 63);
    EXPECT_EQ(left[64], 0);
    EXPECT_FALSE(player.isPlaying());

    player.play(3);
    renderLeft(player, 1000, 50, &played);
    EXPECT_EQ(played, 192u);
    EXPECT_FALSE(player.isPlaying());
    drainEvents(loop->events);

    // Play, stop, play once: starts over at frame 0.
    player.play(0);
    renderLeft(player, 20);
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    renderLeft(player, 1, 1, &played);
    EXPECT_EQ(played, 0u);
    player.play(1);
    left = renderLeft(player, 64, 64, &played);
    EXPECT_EQ(played, 64u);
    EXPECT_EQ(left[0], 0);
    EXPECT_EQ(left[63], 63);
}

TEST(LoopPlayer, RateStepsThroughTheBufferWithLinearInterpolation) {
    auto loop = rampLoop(10);
    LoopPlayer player;
    player.setLoop(loop.get());
    player.setRate(88200);
    player.play(1);
    unsigned played = 0;
    std::vector<int> left = renderLeft(player, 100, 64, &played);
    EXPECT_EQ(played, 80u) << "double speed plays the 160 frames in 80";
    EXPECT_EQ(left[1], 2);
    EXPECT_EQ(left[79], 158);

    player.setRate(22050);
    player.play(1);
    left = renderLeft(player, 400, 64, &played);
    EXPECT_EQ(played, 320u);
    EXPECT_EQ(left[2], 1);
    EXPECT_EQ(left[3], 1) << "midpoint of 1 and 2, truncated";
    EXPECT_EQ(left[318], 159);
    EXPECT_EQ(left[319], 159) << "the last frame of a single pass holds";
    EXPECT_EQ(player.rate(), 22050u);

    // A new buffer resets the rate to the device's.
    player.setLoop(loop.get());
    EXPECT_EQ(player.rate(), kDeviceRate);
    EXPECT_FALSE(player.isPlaying());
}

TEST(LoopPlayer, HugeRateOnATinyLoopStaysInsideTheBuffer) {
    LoopBuffer loop(16);
    for (unsigned k = 0; k < kRegionCount; ++k)
        loop.regionStarts[k] = k;
    LoopPlayer player;
    player.setLoop(&loop);
    player.setRate(1000000); // clamped to 200000: about 4.5 frames a step
    player.play(0);
    renderLeft(player, 1000);
    player.play(2);
    unsigned played = 0;
    renderLeft(player, 100, 64, &played);
    EXPECT_EQ(played, 8u) << "two passes of 16 frames at 200000/44100";
    EXPECT_FALSE(player.isPlaying());
}

TEST(LoopPlayer, WriteCopiesWholeFramesAndNeverPastTheEnd) {
    LoopBuffer loop(8);
    const unsigned char bytes[12] = {1, 0, 2, 0, 3, 0, 4, 0, 0xFF, 0x7F, 0x00, 0x80};
    loop.write(6, bytes, 3);
    EXPECT_EQ(loop.frame(5), 0u);
    EXPECT_EQ(loop.frame(6), packFrame(1, 2));
    EXPECT_EQ(loop.frame(7), packFrame(3, 4));
    loop.write(8, bytes, 1);
    loop.write(0, bytes + 8, 1);
    EXPECT_EQ(loop.frame(0), packFrame(32767, -32768));
}

TEST(LoopPlayer, RenderNeverAllocates) {
    if (!testing::AllocationCounter::available())
        GTEST_SKIP() << "operator new belongs to the sanitizer runtime here";
    auto loop = rampLoop(3);
    LoopPlayer player;
    player.setLoop(loop.get());
    std::int16_t out[2 * 100];
    {
        testing::AllocationCounter live;
        auto probe = std::make_unique<int>(1);
        ASSERT_EQ(live.count(), 1) << "the counter sees allocations";
    }
    testing::AllocationCounter counter;
    for (std::uint32_t rate : {44100u, 22050u, 88200u, 200000u}) {
        player.setRate(rate);
        player.play(2);
        for (int period = 0; period < 10; ++period)
            player.render(out, 100); // events, wraps, the pass limit, silence
    }
    EXPECT_EQ(counter.count(), 0);
}

TEST(EventSet, ReportsLowestFirstResetsAndMerges) {
    EventSet events;
    EXPECT_EQ(waitForAny(events.handles(), EventSet::kCount, 0), kWaitTimeout);
    events.signal(9);
    events.signal(3);
    events.signal(3);
    events.signal(15);
    EXPECT_EQ(drainEvents(events), (std::vector<int>{3, 9, 15}));
    events.signal(16); // ignored
    EXPECT_EQ(waitForAny(events.handles(), EventSet::kCount, 10), kWaitTimeout);
    int none[16];
    std::fill(std::begin(none), std::end(none), -1);
    EXPECT_EQ(waitForAny(none, 16, 0), kWaitTimeout);
    EXPECT_EQ(waitForAny(events.handles(), 0, 0), kWaitFailed);

    // A signalled wake handle ends the wait like a time-out, stays signalled, and never hides
    // an event that is signalled too.
    EventSet wake;
    wake.signal(0);
    EXPECT_EQ(waitForAny(events.handles(), EventSet::kCount, 1000, wake.handles()[0]),
              kWaitTimeout);
    EXPECT_EQ(waitForAny(events.handles(), EventSet::kCount, 1000, wake.handles()[0]),
              kWaitTimeout);
    events.signal(6);
    EXPECT_EQ(waitForAny(events.handles(), EventSet::kCount, 1000, wake.handles()[0]), 6);
}

} // namespace
} // namespace brev
