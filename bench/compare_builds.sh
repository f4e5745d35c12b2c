#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# One Google Benchmark program of two builds side by side: runs them interleaved, RUNS times
# each, and prints every benchmark's median CPU time and the ratio after / before.
# Usage: bench/compare_builds.sh BEFORE_PROGRAM AFTER_PROGRAM [FILTER] [RUNS]
# e.g. bench/compare_builds.sh ../old/build/bench/bench_ui_pattern_undo build/bench/bench_ui_pattern_undo
set -euo pipefail
before=$1
after=$2
filter=${3:-.}
runs=${4:-9}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for _ in $(seq "$runs"); do
  for side in before after; do
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "${!side}" --benchmark_filter="$filter" \
      --benchmark_format=json 2>/dev/null >>"$work/$side.json"
  done
done

python3 - "$work" <<'PY'
import json, statistics, sys
from collections import defaultdict

def medians(path):
    times, units = defaultdict(list), {}
    decoder = json.JSONDecoder()
    text = open(path).read()
    at = 0
    while at < len(text):
        while at < len(text) and text[at].isspace():
            at += 1
        if at == len(text):
            break
        run, at = decoder.raw_decode(text, at)
        for bench in run["benchmarks"]:
            times[bench["name"]].append(bench["cpu_time"])
            units[bench["name"]] = bench["time_unit"]
    return {name: statistics.median(t) for name, t in times.items()}, units

before, units = medians(sys.argv[1] + "/before.json")
after, _ = medians(sys.argv[1] + "/after.json")
for name, old in before.items():
    new = after.get(name, float("nan"))
    print(f"{name:40} before {old:12.2f} {units[name]}  after {new:12.2f} {units[name]}"
          f"  after/before {new / old:.2f}")
PY
