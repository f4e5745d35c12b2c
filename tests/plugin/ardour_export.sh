#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds an Ardour project headless around the pattern player (ardour_export.lua), its loop set
# through an LV2 preset written here, and prints the two WAVs it exported: before the project
# was saved and, in a second run, after it was reopened. ardour7-lua 7.3 often aborts on its
# way out, so each run is judged by what it reported, and repeated when it failed.
# LV2_PATH must name the plugin's bundle folder; it replaces the default search list, so keep
# the system folders in it (the default here when it is unset).
# Usage: ardour_export.sh WORK_DIR LOOP_FILE [TRIES]
set -euo pipefail
work=$1
loop=$(realpath -e "$2")
tries=${3:-3}
here=$(dirname "$(realpath "$0")")
preset=brev-harness

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

case $loop in
  *[\"\\]* | *$'\n'*) fail "the loop path cannot be written into a preset: $loop" ;;
esac
# A folder of our own, made here: never one another user could have laid links in.
mkdir -m 700 "$work" || fail "$work must not exist yet"
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
printf '%s\n%s\n  rdfs:label "%s" ;\n  state:state [ <%s> "%s"^^atom:Path ] .\n' "$prefixes" \
  "$subject" "$preset" "urn:brev-editor:pattern-player#loop" "$loop" >"$bundle/preset.ttl"
export LV2_PATH=$work/presets:${LV2_PATH:-/usr/local/lib/lv2:/usr/lib/lv2}

# Runs a stage until it reports DONE; each attempt's output stays in WORK_DIR/STAGE<n>.log.
run_stage() {
  local stage=$1 attempt log
  for attempt in $(seq "$tries"); do
    log=$work/$stage$attempt.log
    [ "$stage" = reopen ] || rm -rf "$session"
    # The braces take the shell's own word on an abort into the log.
    { BREV_STAGE=$stage BREV_SESSION=$session BREV_PRESET=$preset \
      timeout 120 ardour7-lua "$here/ardour_export.lua" </dev/null; } >"$log" 2>&1 || true
    grep -qx "DONE $stage" "$log" && return
    echo "$stage, attempt $attempt failed:" >&2
    grep -v 'Ignored format' "$log" | tail -n 5 >&2
  done
  fail "$stage: no success after $tries attempts; logs in $work"
}

session=$work/session
run_stage create
run_stage reopen
echo "$session/export/first.wav"
echo "$session/export/reopened.wav"
