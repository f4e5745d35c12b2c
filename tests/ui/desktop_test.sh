#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The editor program as a user meets it, on an X server with the silent output: a second start
# ends at once without a window; a loop copied by another program is pasted and played; SIGTERM
# closes the editor like its close button, with the settings written and the capture complete.
# Run under xvfb-run.
set -uo pipefail
editor=$1
# shellcheck source=editor_under_x.sh
source "$(dirname "$0")/editor_under_x.sh"
settings=$XDG_CONFIG_HOME/brev-editor/settings.ini

start_editor

# A second start while the first runs.
started=$(date +%s%N)
timeout 5 "$editor"
status=$?
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
[ "$status" -eq 0 ] || fail "second instance exited with $status"
[ "$elapsed_ms" -lt 2000 ] || fail "second instance took $elapsed_ms ms"
windows=$(xdotool search --onlyvisible --name "$caption" | wc -l)
[ "$windows" -eq 1 ] || fail "$windows editor windows"
ls "$XDG_RUNTIME_DIR"/brev-editor/*.lock >/dev/null 2>&1 || fail "no lock in the private folder"

# A 0.8 s loop on the clipboard, pasted (first toolbar button) and played (sixth).
frames=35280
sox -n -r 44100 -c 2 -b 16 "$work/loop.wav" synth "${frames}s" sine 440 || fail "sox"
xclip -quiet -selection clipboard -t audio/wav -i "$work/loop.wav" 2>/dev/null &
started_pids+=($!)
for _ in $(seq 50); do
  targets=$(xclip -selection clipboard -t TARGETS -o 2>/dev/null)
  grep -q audio/wav <<<"$targets" && break
  sleep 0.1
done
xdotool mousemove --window "$window" 13 13 click 1
xdotool mousemove --window "$window" 133 13 click 1
# Until the silent output has played a whole pass (its capture grows as it plays).
for _ in $(seq 100); do
  [ "$(stat -c %s "$BREV_AUDIO_CAPTURE")" -gt $((44 + 4 * frames + 8192)) ] && break
  sleep 0.1
done

kill -TERM "$editor_pid"
wait "$editor_pid"
status=$?
editor_pid=
[ "$status" -eq 0 ] || fail "the editor exited with $status after SIGTERM"
[ -f "$settings" ] || fail "no settings file"
for key in 'Driver%20index=0' 'Fade%20samples=100' 'Loop=1' 'Background%20color=8421504'; do
  grep -q "^$key\$" "$settings" || fail "settings lack $key"
done
played=$((($(stat -c %s "$BREV_AUDIO_CAPTURE") - 44) / 4))
[ "$played" -gt "$frames" ] || fail "played $played frames, expected more than one pass of $frames"
header_bytes=$(od -An -tu4 -j40 -N4 "$BREV_AUDIO_CAPTURE" | tr -d ' ')
[ "$header_bytes" -eq $((4 * played)) ] || fail "the capture's header counts $header_bytes bytes"
[ -e "$XDG_RUNTIME_DIR"/brev-editor/*.lock ] && fail "the single-instance lock is still there"
echo "ok: played $played frames"
