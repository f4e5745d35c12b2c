#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and checks the plugin's bundles there: the LV2
# description valid by the installed LV2 specifications, and the plugin found by a host's library
# with that folder searched.
# Usage: plugin_install_test.sh BUILD_DIR LIBDIR (relative to the prefix)
set -euo pipefail
build=$1
libdir=$2
uri=urn:brev-editor:pattern-player

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cmake --install "$build" --prefix "$stage" >/dev/null
lv2=$stage/$libdir/lv2
bundle=$lv2/brev_pattern_player.lv2
[ -f "$stage/$libdir/vst3/brev_pattern_player.vst3/Contents/$(uname -m)-linux/brev_pattern_player.so" ] ||
  fail "no VST3 module in $stage/$libdir/vst3"

# The validator does not know the MOD ontology, whose brand and label DPF writes; an error not
# about those two fails. Each message is a line at the margin and the indented lines after it.
report=$(lv2_validate "$bundle"/*.ttl 2>&1) || true
grep -q '^Found .* among [0-9]* files' <<<"$report" || fail "lv2_validate did not run: $report"
errors=$(awk '/^[^ \t]/ { n++ } { message[n] = message[n] $0 "\n" }
  END { for (i = 1; i <= n; i++)
          if (message[i] ~ /^error:/ && message[i] !~ /moddevices\.com\/ns\/mod#(brand|label)/)
            printf "%s", message[i] }' <<<"$report")
[ -z "$errors" ] || fail "lv2_validate: $errors"

# LV2_PATH replaces the default search list: the system's specifications stay in it.
export LV2_PATH=$lv2:/usr/lib/lv2
lv2ls | grep -qx "$uri" || fail "lv2ls does not list $uri"
info=$(lv2info "$uri" 2>&1) || fail "lv2info: $info"
! grep -qi 'error' <<<"$info" || fail "lv2info: $info"
grep -q "Name: *BREV Pattern Player$" <<<"$info" || fail "lv2info names no BREV Pattern Player"
binary=$(sed -n 's|^\s*Binary: *file://||p' <<<"$info")
[[ $binary == "$bundle"/* && -f $binary ]] || fail "lv2info finds no module in $bundle: $binary"
echo "plugin bundles installed and valid in $lv2"
