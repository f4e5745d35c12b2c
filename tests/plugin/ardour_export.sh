#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds an Ardour project headless around the pattern player (ardour_export.lua), its loop and
# patterns set through an LV2 preset written here, exports four bars as 32-bit float WAV and
# prints the file's path; with --reopen, then reopens the saved project in a second run, exports
# again and prints that file's path too. ardour7-lua 7.3 often crashes, with this plugin or a
# silent one alike, so each run is repeated until it reports (BREV_ARDOUR_TRIES times, 5).
# TEMPI is the tempo map: BPM@BAR ..., the first at bar 1 ("140@1 120@3").
# LV2_PATH must name the plugin's bundle folder; it replaces the default search list, so keep
# the system folders in it (the default here when it is unset).
# Usage: ardour_export.sh [--reopen] WORK_DIR TEMPI LOOP_FILE [PATTERN.brev ...]
set -euo pipefail
reopen=false
if [ "${1:-}" = --reopen ]; then
  reopen=true
  shift
fi
work=$1
tempi=$2
shift 2
here=$(dirname "$(realpath "$0")")
# shellcheck source=tests/plugin/ardour_common.sh
. "$here/ardour_common.sh"

# The state: the loop, then patterns 1, 2 ...
keys=(loop pattern1 pattern2 pattern3 pattern4 pattern5 pattern6 pattern7 pattern8)
if [ $# -lt 1 ] || [ $# -gt ${#keys[@]} ]; then
  fail "a loop and at most 8 patterns"
fi
properties=
for ((i = 0; i < $#; i++)); do
  file=$(realpath -e "${@:i+1:1}")
  case $file in
    *[\"\\]* | *$'\n'*) fail "this path cannot be written into a preset: $file" ;;
  esac
  properties+="${properties:+ ; }<urn:brev-editor:pattern-player#${keys[i]}> \"$file\"^^atom:Path"
done
# A folder of our own, made here: never one another user could have laid links in.
mkdir -m 700 "$work" || fail "$work must not exist yet"
work=$(realpath "$work") # Ardour takes no relative session folder
bundle=$work/presets/brev_harness.lv2
mkdir -p "$bundle"
prefixes='@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .
@prefix state: <http://lv2plug.in/ns/ext/state#> .
@prefix atom: <http://lv2plug.in/ns/ext/atom#> .'
subject='<urn:brev-editor:harness#preset> a pset:Preset ;
  lv2:appliesTo <urn:brev-editor:pattern-player> ;'
printf '%s\n%s\n  rdfs:seeAlso <preset.ttl> .\n' "$prefixes" "$subject" >"$bundle/manifest.ttl"
printf '%s\n%s\n  rdfs:label "brev-harness" ;\n  state:state [ %s ] .\n' "$prefixes" "$subject" \
  "$properties" >"$bundle/preset.ttl"
export LV2_PATH=$work/presets:${LV2_PATH:-/usr/local/lib/lv2:/usr/lib/lv2}

# A configuration folder of our own, for the export preset.
export XDG_CONFIG_HOME=$work/config BREV_SESSION=$work/session BREV_PRESET=brev-harness \
  BREV_TEMPI=$tempi
BREV_EXPORT=$(float_export_preset)
export BREV_EXPORT
before_try() {
  [ "$1" = reopen ] || rm -rf "$BREV_SESSION"
}

run_stage "$here/ardour_export.lua" create "$work/run"
echo "$BREV_SESSION/export/first.wav"
if $reopen; then
  run_stage "$here/ardour_export.lua" reopen "$work/run"
  echo "$BREV_SESSION/export/reopened.wav"
fi
