# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Sourced by the shell tests that run the editor program on an X server with the silent output:
# a fresh folder for its files and its environment, starting it, and stopping what the test
# started. Expects $editor, the program.

work=$(mktemp -d)
editor_pid=
# Other processes the test starts, stopped at the end too.
started_pids=()
cleanup() {
  for pid in "${started_pids[@]}" $editor_pid; do
    kill "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb
export BREV_AUDIO=null BREV_AUDIO_CAPTURE=$work/capture.wav
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
caption='^BREV Editor 1\.0\.0\.18$'

# Starts the editor with the given arguments and waits for its window: sets editor_pid and
# window.
start_editor() {
  "$editor" "$@" &
  editor_pid=$!
  window=$(timeout 10 xdotool search --sync --onlyvisible --name "$caption" | head -n 1)
  [ -n "$window" ] || fail "the editor showed no window"
}
