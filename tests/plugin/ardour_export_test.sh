#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The pattern player in Ardour, headless (ardour_export.sh): four bars at 44.1 kHz, pattern 1
# for bars 1 and 2, pattern 2 from bar 3 on, exported as float; the bars must equal
# brev-render's bar of their pattern at their tempo, sample for sample, and none may be silent.
#   patterns: 140 BPM throughout, every bar; the project saved and reopened exports the same.
#   tempo:    140 BPM, 120 from bar 3 on. Ardour tells the plugin the tempo of a block's first
#             frame, so bar 3, which starts inside a block, is only printed; bar 4 on must be
#             exact, as an export waits for the bars at the new tempo.
# Skipped (77) without ardour7-lua or the plugin's LV2 bundle (LV2_BUNDLE empty).
# Usage: ardour_export_test.sh patterns|tempo BREV_RENDER LV2_BUNDLE
set -uo pipefail
mode=$1
render=$2
bundle=$3
here=$(dirname "$(realpath "$0")")
# shellcheck source=tests/plugin/ardour_common.sh
. "$here/ardour_common.sh"

need_ardour
[ -f "$bundle/manifest.ttl" ] || { echo "no plugin bundle (none in a sanitizer build)"; exit 77; }
case $mode in
  patterns) tempi="140@1" second=140 reopen=--reopen exact="1 2 3 4" ;;
  tempo) tempi="140@1 120@3" second=120 reopen='' exact="1 2 4" ;;
  *) fail "mode is patterns or tempo, not $mode" ;;
esac

work=$(mktemp -d) || fail "mktemp"
trap 'rm -rf "$work"' EXIT

make_inputs "$work"
render_bar "$render" "$work" one 140
render_bar "$render" "$work" two 140
[ "$second" = 140 ] || render_bar "$render" "$work" two "$second"
cmp -s "$work/one-140.wav" "$work/two-140.wav" && fail "the patterns sound alike"
bars=("$work/one-140.wav" "$work/one-140.wav" "$work/two-$second.wav" "$work/two-$second.wav")

# The bundle alone: lilv would take the VST3 bundle beside it for an LV2 one and complain.
{ mkdir "$work/lv2" && ln -s "$bundle" "$work/lv2/"; } || fail "cannot link the bundle"
export LV2_PATH=$work/lv2:/usr/local/lib/lv2:/usr/lib/lv2
# shellcheck disable=SC2086 # reopen is one word or none
files=$("$here/ardour_export.sh" $reopen "$work/ardour" "$tempi" "$work/loop.wav" \
  "$work/one.brev" "$work/two.brev") || fail "the Ardour harness failed"
mapfile -t exports <<<"$files"
status=0
for export in "${exports[@]}"; do
  echo "$(basename "$export"), against pattern 1, 1, 2, 2 at $tempi:"
  result=$(compare_bars "$export" "${bars[@]}")
  echo "$result"
  for n in $exact; do
    grep -qx "bar $n: equal" <<<"$result" || status=1
  done
  # A silent bar, a bar cut short or frames after the last bar.
  grep -q -e silent -e '^the export' <<<"$result" && status=1
done
exit $status
