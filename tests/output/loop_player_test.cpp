// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "allocation_counter.h"
#include "output/event_set.h"
#include "output/loop_player.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <thread>
#include <vector>

namespace brev {
namespace {

std::uint32_t packFrame(std::int16_t left, std::int16_t right) {
    return static_cast<std::uint16_t>(left) |
           static_cast<std::uint32_t>(static_cast<std::uint16_t>(right)) << 16;
}

std::int16_t leftOf(std::uint32_t frame) {
    return static_cast<std::int16_t>(frame & 0xFFFF);
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

TEST(LoopPlayer, SignalsEachRegionStartOnePeriodAheadOnEveryPass) {
    auto loop = rampLoop(10);
    LoopPlayer player;
    player.setLoop(loop.get());
    player.play(0);
    // Periods of 8 frames, regions of 10: the period starting at frame a signals the region
    // starts in [a + 8, a + 16), the first period also those before; in play order, across wraps.
    std::vector<int> order;
    for (unsigned a = 0; a < 320; a += 8) {
        renderLeft(player, 8, 8);
        std::vector<int> expected;
        for (unsigned start = a == 0 ? 0 : a + 8; start < a + 16; ++start)
            if (start % 10 == 0)
                expected.push_back(static_cast<int>(start / 10 % 16));
        ASSERT_EQ(drainEvents(loop->events), expected) << "period at frame " << a;
    }
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
        // Three passes, and the first region of the fourth, a period ahead.
        ASSERT_EQ(order.size(), 49u) << "rate " << rate;
        for (int i = 0; i < 49; ++i)
            EXPECT_EQ(order[i], i % 16) << "rate " << rate << ", event " << i;
    }
}

// A loop whose every frame is (version, region): what a pass of a region holds shows which
// rendering of it was played.
std::unique_ptr<LoopBuffer> taggedLoop(std::uint32_t evenRegion, std::uint32_t oddRegion) {
    auto loop = std::make_unique<LoopBuffer>(8 * (evenRegion + oddRegion));
    std::uint32_t start = 0;
    for (unsigned k = 0; k < kRegionCount; ++k) {
        loop->regionStarts[k] = start;
        start += k % 2 ? oddRegion : evenRegion;
    }
    return loop;
}

std::uint32_t regionFrames(const LoopBuffer& loop, unsigned region) {
    return (region + 1 < kRegionCount ? loop.regionStarts[region + 1] : loop.frameCount) -
           loop.regionStarts[region];
}

Refill writeVersion(LoopPlayer& player, LoopBuffer& loop, unsigned region, int version) {
    std::vector<unsigned char> bytes;
    for (std::uint32_t i = 0; i < regionFrames(loop, region); ++i)
        for (int sample : {version, static_cast<int>(region)})
            bytes.insert(bytes.end(), {static_cast<unsigned char>(sample),
                                       static_cast<unsigned char>(sample >> 8)});
    return player.refill(loop, region, bytes.data(), regionFrames(loop, region));
}

// The refill rule under any period the device grants: the handler of event k writes a new
// rendering of region k + 1 at once (between two periods). Every pass of every region then holds
// exactly one rendering, and each pass the one written on its event. Periods from 64 to 4096
// frames, fixed or changing from one to the next; regions down to two of the 256-frame periods the
// output asks for (so a period may span eight regions), with swing; at the device rate and at
// double rate. A refill may come too late only for a region read by a period longer than any before
// it (the first one).
TEST(LoopPlayer, EveryPassOfEveryRegionHoldsOneRenderingWhateverThePeriod) {
    struct Case {
        unsigned period; // 0: random periods from 64 to 4096
        std::uint32_t rate;
    };
    std::mt19937 random(5);
    for (Case c :
         {Case{64, 44100}, Case{256, 44100}, Case{1000, 44100}, Case{4096, 44100}, Case{37, 88200},
          Case{256, 88200}, Case{4096, 88200}, Case{0, 44100}, Case{0, 88200}}) {
        const unsigned factor = c.rate / kDeviceRate;
        const std::uint32_t shortest = 2 * 256 * factor;
        for (std::uint32_t evenRegion : {shortest, shortest + 37, 3 * shortest}) {
            SCOPED_TRACE("period " + std::to_string(c.period) + ", rate " + std::to_string(c.rate) +
                         ", regions " + std::to_string(evenRegion) + "/" +
                         std::to_string(shortest));
            auto loop = taggedLoop(evenRegion, shortest);
            LoopPlayer player;
            player.setLoop(loop.get());
            player.setRate(c.rate);
            std::array<int, kRegionCount> version{};
            for (unsigned k = 0; k < kRegionCount; ++k)
                ASSERT_EQ(writeVersion(player, *loop, k, 0), Refill::InTime);
            constexpr unsigned kPasses = 4;
            player.play(kPasses);

            std::vector<std::int16_t> out(2 * 4096);
            std::vector<std::int16_t> heard;
            unsigned largest = 0;
            while (player.isPlaying()) {
                const unsigned frames = c.period != 0 ? c.period : 64 + random() % (4096 - 63);
                const bool longest = frames > largest;
                largest = std::max(largest, frames);
                const unsigned played = player.render(out.data(), frames);
                heard.insert(heard.end(), out.begin(), out.begin() + 2 * played);
                for (int k : drainEvents(loop->events)) {
                    const unsigned next = (static_cast<unsigned>(k) + 1) % kRegionCount;
                    const bool inTime =
                        writeVersion(player, *loop, next, ++version[next]) == Refill::InTime;
                    ASSERT_TRUE(inTime || longest) << "refill of region " << next;
                }
            }
            ASSERT_EQ(heard.size(), 2u * kPasses * loop->frameCount / factor);
            // The version each pass of each region holds; -1 before its first frame.
            std::vector<std::array<int, kRegionCount>> held(kPasses);
            for (auto& pass : held)
                pass.fill(-1);
            for (size_t f = 0; f < heard.size() / 2; ++f) {
                const std::uint32_t read = static_cast<std::uint32_t>(f * factor);
                const unsigned pass = read / loop->frameCount;
                unsigned region = kRegionCount - 1;
                while (loop->regionStarts[region] > read % loop->frameCount)
                    --region;
                ASSERT_EQ(heard[2 * f + 1], static_cast<int>(region)) << "frame " << f;
                int& heldVersion = held[pass][region];
                if (heldVersion < 0)
                    heldVersion = heard[2 * f];
                ASSERT_EQ(heard[2 * f], heldVersion) << "pass " << pass << ", region " << region
                                                     << " mixes two renderings at frame " << f;
            }
            // A period longer than any before may read a region before its refill, and that pass
            // plays the rendering before; with fixed periods only the first one does.
            for (unsigned pass = 1; pass < kPasses; ++pass)
                for (unsigned k = 0; k < kRegionCount; ++k) {
                    const int before = held[pass - 1][k];
                    if (c.period == 0)
                        EXPECT_GE(held[pass][k], before) << "pass " << pass << ", region " << k;
                    else if (pass == 1)
                        EXPECT_GT(held[pass][k], before) << "region " << k;
                    else
                        EXPECT_EQ(held[pass][k], before + 1) << "pass " << pass << ", region " << k;
                }
        }
    }
}

TEST(LoopPlayer, ARefillAfterPlaybackReachedItsRegionIsRefused) {
    auto loop = taggedLoop(100, 100);
    LoopPlayer player;
    player.setLoop(loop.get());
    EXPECT_EQ(writeVersion(player, *loop, 3, 1), Refill::InTime); // stopped: always written
    player.play(0);
    std::vector<std::int16_t> out(2 * 50);
    player.render(out.data(), 50); // event 0: region 1 may be refilled
    drainEvents(loop->events);
    EXPECT_EQ(writeVersion(player, *loop, 2, 2), Refill::Late); // its event has not come
    EXPECT_EQ(writeVersion(player, *loop, 1, 2), Refill::InTime);
    for (int period = 0; period < 6; ++period)
        player.render(out.data(), 50); // now at frame 350, in region 3
    drainEvents(loop->events);
    EXPECT_EQ(writeVersion(player, *loop, 3, 3), Refill::Late); // region 3 is being read
    EXPECT_EQ(writeVersion(player, *loop, 4, 3), Refill::InTime);
    EXPECT_EQ(leftOf(loop->frame(300)), 1) << "the refused refill left region 3 alone";
    EXPECT_EQ(leftOf(loop->frame(200)), 0);
    EXPECT_EQ(leftOf(loop->frame(100)), 2);
    player.stop();
    EXPECT_EQ(writeVersion(player, *loop, 3, 4), Refill::InTime);
    // A region past the loop's last is an error, playing or not, and writes nothing.
    const unsigned char frame[4] = {1, 0, 1, 0}; // one frame of 1, 1
    EXPECT_EQ(player.refill(*loop, kRegionCount, frame, 1), Refill::NoSuchRegion);
    player.play(0);
    EXPECT_EQ(player.refill(*loop, kRegionCount, frame, 1), Refill::NoSuchRegion);
    EXPECT_EQ(leftOf(loop->frame(0)), 0);
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
    if (!test::AllocationCounter::available())
        GTEST_SKIP() << "operator new belongs to the sanitizer runtime here";
    auto loop = rampLoop(3);
    LoopPlayer player;
    player.setLoop(loop.get());
    std::int16_t out[2 * 100];
    {
        test::AllocationCounter live;
        auto probe = std::make_unique<int>(1);
        ASSERT_EQ(live.count(), 1) << "the counter sees allocations";
    }
    auto next = rampLoop(4);
    test::AllocationCounter counter;
    for (std::uint32_t rate : {44100u, 22050u, 88200u, 200000u}) {
        player.setRate(rate);
        player.play(2);
        for (int period = 0; period < 10; ++period)
            player.render(out, 100); // events, wraps, the pass limit, silence
    }
    player.play(0);
    for (int period = 0; period < 10; ++period)
        player.renderFollowing(out, 100, Follow{true, period * 0.7, 140});
    // A loop taking over at a pass's start.
    player.offerLoop(next.get());
    for (int period = 0; period < 10; ++period)
        player.render(out, 100);
    EXPECT_EQ(counter.count(), 0);
    EXPECT_EQ(player.playingLoop(), next.get());
}

// A loop offered while another plays takes over exactly where a pass of the old one ends, at
// the start of the new one, signalling the same events; once playingLoop() shows it, the old
// one is no longer read and is freed while playback goes on. Taken back before that, it never
// plays.
TEST(LoopPlayer, OfferedLoopTakesOverAtAPassStartAndTheOldOneCanBeFreed) {
    auto old = rampLoop(100); // left = 0 … 1599
    auto next = std::make_unique<LoopBuffer>(16 * 120, old->eventSet);
    for (std::uint32_t i = 0; i < next->frameCount; ++i)
        next->frames[i].store(packFrame(static_cast<std::int16_t>(20000 + i), 0));
    for (unsigned k = 0; k < kRegionCount; ++k)
        next->regionStarts[k] = k * 120;
    LoopPlayer player;
    player.setLoop(old.get());

    auto withdrawn = rampLoop(2);
    player.offerLoop(withdrawn.get());
    EXPECT_TRUE(player.withdrawLoop());
    EXPECT_FALSE(player.withdrawLoop()) << "nothing is left to take back";

    player.play(0);
    std::atomic<unsigned> periods{0};
    std::atomic<bool> done{false};
    std::vector<int> heard;
    std::thread audio([&] {
        std::int16_t out[2 * 64];
        while (!done.load()) {
            player.render(out, 64);
            for (unsigned i = 0; i < 64; ++i)
                heard.push_back(out[2 * i]);
            periods.fetch_add(1);
        }
    });
    while (periods.load() < 5)
        std::this_thread::yield();
    player.offerLoop(next.get());
    while (player.playingLoop() != next.get())
        std::this_thread::yield();
    const unsigned char frame[4] = {1, 0, 1, 0};
    EXPECT_EQ(player.refill(*old, 1, frame, 1), Refill::Replaced) << "the loop left is not read";
    EXPECT_EQ(leftOf(old->frame(100)), 100);
    old.reset();
    const unsigned switched = periods.load();
    while (periods.load() < switched + 80)
        std::this_thread::yield();
    done = true;
    audio.join();
    drainEvents(*next->eventSet);
    std::int16_t pass[2 * 1920];
    player.render(pass, 1920);
    EXPECT_EQ(drainEvents(*next->eventSet).size(), kRegionCount) << "the new loop's events";

    const auto first = std::find_if(heard.begin(), heard.end(), [](int v) { return v >= 20000; });
    ASSERT_NE(first, heard.end());
    EXPECT_EQ(*first, 20000);
    EXPECT_EQ(first[-1], 1599) << "the old loop's pass was cut short";
    for (auto it = first + 1; it != heard.end(); ++it)
        ASSERT_EQ(*it, it[-1] + 1 == 20000 + 1920 ? 20000 : it[-1] + 1)
            << "at " << it - heard.begin();
}

// Offers taken back while the audio thread takes them at every period: each is either taken
// back or playing once the GUI hears it was not, and one the player cannot take always comes back.
TEST(LoopPlayer, AnOfferIsTakenBackOrPlaysNeverLost) {
    auto current = rampLoop(1); // 16 frames: a pass starts in every period
    LoopPlayer player;
    player.setLoop(current.get());
    player.play(0);
    std::atomic<bool> done{false};
    std::atomic<unsigned> periods{0};
    std::thread audio([&] {
        std::int16_t out[2 * 16];
        while (!done.load(std::memory_order_relaxed)) {
            player.render(out, 16);
            periods.fetch_add(1, std::memory_order_relaxed);
        }
    });
    for (int round = 0; round < 200; ++round) {
        auto next = round % 4 == 1 ? std::make_unique<LoopBuffer>(0) : rampLoop(1 + round % 3);
        player.offerLoop(next.get());
        // Taken back at once, or after a whole period in which the audio thread could take it.
        const unsigned seen = periods.load(std::memory_order_relaxed);
        while (round % 2 == 1 && periods.load(std::memory_order_relaxed) < seen + 2)
            std::this_thread::yield();
        if (player.withdrawLoop())
            continue;
        ASSERT_NE(next->frameCount, 0u) << "round " << round;
        ASSERT_EQ(player.playingLoop(), next.get()) << "round " << round;
        current = std::move(next);
    }
    done = true;
    audio.join();
}

// An outside clock places and paces the loop (one bar of 4 beats): at 140 BPM on a 48000 Hz
// device, a relocation jumps, and a stopped clock is silence.
TEST(LoopPlayer, FollowingAClockPlaysWhereItsBeatsAreAtItsTempo) {
    auto loop = rampLoop(1000); // 16000 frames; its left channel is the frame's index
    LoopPlayer player;
    player.setLoop(loop.get());
    player.setDeviceRate(48000);
    player.play(0);
    const double beatsPerFrame = 140.0 / 60 / 48000;
    std::int16_t out[2 * 256];
    Follow follow{true, 1.3, 140};
    for (int period = 0; period < 200; ++period) {
        if (period == 120)
            follow.beats = 5.0; // relocated: back to a quarter into a bar
        ASSERT_EQ(player.renderFollowing(out, 256, follow), 256u);
        const double expected = std::fmod(follow.beats, 4.0) / 4 * 16000;
        const double drift = std::remainder(out[0] - expected, 16000.0);
        ASSERT_LT(std::fabs(drift), 1.5) << "period " << period; // samples are whole frames
        follow.beats += 256 * beatsPerFrame;
    }
    follow.rolling = false;
    EXPECT_EQ(player.renderFollowing(out, 256, follow), 0u);
    EXPECT_TRUE(player.isPlaying()) << "a stopped clock only holds playback";
    const PeriodTrace& trace = player.lastPeriod();
    EXPECT_EQ(trace.played, 0u);

    // A master may publish anything: figures that are not numbers, or beyond all reason, leave
    // the loop on its own clock, always inside the loop.
    const double nan = std::nan("");
    for (double beats : {nan, HUGE_VAL, -HUGE_VAL, 4.9e-324, 1e300, -1e300, 3.5})
        for (double bpm : {nan, HUGE_VAL, -HUGE_VAL, 4.9e-324, -140.0, 0.0, 1e300, 140.0})
            for (double seconds : {nan, HUGE_VAL, 1e300, -5.0, 0.0}) {
                ASSERT_EQ(player.renderFollowing(out, 256, Follow{true, beats, bpm, seconds}),
                          256u);
                ASSERT_LT(trace.start >> 32, 16000u) << beats << " " << bpm << " " << seconds;
            }
}

// A clock that runs periods without us (a server dropping periods) may jump the loop on over its
// end: that pass counts all the same, and playback ends after its passes; a jump back counts none.
TEST(LoopPlayer, AJumpOverTheLoopsEndCountsItsPass) {
    auto loop = rampLoop(1000); // 16000 frames
    LoopPlayer player;
    player.setLoop(loop.get());
    player.play(2);
    std::int16_t out[2 * 64];
    const double beatsPerPeriod = 64 * 4.0 / 16000; // at the loop's own tempo
    Follow follow{true, 0, 0};
    int periods = 0;
    for (; player.isPlaying() && periods < 1000; ++periods) {
        player.renderFollowing(out, 64, follow);
        // Past 3.9 beats, 40 periods are missed at once.
        follow.beats +=
            follow.beats > 3.9 && follow.beats < 4 ? 40 * beatsPerPeriod : beatsPerPeriod;
    }
    EXPECT_FALSE(player.isPlaying());
    EXPECT_NEAR(follow.beats, 8, 2 * beatsPerPeriod) << "after " << periods << " periods";

    // Back to beat 0 at beat 3.2, again and again: the transport never leaves bar 1.
    player.play(1);
    for (periods = 0; periods < 2000; ++periods)
        player.renderFollowing(out, 64, Follow{true, std::fmod(periods * beatsPerPeriod, 3.2), 0});
    EXPECT_TRUE(player.isPlaying()) << "a jump back ended the pass";
}

TEST(EventSet, ReportsInPlayingOrderResetsAndMerges) {
    EventSet events;
    EXPECT_EQ(waitForAny(events.handles(), EventSet::kCount, 0), kWaitTimeout);
    events.signal(9);
    events.signal(3);
    events.signal(3);
    events.signal(15);
    events.signal(5);
    EXPECT_EQ(waitForAny(events.handles(), EventSet::kCount, 0, -1, 10), 15) << "playing order";
    EXPECT_EQ(waitForAny(events.handles(), EventSet::kCount, 0, -1, 16), 3);
    EXPECT_EQ(drainEvents(events), (std::vector<int>{5, 9}));
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
