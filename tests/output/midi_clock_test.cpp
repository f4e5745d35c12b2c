// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// MIDI clock as the JACK output reads it and sends it, without a server.
#include "output/midi_clock.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace brev {
namespace {

void send(MidiClockFollower& clock, std::initializer_list<unsigned char> message,
          std::uint64_t frame) {
    const std::vector<unsigned char> bytes(message);
    clock.receive(bytes.data(), bytes.size(), frame);
}

TEST(MidiClock, PulsesWithJitterGiveTheTempoAndSongPosition) {
    MidiClockFollower clock(48000);
    std::mt19937 random(5);
    std::uniform_int_distribution<int> jitter(-24, 24); // half a millisecond
    send(clock, {0xFA}, 0);
    EXPECT_FALSE(clock.at(0).rolling) << "Start waits for the first pulse";
    send(clock, {0xF8, 0x40, 0x7F}, 10);
    EXPECT_FALSE(clock.at(10).rolling) << "three bytes are no pulse";
    std::uint64_t frame = 0;
    for (int pulse = 0; pulse < 60; ++pulse) { // 100 BPM: a pulse every 1200 frames
        frame = 1000 + 1200 * std::uint64_t(pulse);
        send(clock, {0xF8}, frame + std::uint64_t(jitter(random) + 24));
    }
    EXPECT_NEAR(clock.bpm(), 100, 0.2);
    const Follow half = clock.at(frame + 24 + 600);
    EXPECT_TRUE(half.rolling);
    EXPECT_NEAR(half.beats, 59.5 / 24, 0.03);
    EXPECT_NEAR(clock.at(frame + 24 + 6000).beats, 64.0 / 24, 0.03) << "on at the tempo after it";

    send(clock, {0xFC}, frame + 1200);
    EXPECT_FALSE(clock.at(frame + 1300).rolling);
    send(clock, {0xF2, 16, 0}, frame + 1400); // the sixteenth note 16: beat 4
    send(clock, {0xFB}, frame + 1500);
    send(clock, {0xF8}, frame + 2400);
    EXPECT_NEAR(clock.at(frame + 2400).beats, 4.0, 1e-9);
    EXPECT_FALSE(clock.lost(frame + 2400 + 23999));
    EXPECT_TRUE(clock.lost(frame + 2400 + 24001)) << "half a second without a pulse";
}

// A loaded machine's server runs periods the output never hears, and their pulses are lost: the
// time between those heard says how many (but for what hid before the first interval heard).
TEST(MidiClock, PulsesLostWithPeriodsNotHeardAreCountedAllTheSame) {
    MidiClockFollower clock(48000);
    std::mt19937 random(3);
    send(clock, {0xFA}, 0);
    for (std::uint64_t frame = 0; frame < 200000; frame += 64) // 120 BPM: 1000 frames a pulse
        if (frame == 0 || std::bernoulli_distribution(0.4)(random)) {
            clock.period(frame, 64);
            if (const std::uint64_t pulse = (frame + 999) / 1000 * 1000; pulse < frame + 64)
                send(clock, {0xF8}, pulse);
        }
    EXPECT_NEAR(clock.bpm(), 120, 0.5);
    EXPECT_NEAR(clock.at(200000).beats, 200.0 / 24, 3.0 / 24);
}

TEST(MidiClock, SentAsStartPulsesAtEvery96thOfTheLoopAndStop) {
    MidiClockSender sender;
    std::vector<std::pair<unsigned, unsigned char>> sent;
    auto write = [&](unsigned offset, const unsigned char* bytes, std::size_t) {
        sent.emplace_back(offset, bytes[0]);
    };
    // A loop of 9600 frames read at 1.5 frames per device frame: a pulse every 66.67 frames.
    const std::uint64_t step = std::uint64_t{3} << 31;
    sender.period({0, step, 256, 9600}, 256, write);
    ASSERT_GE(sent.size(), 5u);
    EXPECT_EQ(sent[0], std::make_pair(0u, (unsigned char)0xFA));
    const std::vector<unsigned> pulses = {0, 67, 134, 200};
    for (std::size_t i = 0; i < pulses.size(); ++i)
        EXPECT_EQ(sent[i + 1], std::make_pair(pulses[i], (unsigned char)0xF8)) << i;
    sent.clear();
    sender.period({std::uint64_t(384) << 32, step, 100, 9600}, 256, write);
    EXPECT_EQ(sent.back(), std::make_pair(100u, (unsigned char)0xFC)) << "stopped after 100";
}

} // namespace
} // namespace brev
