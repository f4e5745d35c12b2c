#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The pattern player's window in a real host, jalv.gtk3, on an X server of its own and a jackd of
# its own: it opens, shows the status the player reports (a loop that is no sound, from the
# restored state), answers a click on a pattern's number and on Keep pitch, and a click on the
# loop opens the host's file chooser. Leaves a picture of the window in the folder given.
# Usage: window_test.sh LV2_BUNDLE PICTURE_FOLDER. Skips (77) where a program it runs is missing.
set -uo pipefail
for program in xvfb-run jalv.gtk3 jackd jack_lsp xdotool scrot; do
  command -v "$program" >/dev/null || {
    echo "SKIP: $program is not installed"
    exit 77
  }
done
[ -n "${BREV_UNDER_X:-}" ] ||
  exec env BREV_UNDER_X=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
bundle=$1 pictures=$2

work=$(mktemp -d)
jackd_pid='' jalv_pid=''
cleanup() {
  [ -n "$jalv_pid" ] && kill -9 "$jalv_pid" 2>/dev/null
  if [ -n "$jackd_pid" ]; then # it frees its shared memory as it ends
    kill "$jackd_pid"
    await ended "$jackd_pid" || kill -9 "$jackd_pid"
  fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  grep -sv dconf "$work/jalv.log" >&2
  exit 1
}
ended() { ! kill -0 "$1" 2>/dev/null; }
# Runs the command until it succeeds, ten times a second, for at most ten seconds.
await() {
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

export JACK_DEFAULT_SERVER=brev-ui-$$ JACK_NO_START_SERVER=1 JACK_NO_AUDIO_RESERVATION=1
jackd -n "$JACK_DEFAULT_SERVER" --no-realtime -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
jackd_pid=$!
await jack_lsp >/dev/null 2>&1 || fail "jackd -d dummy did not start: $(cat "$work/jackd.log")"

# LV2_PATH replaces lilv's search list: a folder holding only our bundle, then the system's.
mkdir "$work/lv2" "$work/state"
ln -s "$(realpath "$bundle")" "$work/lv2/brev_pattern_player.lv2"
export LV2_PATH=$work/lv2:/usr/lib/lv2
echo "not a sound" >"$work/loop.wav"
cat >"$work/state/state.ttl" <<TTL
@prefix atom: <http://lv2plug.in/ns/ext/atom#> .
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix state: <http://lv2plug.in/ns/ext/state#> .
<> a pset:Preset ; lv2:appliesTo <urn:brev-editor:pattern-player> ;
  state:state [ <urn:brev-editor:pattern-player#loop> "$work/loop.wav"^^atom:Path ] .
TTL
jalv.gtk3 --no-menu -l "$work/state" urn:brev-editor:pattern-player >"$work/jalv.log" 2>&1 &
jalv_pid=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^BREV Pattern Player$' | head -n 1)
[ -n "$window" ] || fail "jalv showed no window"
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "${WIDTH}x$HEIGHT" = 480x360 ] || fail "the window is ${WIDTH}x$HEIGHT"

# The colours of a part of the window, a pixel a line: "red green blue".
pixels() {
  scrot -o -a "$((X + $1)),$((Y + $2)),$3,$4" "$work/part.ppm" &&
    tail -c $(($3 * $4 * 3)) "$work/part.ppm" | od -An -v -tu1 -w3
}
is_colour() {
  [ "$(pixels "$1" "$2" 1 1 | tr -s ' ')" = " $3" ]
}
status_shows_problem() { # the status line in orange
  pixels 12 318 456 36 | awk '$1 > 200 && $3 < 130 { found = 1 } END { exit !found }'
}
playing="46 96 160" background="30 32 36"

await status_shows_problem || fail "the status line shows no problem"
grep -q "BREV Pattern Player: .*$work/loop.wav" "$work/jalv.log" || fail "the player read no loop"
xdotool mousemove --window "$window" 24 140 click 1
await is_colour 300 140 "$playing" || fail "pattern 3 is not lit after a click on its number"
is_colour 300 88 "$playing" && fail "pattern 1 stays lit"
is_colour 26 300 "$playing" || fail "Keep pitch is not shown on"
xdotool mousemove --window "$window" 200 300 click 1
await is_colour 26 300 "$background" || fail "Keep pitch is not off after a click"
scrot -o -a "$X,$Y,480,360" "$pictures/plugin_window.png" || fail "no picture"

xdotool mousemove --window "$window" 240 56 click 1
chooser=$(timeout 10 xdotool search --sync --onlyvisible --name '^Choose file$' | head -n 1)
[ -n "$chooser" ] || fail "a click on the loop opened no file chooser"
xdotool windowfocus --sync "$chooser" key Escape
chooser_closed() { ! xdotool search --onlyvisible --name '^Choose file$' >/dev/null; }
await chooser_closed || fail "the file chooser stays open"

# As a user's Ctrl+C ends it (jalv.gtk3 reads no input).
kill -TERM "$jalv_pid"
await ended "$jalv_pid" || fail "jalv did not end"
wait "$jalv_pid" || fail "jalv ended with $?"
jalv_pid=
echo "ok"
