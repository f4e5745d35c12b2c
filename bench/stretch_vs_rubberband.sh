#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The CPU time of stretching a 2-second break from its own 120 BPM to 140 BPM: brev-render
# --bpm 140 against Rubber Band's own program with the same engine and settings
# (rubberband -3 --ignore-clipping -T RATIO) on the same file, and brev-render without --bpm, whose
# time taken from the first leaves the stretch alone. CPU time (user + system) of each child as
# the kernel accounted it; interleaved runs, medians.
# Usage: bench/stretch_vs_rubberband.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-9}
render=$build/tools/brev-render
[ -x "$render" ] || { echo "build $render first" >&2; exit 1; }
for tool in sox rubberband; do
  command -v $tool >/dev/null || { echo "$tool is not installed (scripts/install-deps test)" >&2; exit 1; }
done
# shellcheck source=bench/child_usage.sh
source "$(dirname "$0")/child_usage.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Eight noise hits over a low tone: 2 seconds, 88200 frames.
sox -R -n -r 44100 -c 2 -b 16 "$work/hit.wav" synth 0.25 pinknoise fade q 0.002 0.25 0.2 vol 0.5
sox -R -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 2 sine 55 vol 0.2
sox -R "$work/hit.wav" "$work/hits.wav" repeat 7
sox -R -m "$work/hits.wav" "$work/tone.wav" "$work/in.wav"
tempo=$(python3 -c 'print(repr(140 / (240 * 44100 / 88200)))')

ours=() theirs=() plain=()
for _ in $(seq "$runs"); do
  ours+=("$(field "$(usage "$render" --bpm 140 "$work/in.wav" "$work/ours.wav")" 1)")
  theirs+=("$(field "$(usage rubberband -3 -q --ignore-clipping -T "$tempo" "$work/in.wav" \
    "$work/theirs.wav")" 1)")
  plain+=("$(field "$(usage "$render" "$work/in.wav" "$work/plain.wav")" 1)")
done

ours_ms=$(median "${ours[@]}")
theirs_ms=$(median "${theirs[@]}")
plain_ms=$(median "${plain[@]}")
awk -v o="$ours_ms" -v t="$theirs_ms" -v p="$plain_ms" -v n="$runs" 'BEGIN {
  printf "2-second loop, 120 -> 140 BPM, medians of %d interleaved runs (CPU ms):\n", n
  printf "  brev-render --bpm 140            %8.1f\n", o
  printf "  brev-render (no stretch)         %8.1f\n", p
  printf "  the stretch alone (difference)   %8.1f\n", o - p
  printf "  rubberband -3 --ignore-clipping  %8.1f\n", t
  printf "  brev-render --bpm 140 / rubberband: %.2f\n", o / t
}'
