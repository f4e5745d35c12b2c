#!/usr/bin/env bash
# Whole-process CPU time of converting a 20-second 48 kHz 24-bit stereo loop to 16-bit stereo
# 44.1 kHz: brev-render (default pattern, so it decodes, resamples, cuts, renders and writes)
# against sox resampling at its very high quality. CPU time is user + system time as the
# kernel accounts it to each process (bash's time); interleaved runs, medians, ratio printed.
# Usage: bench/convert_vs_sox.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-11}
render=$build/tools/brev-render
[ -x "$render" ] || { echo "build $render first" >&2; exit 1; }
command -v sox >/dev/null || { echo "sox is not installed (scripts/install-deps)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sox -n -r 48000 -c 2 -b 24 "$work/in.wav" synth 20 pinknoise vol 0.5

# CPU milliseconds of one run of the command.
cpu_ms() {
  local TIMEFORMAT='%3U %3S' spent
  spent=$({ time "$@" >/dev/null 2>&1; } 2>&1)
  awk -v t="$spent" 'BEGIN { split(t, f, " "); printf "%d\n", (f[1] + f[2]) * 1000 + 0.5 }'
}

render_times=()
sox_times=()
for _ in $(seq "$runs"); do
  render_times+=("$(cpu_ms "$render" "$work/in.wav" "$work/out-render.wav")")
  sox_times+=("$(cpu_ms sox "$work/in.wav" -r 44100 -b 16 "$work/out-sox.wav" rate -v)")
done

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
render_ms=$(median "${render_times[@]}")
sox_ms=$(median "${sox_times[@]}")
echo "brev-render, 20 s 48 kHz 24-bit stereo to 44.1 kHz 16-bit: ${render_ms} ms CPU (median of $runs)"
echo "sox -r 44100 -b 16 rate -v, same file:                    ${sox_ms} ms CPU (median of $runs)"
awk -v a="$render_ms" -v b="$sox_ms" 'BEGIN { printf "ratio brev-render / sox: %.2f (target <= 1.00)\n", a / b }'
