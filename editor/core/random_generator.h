// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace brev {

// Combined multiplicative congruential generator (two moduli) with a 32-entry
// Bays-Durham shuffle. Random(n) gives 0 ... n - 1.
class TRandomGenerator {
public:
    // Seeded from the negated millisecond tick count, so the first draw initialises.
    TRandomGenerator();
    // A seed word <= 0 initialises on the first draw; a positive one starts from the
    // zero-filled table and an output word of 0.
    explicit TRandomGenerator(std::int32_t seedWord);

    int Random(int n);

    // The 32-bit two's-complement negation of the steady clock's milliseconds.
    static std::int32_t tickSeed();

private:
    void initialise();

    std::int32_t seedWord_;
    std::int32_t secondWord_ = 123456789;
    std::int32_t outputWord_ = 0;
    std::array<std::int32_t, 32> table_{};
};

} // namespace brev
