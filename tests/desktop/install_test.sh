#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a staging prefix and checks what a desktop needs from it: the programs
# in bin/, the help file in the documentation folder, the desktop entry, the AppStream metadata,
# the manual pages and the icon.
# Usage: install_test.sh BUILD_DIR STAGE_DIR WITH_PROGRAM(0|1) [LIBDIR: checks the plugin's too]
set -euo pipefail
build=$1
stage=$2
with_program=$3

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

rm -rf "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null

help="$stage/share/doc/brev-editor/brevedit.chm"
entry="$stage/share/applications/org.brev_editor.BrevEditor.desktop"
metainfo="$stage/share/metainfo/org.brev_editor.BrevEditor.metainfo.xml"
icon="$stage/share/icons/hicolor/scalable/apps/brev-editor.svg"

[ -s "$help" ] || fail "no help file at $help"
[ "$(head -c 4 "$help")" = ITSF ] || fail "$help is not a compiled help file"
if command -v chmls >/dev/null; then
  # Captured first: grep -q leaving early would end chmls by SIGPIPE, which pipefail reports.
  listing=$(chmls "$help") || fail "chmls cannot read $help"
  grep -q ' /index.html$' <<<"$listing" || fail "$help has no start page"
fi

pages="$stage/share/doc/brev-editor/html"
[ -s "$pages/index.html" ] || fail "no help pages in $pages"
for link in $(grep -oh 'href="[a-z_]*\.\(html\|css\)"' "$pages"/*.html | sort -u | cut -d'"' -f2); do
  [ -f "$pages/$link" ] || fail "the help pages link to $link, which is not installed"
done

[ -f "$entry" ] || fail "no desktop entry at $entry"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
grep -qx 'Exec=brevedit %f' "$entry" || fail "the entry does not start brevedit with a file"
grep -q '^MimeType=.*audio/x-wav;' "$entry" || fail "the entry names no audio types it opens"
grep -qx 'Icon=brev-editor' "$entry" || fail "the entry does not name the icon brev-editor"

[ -f "$metainfo" ] || fail "no AppStream metadata at $metainfo"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
for page in brevedit brev-render; do
  [ -s "$stage/share/man/man1/$page.1" ] || fail "no manual page $page(1)"
done

[ -s "$icon" ] || fail "no icon at $icon"
grep -q '<svg' "$icon" || fail "$icon is not an SVG image"

if [ "$with_program" = 1 ]; then
  program="$stage/bin/brevedit"
  [ -x "$program" ] || fail "no program at $program"
  [ -x "$stage/bin/brev-render" ] || fail "no brev-render in $stage/bin"

  # Started as the menu starts it: by name from PATH, no arguments. It must stay up until closed.
  home=$(mktemp -d)
  trap 'rm -rf "$home"' EXIT
  mkdir -m 700 "$home/run"
  status=0
  env -i PATH="$stage/bin:/usr/bin:/bin" HOME="$home" XDG_CONFIG_HOME="$home/config" \
    XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen BREV_AUDIO=null \
    timeout 3 brevedit >"$home/out" 2>&1 || status=$?
  if [ "$status" -ne 124 ]; then
    cat "$home/out" >&2
    fail "brevedit ended by itself with status $status"
  fi
fi
if [ -n "${4:-}" ]; then # the plugin; DPF writes mod:brand and mod:label, unknown to lv2_validate
  lv2=$stage/$4/lv2
  ! { lv2_validate "$lv2"/*/*.ttl 2>&1 || :; } | awk '/^[^ ]/ { print "" } { printf "%s ", $0 }' |
    grep '^error:' | grep -v '/mod#\(brand\|label\) ' || fail "lv2_validate finds errors in $lv2"
  [ -f "$(LV2_PATH=$lv2:/usr/lib/lv2 lv2info urn:brev-editor:pattern-player |
    sed -n "s|^\s*Binary: *file://\($lv2/\)|\1|p")" ] || fail "lilv finds no plugin module in $lv2"
fi
echo "installed layout complete in $stage"
