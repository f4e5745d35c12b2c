#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The pattern player's VST3 build in a headless Ardour project (ardour_vst3.lua) at 44.1 kHz
# and 140 BPM, its loop and pattern 1 set in the saved project: four bars exported as float
# must equal brev-render's bar four times, sample for sample; saved, the pattern
# file changed on disk, reopened: the project still plays the pattern it kept. Skipped (77)
# without ardour7-lua, its VST3 scanner or the bundle (VST3_MODULE empty).
# Usage: ardour_vst3_test.sh BREV_RENDER VST3_MODULE (the .so inside the bundle)
set -uo pipefail
render=$1
bundle=$(realpath -e "${2%/Contents/*}" 2>/dev/null)
here=$(dirname "$(realpath "$0")")
# shellcheck source=tests/plugin/ardour_common.sh
. "$here/ardour_common.sh"
scanner=/usr/lib/ardour7/ardour-vst3-scanner
bpm=140

need_ardour
[ -x "$scanner" ] || { echo "no $scanner"; exit 77; }
[ -d "$bundle" ] || { echo "no VST3 bundle (none in a sanitizer build)"; exit 77; }

work=$(mktemp -d) || fail "mktemp"
trap 'rm -rf "$work"' EXIT
session=$work/session
chunk=$work/state.vstpreset

make_inputs "$work"
render_bar "$render" "$work" two $bpm

# Ardour's configuration (with the export preset) and plugin cache of our own.
export XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache VST3_PATH=${bundle%/*}
export BREV_SESSION=$session BREV_BPM=$bpm
BREV_EXPORT=$(float_export_preset)
export BREV_EXPORT
LD_LIBRARY_PATH=${scanner%/*} "$scanner" -q "$bundle" || fail "$scanner $bundle"
cache=$(grep -Fl "bundle=\"$bundle\"" "$XDG_CACHE_HOME"/ardour7/vst/*.v3i) || fail "no scan cache"
# The class id: Ardour finds the plugin by it, and a state names it.
uid=$(sed -n 's/.*<VST3Info uid="\([0-9A-F]\{32\}\)".*/\1/p' "$cache")
[ -n "$uid" ] || fail "no class id in $cache"
export BREV_PLUGIN=$uid

# Each try from the session as it was saved before.
before_try() {
  if [ "$1" = create ]; then
    rm -rf "$session"
  else
    cp "$work/saved.ardour" "$session/session.ardour"
  fi
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

run_stage "$here/ardour_vst3.lua" create "$work/run"
write_state loop "$work/loop.wav" pattern1 "$work/two.brev"
[ "$(grep -c '<chunk>' "$session/session.ardour")" = 1 ] || fail "not one <chunk> in the session"
sed -i "s|<chunk>[^<]*</chunk>|<chunk>$(base64 -w0 "$chunk")</chunk>|" "$session/session.ardour"
cp "$session/session.ardour" "$work/saved.ardour"
BREV_NAME=restored run_stage "$here/ardour_vst3.lua" export "$work/run"
cp "$session/session.ardour" "$work/saved.ardour"
printf '[Saved Pattern]\r\n' >"$work/two.brev"
BREV_NAME=reopened run_stage "$here/ardour_vst3.lua" export "$work/run"
status=0
for export in restored reopened; do
  echo "$export.wav:"
  result=$(compare_bars "$session/export/$export.wav" "$work"/two-$bpm.wav{,,,})
  echo "$result"
  [ "$(grep -cx 'bar [1-4]: equal' <<<"$result")" = 4 ] && ! grep -q '^the export' <<<"$result" ||
    status=1
done
exit $status
