#!/usr/bin/env bash
# Whole-process comparisons of brev-render with sox on 20-second files, in CPU time (user +
# system, as the kernel accounts it to each process), interleaved runs, medians, ratios:
# - a heavy pattern (volume, reverse, repeats 2, fades and deckstop on every slot) against sox
#   doing a comparable volume + reverse + fade job on the same 16-bit 44.1 kHz file;
# - converting a 48 kHz 24-bit stereo file to 16-bit 44.1 kHz (brev-render with the default
#   pattern decodes, resamples, cuts, renders and writes) against sox's very high quality rate.
# Usage: bench/render_vs_sox.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-11}
render=$build/tools/brev-render
[ -x "$render" ] || { echo "build $render first" >&2; exit 1; }
command -v sox >/dev/null || { echo "sox is not installed (scripts/install-deps)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sox -n -r 44100 -c 2 -b 16 "$work/in.wav" synth 20 pinknoise vol 0.5
sox -n -r 48000 -c 2 -b 24 "$work/in48.wav" synth 20 pinknoise vol 0.5
{
  echo "[Saved Pattern]"
  for slot in $(seq 0 15); do
    echo "Volume $slot=3"
    echo "Reverse $slot=1"
    echo "Repeats $slot=2"
    echo "Deckstop $slot=1"
    echo "Fade in $slot=1"
    echo "Fade out $slot=1"
  done
} >"$work/heavy.brev"

# CPU milliseconds of one run of the command.
cpu_ms() {
  local TIMEFORMAT='%3U %3S' spent
  spent=$({ time "$@" >/dev/null 2>&1; } 2>&1)
  awk -v t="$spent" 'BEGIN { split(t, f, " "); printf "%d\n", (f[1] + f[2]) * 1000 + 0.5 }'
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# compare LABEL "BREV-RENDER ARGS" "SOX ARGS": runs both interleaved and prints the medians.
compare() {
  local label=$1 render_times=() sox_times=()
  read -r -a render_args <<<"$2"
  read -r -a sox_args <<<"$3"
  for _ in $(seq "$runs"); do
    render_times+=("$(cpu_ms "$render" "${render_args[@]}")")
    sox_times+=("$(cpu_ms sox "${sox_args[@]}")")
  done
  local render_ms sox_ms
  render_ms=$(median "${render_times[@]}")
  sox_ms=$(median "${sox_times[@]}")
  echo "$label: brev-render ${render_ms} ms CPU, sox ${sox_ms} ms CPU (medians of $runs)"
  awk -v a="$render_ms" -v b="$sox_ms" \
    'BEGIN { printf "  ratio brev-render / sox: %.2f (target <= 1.00)\n", a / b }'
}

compare "heavy pattern, 20 s loop" \
  "--pattern $work/heavy.brev $work/in.wav $work/out-render.wav" \
  "$work/in.wav $work/out-sox.wav vol 3dB reverse fade 0.01 -0 0.01"
compare "48 kHz 24-bit to 44.1 kHz 16-bit, 20 s" \
  "$work/in48.wav $work/out-render.wav" \
  "$work/in48.wav -r 44100 -b 16 $work/out-sox.wav rate -v"
