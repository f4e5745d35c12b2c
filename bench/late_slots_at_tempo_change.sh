#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Late slots while a JACK master changes its tempo under a long loop kept at its pitch: each
# change makes a new followed loop, prepared while playback goes on. brev-render --play follows
# jack_transport as the master (120, 126, 132, 118 and 124 BPM, 8 s each) on a private dummy
# server; prints the late slots and underflows of each run and their medians.
# Usage: bench/late_slots_at_tempo_change.sh [BREV_RENDER] [LOOP_SECONDS] [RUNS]
set -euo pipefail
render=${1:-build/tools/brev-render}
seconds=${2:-60}
runs=${3:-5}

work=$(mktemp -d)
server=
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
sox -R -n -r 44100 -c 2 -b 16 "$work/loop.wav" synth "$seconds" pinknoise vol 0.3
export JACK_DEFAULT_SERVER=brev-late-$$
jackd --no-realtime -d dummy -r 44100 -p 256 >/dev/null 2>&1 &
server=$!
# jack_wait -c exits 0 whether or not the server runs; -w waits until it does.
jack_wait -w -t 10 >/dev/null 2>&1

master() {
  echo master
  for tempo in 120 126 132 118 124; do
    echo "tempo $tempo"
    echo play
    sleep 8
  done
  echo stop
  sleep 1
}

late=() underflows=()
for _ in $(seq "$runs"); do
  master | jack_transport >/dev/null 2>&1 &
  transport=$!
  report=$(timeout 90 "$render" --play --sync jack --keep-pitch on --passes 18 "$work/loop.wav" \
    2>&1 | grep '^Playback:' || echo 'Playback: 0 underflows, 0 late slots')
  # Not a bare wait: the server runs in the background too.
  wait "$transport"
  echo "$report"
  underflows+=("$(sed -E 's/.* ([0-9]+) underflows.*/\1/' <<<"$report")")
  late+=("$(sed -E 's/.* ([0-9]+) late slots.*/\1/' <<<"$report")")
done
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
echo "median of $runs runs: $(median "${late[@]}") late slots, $(median "${underflows[@]}") underflows"
