# shellcheck shell=bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What the headless Ardour checks of the pattern player share, sourced by them: the inputs, an
# export preset for float WAV, runs repeated until they report, and the bar-by-bar comparison.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Skips (77) the caller without Ardour's Lua tool.
need_ardour() {
  command -v ardour7-lua >/dev/null || { echo "ardour7-lua not found (Debian: ardour)"; exit 77; }
}

# In DIR: a two-second loop whose every slot sounds different, one.brev (a slot reversed) and
# two.brev (the slots backwards).
make_inputs() {
  sox -D -r 44100 -c 2 -n -b 16 "$1/loop.wav" synth 2 sine 200-2000 sine 300-3000 vol 0.5 ||
    fail "sox"
  local slot
  { printf '[Saved Pattern]\r\nReverse 5=1\r\n'
    for slot in $(seq 0 15); do printf 'Segment %d=%d\r\n' "$slot" "$slot"; done; } >"$1/one.brev"
  { printf '[Saved Pattern]\r\n'
    for slot in $(seq 0 15); do printf 'Segment %d=%d\r\n' "$slot" $((15 - slot)); done; } \
    >"$1/two.brev"
}

# The bar BREV_RENDER renders of DIR/PATTERN.brev at BPM, in DIR/PATTERN-BPM.wav.
render_bar() {
  "$1" --pattern "$2/$3.brev" --bpm "$4" "$2/loop.wav" "$2/$3-$4.wav" ||
    fail "brev-render --pattern $3.brev --bpm $4"
}

# An export preset for 32-bit float WAV (a format Ardour ships) in the configuration folder
# XDG_CONFIG_HOME, where Ardour also looks for them: the export holds the plugin's samples
# unchanged. Prints its id.
float_export_preset() {
  local id=0b6c1f52-3d8e-4c57-9a41-7e2f5d80b9c3
  mkdir -p "$XDG_CONFIG_HOME/ardour7/export"
  cat >"$XDG_CONFIG_HOME/ardour7/export/brev-float.preset" <<END
<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="$id" name="BREV float WAV">
  <ExportFormat id="20b4ab09-6452-4cb3-bd66-b921cdbd2942"/>
</ExportPreset>
END
  echo "$id"
}

# Runs SCRIPT's STAGE until it reports "DONE STAGE", each try's output in LOGS-STAGE<n>.log,
# calling before_try STAGE first: ardour7-lua 7.3 crashes now and then, with this plugin or one
# of Ardour's own (a third of the runs), so each run is judged by what it reported.
run_stage() {
  local script=$1 stage=$2 logs=$3 attempt log
  for attempt in $(seq "${BREV_ARDOUR_TRIES:-5}"); do
    log=$logs-$stage$attempt.log
    before_try "$stage"
    # The braces take the shell's own word on an abort into the log.
    { BREV_STAGE=$stage timeout 120 ardour7-lua "$script" </dev/null; } >"$log" 2>&1 || true
    grep -qx "DONE $stage" "$log" && return
    echo "$stage, attempt $attempt failed:" >&2
    grep -v '^Ignored ' "$log" | tail -n 5 >&2
  done
  fail "$stage: no success after ${BREV_ARDOUR_TRIES:-5} attempts; logs in ${logs%/*}"
}

# EXPORT, bar after bar, against the renders given for its bars, as 32-bit floats (sox reads
# 16-bit samples as the plugin turns them into floats: a sample / 32768). Prints for each bar
# "bar N: equal", where it first differs, or that it is silent; and whether the export is
# longer or shorter than the bars.
compare_bars() {
  local export=$1 start=0 n=0 frames difference bar byte
  shift
  for bar in "$@"; do
    n=$((n + 1))
    frames=$(soxi -V1 -s "$bar")
    if difference=$(cmp <(sox -V1 "$export" -t f32 - trim "${start}s" "${frames}s") \
      <(sox -V1 "$bar" -t f32 -) 2>&1); then
      echo "bar $n: equal"
    elif [[ $(sox -V1 "$export" -n trim "${start}s" "${frames}s" stat 2>&1) =~ \
      Maximum\ amplitude:\ *0\.0*$'\n' ]]; then
      echo "bar $n: silent"
    else
      byte=${difference##*byte }
      echo "bar $n: differs from frame $(((${byte%%,*} - 1) / 8)) of the bar on"
    fi
    start=$((start + frames))
  done
  frames=$(soxi -V1 -s "$export")
  [ "$frames" = "$start" ] || echo "the export holds $frames frames, the bars $start"
}
