#!/usr/bin/env bash
# Whole-process comparison: brev-render applying a heavy pattern (volume, reverse, repeats 2,
# fades and deckstop on every slot) to a 20-second loop, against sox doing a comparable
# volume + reverse + fade job on the same file. Interleaved runs, medians, ratio printed.
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

now() { date +%s%N; }
render_times=()
sox_times=()
for _ in $(seq "$runs"); do
  start=$(now)
  "$render" --pattern "$work/heavy.brev" "$work/in.wav" "$work/out-render.wav"
  render_times+=($(($(now) - start)))
  start=$(now)
  sox "$work/in.wav" "$work/out-sox.wav" vol 3dB reverse fade 0.01 -0 0.01
  sox_times+=($(($(now) - start)))
done

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
render_ms=$(($(median "${render_times[@]}") / 1000000))
sox_ms=$(($(median "${sox_times[@]}") / 1000000))
echo "brev-render heavy pattern, 20 s loop: ${render_ms} ms (median of $runs)"
echo "sox vol/reverse/fade, same file:      ${sox_ms} ms (median of $runs)"
awk -v a="$render_ms" -v b="$sox_ms" 'BEGIN { printf "ratio brev-render / sox: %.2f (target <= 1.00)\n", a / b }'
