// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/random_generator.h"

#include <chrono>

namespace brev {

namespace {

constexpr std::int32_t m1 = 2147483563, a1 = 40014, q1 = 53668, r1 = 12211;
constexpr std::int32_t m2 = 2147483399, a2 = 40692, q2 = 52774, r2 = 3791;
constexpr std::int32_t tableDivisor = 67108862;
constexpr std::int32_t rangeCorrection = 2147483562;
constexpr double scale = 1.0 / 2147483563.0;
constexpr double largestFraction = 0.99999988079071044921875; // 1 - 2^-23

// Schrage's method: no intermediate leaves 32 bits.
inline void step(std::int32_t& x, std::int32_t m, std::int32_t a, std::int32_t q, std::int32_t r) {
    const std::int32_t k = x / q;
    x = a * (x - k * q) - r * k;
    if (x < 0)
        x += m;
}

inline std::int32_t negate32(std::int32_t v) {
    return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v));
}

} // namespace

TRandomGenerator::TRandomGenerator() : TRandomGenerator(tickSeed()) {}

TRandomGenerator::TRandomGenerator(std::int32_t seedWord) : seedWord_(seedWord) {}

std::int32_t TRandomGenerator::tickSeed() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count();
    return negate32(static_cast<std::int32_t>(static_cast<std::uint32_t>(ms)));
}

void TRandomGenerator::initialise() {
    const std::int32_t negated = negate32(seedWord_);
    seedWord_ = negated < 1 ? 1 : negated;
    secondWord_ = seedWord_;
    for (int j = 39; j >= 0; --j) {
        step(seedWord_, m1, a1, q1, r1);
        if (j < 32)
            table_[j] = seedWord_;
    }
    outputWord_ = table_[0];
}

int TRandomGenerator::Random(int n) {
    if (seedWord_ <= 0)
        initialise();
    step(seedWord_, m1, a1, q1, r1);
    step(secondWord_, m2, a2, q2, r2);
    const std::int32_t j = outputWord_ / tableDivisor;
    outputWord_ = table_[j] - secondWord_;
    table_[j] = seedWord_;
    if (outputWord_ < 1)
        outputWord_ += rangeCorrection;

    // The product is rounded once to the 64-bit mantissa, then again when stored as a double;
    // the final product with n stays extended and is truncated.
    const long double product = static_cast<long double>(outputWord_) * scale;
    double t = static_cast<double>(product);
    if (t > largestFraction)
        t = largestFraction;
    return static_cast<int>(static_cast<long double>(t) * static_cast<long double>(n));
}

} // namespace brev
