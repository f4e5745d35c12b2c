#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds an Ardour project headless around the pattern player (ardour_export.lua), its loop and
# patterns set through an LV2 preset written here, exports four bars as 32-bit float WAV and
# prints the file's path; with --reopen, then reopens the saved project in a second run, exports
# again and prints that file's path too. ardour7-lua 7.3 often crashes, with this plugin or a
# silent one alike (a create run: 7 of 12 passed with a silent one), so each run is judged by
# what it reported, and repeated when it failed (BREV_ARDOUR_TRIES times, 5).
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
tries=${BREV_ARDOUR_TRIES:-5}
here=$(dirname "$(realpath "$0")")
preset=brev-harness

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

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
printf '%s\n%s\n  rdfs:label "%s" ;\n  state:state [ %s ] .\n' "$prefixes" "$subject" "$preset" \
  "$properties" >"$bundle/preset.ttl"
export LV2_PATH=$work/presets:${LV2_PATH:-/usr/local/lib/lv2:/usr/lib/lv2}

# A configuration folder of our own, where Ardour also looks for export presets: one for 32-bit
# float WAV, in a format Ardour ships, so that the export holds the plugin's samples unchanged.
export XDG_CONFIG_HOME=$work/config
export_preset=0b6c1f52-3d8e-4c57-9a41-7e2f5d80b9c3
mkdir -p "$XDG_CONFIG_HOME/ardour7/export"
cat >"$XDG_CONFIG_HOME/ardour7/export/brev-float.preset" <<END
<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="$export_preset" name="BREV float WAV">
  <ExportFormat id="20b4ab09-6452-4cb3-bd66-b921cdbd2942"/>
  <ExportFilename>
    <Folder relative="1" path="export"/>
    <Field name="timespan" enabled="1"/>
  </ExportFilename>
</ExportPreset>
END

# Runs a stage until it reports DONE; each attempt's output stays in WORK_DIR/STAGE<n>.log.
run_stage() {
  local stage=$1 attempt log
  for attempt in $(seq "$tries"); do
    log=$work/$stage$attempt.log
    [ "$stage" = reopen ] || rm -rf "$session"
    # The braces take the shell's own word on an abort into the log.
    { BREV_STAGE=$stage BREV_SESSION=$session BREV_PRESET=$preset BREV_TEMPI=$tempi \
      BREV_EXPORT=$export_preset timeout 120 ardour7-lua "$here/ardour_export.lua" \
      </dev/null; } >"$log" 2>&1 || true
    grep -qx "DONE $stage" "$log" && return
    echo "$stage, attempt $attempt failed:" >&2
    grep -v 'Ignored format' "$log" | tail -n 5 >&2
  done
  fail "$stage: no success after $tries attempts; logs in $work"
}

session=$work/session
run_stage create
echo "$session/export/first.wav"
if $reopen; then
  run_stage reopen
  echo "$session/export/reopened.wav"
fi
