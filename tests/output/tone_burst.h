// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/twave.h"
#include "jack_test_server.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brev::test {

// 2 seconds at 44.1 kHz: 120.01 BPM by the editor's tempo table, 120 as one bar of 4 beats.
constexpr std::int32_t kLoopFrames = 88200;

// A loop of kLoopFrames that is silent but for a 1 kHz tone for its first 0.25 s.
BrevWave::TWave toneBurstLoop();

// Where the recorded sound rises out of at least 1000 frames of silence: the period's transport
// position or frame time (by place) plus the offset into it.
// samples, when given, gets their indexes into left().
std::vector<double> onsets(const JackTestClient& tester,
                           std::uint32_t JackTestClient::Period::*place,
                           std::vector<std::size_t>* samples = nullptr);

// The tone's frequency over 80 ms from just after an onset, from its first and last rising zero
// crossings (placed between samples), at the server's rate.
double toneFrequency(const std::vector<float>& left, std::size_t onset, double rate);

} // namespace brev::test
