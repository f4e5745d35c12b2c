#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Opening files from outside, as a file manager does: `brevedit FILE` starts with FILE loaded,
# and `brevedit FILE2` while it runs hands FILE2 to it, which then plays FILE2. What the silent
# output plays is compared with the files' samples. Run under xvfb-run.
set -uo pipefail
editor=$1
# shellcheck source=editor_under_x.sh
source "$(dirname "$0")/editor_under_x.sh"

# Two loops that sound different; the first named in Latin-1, not UTF-8; the second in another
# format, converted on loading, and in a folder whose name a path must carry whole.
mkdir "$work/other folder"
first=$work/$'lat\xe9.wav'
second="$work/other folder/second.flac"
sox -n -r 44100 -c 2 -b 16 "$first" synth 1 sine 440 sine 550 || fail "sox"
sox -n -r 44100 -c 2 -b 16 "$second" synth 1 sine 660 sine 770 || fail "sox"

# A stretch from the middle of a loop as the editor plays it (16-bit stereo 44.1 kHz), in hex.
signature() {
  sox "$1" -t raw -r 44100 -c 2 -b 16 -e signed - 2>/dev/null | od -An -v -tx1 -j 40000 -N 4096 |
    tr -d ' \n'
}
played() {
  local heard
  heard=$(od -An -v -tx1 "$BREV_AUDIO_CAPTURE" | tr -d ' \n')
  [ "$(grep -cF -- "$1" <<<"$heard")" -gt 0 ]
}
# Presses Play (the sixth toolbar button) until the capture holds the loop, for at most 10 s.
play_until_heard() {
  local wanted
  wanted=$(signature "$1")
  for _ in $(seq 10); do
    xdotool mousemove --window "$window" 133 13 click 1
    for _ in $(seq 20); do
      played "$wanted" && return 0
      sleep 0.1
    done
  done
  return 1
}

start_editor "$first"
play_until_heard "$first" || fail "the editor started with $first does not play it"

timeout 15 "$editor" "$second"
status=$?
[ "$status" -eq 0 ] || fail "the second start with a file exited with $status"
windows=$(xdotool search --onlyvisible --name "$caption" | wc -l)
[ "$windows" -eq 1 ] || fail "$windows editor windows"
play_until_heard "$second" || fail "the running editor did not load the handed-over $second"

socket=$(ls "$XDG_RUNTIME_DIR"/brev-editor/*.socket)
mode=$(stat -c %a "$socket")
[ "${mode: -2}" = 00 ] || fail "the socket $socket is not for its user alone"

kill -TERM "$editor_pid"
wait "$editor_pid"
status=$?
editor_pid=
[ "$status" -eq 0 ] || fail "the editor exited with $status after SIGTERM"
echo "ok: the file given at start and the file handed over both played"
