#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Whole-process comparisons of brev-render with sox on 20-second files. CPU time (user + system)
# and page faults come from the kernel's accounting of each child; interleaved runs, medians:
# - a heavy pattern (volume, reverse, repeats 2, fades and deckstop on every slot) and the
#   default pattern, against sox doing a comparable volume + reverse + fade job on the same
#   16-bit 44.1 kHz file;
# - converting a 48 kHz 24-bit stereo file to 16-bit 44.1 kHz (brev-render with the default
#   pattern decodes, resamples, cuts, renders and writes) against sox's very high quality rate.
# Also: peak memory on a large file, and start-up on a tiny one.
# Usage: bench/render_vs_sox.sh [BUILD_DIR] [RUNS] [LARGE_MB (0 skips)]
set -euo pipefail
build=${1:-build}
runs=${2:-11}
large_mb=${3:-300}
render=$build/tools/brev-render
[ -x "$render" ] || { echo "build $render first" >&2; exit 1; }
command -v sox >/dev/null || { echo "sox is not installed (scripts/install-deps)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sox -R -n -r 44100 -c 2 -b 16 "$work/in.wav" synth 20 pinknoise vol 0.5
sox -R -n -r 48000 -c 2 -b 24 "$work/in48.wav" synth 20 pinknoise vol 0.5
sox -R -n -r 44100 -c 2 -b 16 "$work/tiny.wav" synth 0.01 sine 440
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

# shellcheck source=bench/child_usage.sh
source "$(dirname "$0")/child_usage.sh"

heavy_cpu=() heavy_faults=() default_cpu=() sox_cpu=() tiny_cpu=() true_cpu=() convert_cpu=()
sox_rate_cpu=()
for _ in $(seq "$runs"); do
  r=$(usage "$render" --pattern "$work/heavy.brev" "$work/in.wav" "$work/out-heavy.wav")
  heavy_cpu+=("$(field "$r" 1)") heavy_faults+=("$(field "$r" 2)")
  r=$(usage sox "$work/in.wav" "$work/out-sox.wav" vol 3dB reverse fade 0.01 -0 0.01)
  sox_cpu+=("$(field "$r" 1)")
  r=$(usage "$render" "$work/in.wav" "$work/out-default.wav")
  default_cpu+=("$(field "$r" 1)")
  r=$(usage "$render" "$work/tiny.wav" "$work/out-tiny.wav")
  tiny_cpu+=("$(field "$r" 1)")
  r=$(usage true)
  true_cpu+=("$(field "$r" 1)")
  r=$(usage "$render" "$work/in48.wav" "$work/out-convert.wav")
  convert_cpu+=("$(field "$r" 1)")
  r=$(usage sox "$work/in48.wav" -r 44100 -b 16 "$work/out-sox-rate.wav" rate -v)
  sox_rate_cpu+=("$(field "$r" 1)")
done

input_mib=$(awk -v b="$(stat -c %s "$work/in.wav")" 'BEGIN { print b / 1048576 }')
heavy=$(median "${heavy_cpu[@]}")
default=$(median "${default_cpu[@]}")
sox=$(median "${sox_cpu[@]}")
faults=$(median "${heavy_faults[@]}")
echo "CPU time, medians of $runs interleaved runs, 20 s loop ($input_mib MiB):"
echo "  brev-render heavy pattern:   $heavy ms"
echo "  brev-render default pattern: $default ms"
echo "  sox vol/reverse/fade:        $sox ms"
awk -v a="$heavy" -v b="$sox" 'BEGIN { printf "  ratio heavy / sox:   %.2f (target <= 0.33)\n", a / b }'
awk -v a="$default" -v b="$sox" 'BEGIN { printf "  ratio default / sox: %.2f (target <= 0.20)\n", a / b }'
awk -v f="$faults" -v m="$input_mib" \
  'BEGIN { printf "minor page faults per MiB of input, heavy pattern: %.0f (target <= 900)\n", f / m }'
echo "start-up CPU on a 10 ms file: $(median "${tiny_cpu[@]}") ms (target <= 1.5;" \
  "the machine starts /bin/true in $(median "${true_cpu[@]}") ms)"
convert=$(median "${convert_cpu[@]}")
sox_rate=$(median "${sox_rate_cpu[@]}")
echo "48 kHz 24-bit to 44.1 kHz 16-bit, 20 s: brev-render $convert ms CPU, sox $sox_rate ms CPU"
awk -v a="$convert" -v b="$sox_rate" \
  'BEGIN { printf "  ratio brev-render / sox: %.2f (target <= 1.00)\n", a / b }'

if [ "$large_mb" -gt 0 ]; then
  seconds=$((large_mb * 1048576 / 176400))
  sox -R -n -r 44100 -c 2 -b 16 "$work/large.wav" synth "$seconds" sine 440 vol 0.5
  rm -f "$work/in.wav" "$work/in48.wav" "$work"/out-*.wav
  bytes=$(stat -c %s "$work/large.wav")
  r=$(usage "$render" --pattern "$work/heavy.brev" "$work/large.wav" "$work/out-large.wav")
  awk -v kb="$(field "$r" 3)" -v b="$bytes" 'BEGIN {
    printf "peak memory, heavy pattern on a %.0f MB file: %.0f MB, %.2f x the file (target <= 2.5)\n",
      b / 1e6, kb * 1024 / 1e6, kb * 1024 / b }'
fi
