#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The pattern player's VST3 build in a headless Ardour project (ardour_vst3.lua) at 44.1 kHz
# and 140 BPM, its loop and pattern 1 set in the saved project: four bars exported as float
# must equal brev-render's bar four times, sample for sample (compare_bars); saved, the pattern
# file changed on disk, reopened: the project still plays the pattern it kept. Skipped (77)
# without ardour7-lua, its VST3 scanner or the bundle (VST3_MODULE empty).
# Usage: ardour_vst3_test.sh BREV_RENDER COMPARE_BARS VST3_MODULE (the .so inside the bundle)
set -uo pipefail
render=$1
compare=$2
bundle=$(realpath -e "${3%/Contents/*}" 2>/dev/null)
here=$(dirname "$(realpath "$0")")
scanner=/usr/lib/ardour7/ardour-vst3-scanner
bpm=140
tries=${BREV_ARDOUR_TRIES:-5}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

command -v ardour7-lua >/dev/null || { echo "ardour7-lua not found (Debian: ardour)"; exit 77; }
[ -x "$scanner" ] || { echo "no $scanner"; exit 77; }
[ -d "$bundle" ] || { echo "no VST3 bundle (none in a sanitizer build)"; exit 77; }

work=$(mktemp -d) || fail "mktemp"
trap 'rm -rf "$work"' EXIT
session=$work/session
chunk=$work/state.vstpreset

# A two-second loop whose every slot sounds different, and a pattern playing the slots
# backwards with one reversed; brev-render's bar of it four times over is what must sound.
sox -D -r 44100 -c 2 -n -b 16 "$work/loop.wav" synth 2 sine 200-2000 sine 300-3000 vol 0.5 ||
  fail "sox"
{
  printf '[Saved Pattern]\r\nReverse 5=1\r\n'
  for slot in $(seq 0 15); do printf 'Segment %d=%d\r\n' "$slot" $((15 - slot)); done
} >"$work/pattern.brev"
"$render" --pattern "$work/pattern.brev" --bpm $bpm "$work/loop.wav" "$work/bar.wav" ||
  fail "brev-render"

# Ardour's configuration and plugin cache of our own; an export preset for 32-bit float WAV in a
# format Ardour ships, so that the export holds the plugin's samples unchanged.
export XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache VST3_PATH=${bundle%/*}
export BREV_EXPORT=4f0e2a8c-6d1b-4b7e-9c3a-2e5d8f1a7b60 BREV_SESSION=$session BREV_BPM=$bpm
mkdir -p "$XDG_CONFIG_HOME/ardour7/export"
cat >"$XDG_CONFIG_HOME/ardour7/export/brev-float.preset" <<END
<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="$BREV_EXPORT" name="BREV float WAV">
  <ExportFormat id="20b4ab09-6452-4cb3-bd66-b921cdbd2942"/>
</ExportPreset>
END
LD_LIBRARY_PATH=${scanner%/*} "$scanner" -q "$bundle" || fail "$scanner $bundle"
cache=$(grep -Fl "bundle=\"$bundle\"" "$XDG_CACHE_HOME"/ardour7/vst/*.v3i) || fail "no scan cache"
# The class id: Ardour finds the plugin by it, and a state names it.
uid=$(sed -n 's/.*<VST3Info uid="\([0-9A-F]\{32\}\)".*/\1/p' "$cache")
[ -n "$uid" ] || fail "no class id in $cache"
export BREV_PLUGIN=$uid

# Runs a stage until it reports DONE, each time from the session as it was saved before: Ardour
# 7.3 crashes now and then whatever the plugin (see ardour_export.sh). A run takes 3 to 5 s.
run_stage() {
  local attempt log
  [ "$1" = create ] || cp "$session/session.ardour" "$work/saved.ardour"
  for attempt in $(seq "$tries"); do
    log=$work/$1-$attempt.log
    if [ "$1" = create ]; then
      rm -rf "$session"
    else
      cp "$work/saved.ardour" "$session/session.ardour"
    fi
    { BREV_STAGE=$1 timeout 60 ardour7-lua "$here/ardour_vst3.lua" </dev/null; } >"$log" 2>&1
    grep -qx "DONE $1" "$log" && return
    echo "$1, attempt $attempt failed:" >&2
    grep -v '^Ignored ' "$log" | tail -n 5 >&2
  done
  fail "$1: no success after $tries attempts"
}

# Prints N as a little-endian integer of BYTES bytes.
little_endian() {
  local i
  for ((i = 0; i < $2; i++)); do printf %b "\\0$(printf %o $((($1 >> (8 * i)) & 255)))"; done
}

# The plugin's state as a VST3 preset: the framework's component state (NUL-ended keys and
# values between its markers, 0xFE at the end) in a 'Comp' chunk.
write_state() {
  local size
  {
    printf '__dpf_state_begin__\0'
    printf '%s\0' "$@"
    printf '__dpf_state_end__\0\376\0'
  } >"$chunk.comp"
  size=$(stat -c %s "$chunk.comp")
  {
    printf VST3
    little_endian 1 4
    printf %s "$uid"
    little_endian $((48 + size)) 8
    cat "$chunk.comp"
    printf 'List'
    little_endian 1 4
    printf Comp
    little_endian 48 8
    little_endian "$size" 8
  } >"$chunk"
}

run_stage create
write_state loop "$work/loop.wav" pattern1 "$work/pattern.brev"
[ "$(grep -c '<chunk>' "$session/session.ardour")" = 1 ] || fail "not one <chunk> in the session"
sed -i "s|<chunk>[^<]*</chunk>|<chunk>$(base64 -w0 "$chunk")</chunk>|" "$session/session.ardour"
BREV_NAME=restored run_stage export
printf '[Saved Pattern]\r\n' >"$work/pattern.brev"
BREV_NAME=reopened run_stage export
status=0
for export in restored reopened; do
  echo "$export.wav:"
  "$compare" "$session/export/$export.wav" "$work/bar.wav" "$work/bar.wav" "$work/bar.wav" \
    "$work/bar.wav" || status=1
done
exit $status
