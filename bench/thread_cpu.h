// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <benchmark/benchmark.h>
#include <ctime>

namespace brev::bench {

// The calling thread's CPU time: waits and other threads' work do not count.
inline double threadCpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// CPU time per iteration since start, as a percentage of budgetSeconds.
inline double shareOf(benchmark::State& state, double start, double budgetSeconds) {
    double perIteration = (threadCpuSeconds() - start) / double(state.iterations());
    return 100 * perIteration / budgetSeconds;
}

} // namespace brev::bench
