#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Resident memory of the editor with a loop loaded, against the empty editor: the real program on
# an X server (run under xvfb-run), silent output, the loop opened through the Load button's file
# dialog, then played once. Prints the figures and the growth as multiples of the file's size.
# Usage: xvfb-run -a bench/editor_memory.sh [EDITOR] [SECONDS]
set -euo pipefail
editor=${1:-build/editor/ui/brevedit}
seconds=${2:-180}

work=$(mktemp -d)
editor_pid=
cleanup() {
  if [ -n "$editor_pid" ]; then
    kill "$editor_pid" 2>/dev/null
    wait "$editor_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb BREV_AUDIO=null
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
sox -R -n -r 44100 -c 2 -b 16 "$work/loop.wav" synth "$seconds" pinknoise vol 0.5

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$editor_pid/status"; }
# Resident memory once it has stopped changing.
settled_rss_kb() {
  local last=-1 now
  for _ in $(seq 50); do
    sleep 0.3
    now=$(rss_kb)
    [ "$now" = "$last" ] && break
    last=$now
  done
  echo "$now"
}

"$editor" &
editor_pid=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^BREV Editor' | head -n 1)
[ -n "$window" ] || { echo "the editor showed no window" >&2; exit 1; }

# Opens the Load button's file dialog, types keys into it and waits until it has closed.
through_dialog() {
  xdotool mousemove --window "$window" 61 13 click 1
  local dialog
  dialog=$(timeout 10 xdotool search --sync --onlyvisible --name 'Open|Load' | grep -v "^$window\$" | head -n 1)
  [ -n "$dialog" ] || { echo "no file dialog" >&2; exit 1; }
  sleep 0.5
  "$@" "$dialog"
  timeout 20 bash -c "while xdotool search --onlyvisible --name 'Open|Load' | grep -qv '^$window\$'; do sleep 0.2; done" ||
    { echo "the file dialog stayed open" >&2; exit 1; }
}
cancel() { xdotool key Escape; }
open_loop() {
  xdotool type --delay 5 "$work/loop.wav"
  xdotool key Return
}

# The empty editor has shown its dialog once, so the dialog's own memory is not counted as the loop's.
through_dialog cancel
empty=$(settled_rss_kb)
through_dialog open_loop
loaded=$(settled_rss_kb)
# Play (sixth button) renders every slot; stop (seventh) after a moment.
sleep 0.5
xdotool mousemove --window "$window" 133 13 sleep 0.2 click 1 sleep 0.5 click 1
sleep 2
xdotool mousemove --window "$window" 157 13 sleep 0.2 click 1
played=$(settled_rss_kb)

bytes=$(stat -c %s "$work/loop.wav")
awk -v e="$empty" -v l="$loaded" -v p="$played" -v b="$bytes" -v s="$seconds" 'BEGIN {
  printf "editor resident memory: empty %.1f MB; with a %d s loop (%.1f MB) loaded %.1f MB,",
    e * 1024 / 1e6, s, b / 1e6, l * 1024 / 1e6
  printf " after playing it %.1f MB\n", p * 1024 / 1e6
  printf "growth: loaded %.2f x the file (target <= 3), played %.2f x\n",
    (l - e) * 1024 / b, (p - e) * 1024 / b }'
