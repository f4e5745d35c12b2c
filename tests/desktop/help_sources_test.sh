#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Every page and style sheet of the help is compiled in, and every link between them leads
# somewhere: a page or anchor that does not exist would show as an error in the help viewer.
# Usage: help_sources_test.sh DOCS_HELP_DIR
set -euo pipefail
cd "$1"

failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

listed=$(sed -n '/^\[FILES\]/,/^\[/p' brevedit.hhp | grep -v '^\[' | grep -v '^$')
for file in $listed; do
  [ -f "$file" ] || fail "brevedit.hhp lists $file, which does not exist"
done
for file in *.html *.css; do
  grep -qx "$file" <<<"$listed" || fail "$file is not listed in brevedit.hhp"
done

for source in *.html *.hhc *.hhk; do
  for link in $(grep -oiE '(href|value)="[^"]*\.html(#[^"]*)?"' "$source" | sed -E 's/^[^"]*"//; s/"$//'); do
    page=${link%%#*}
    [ -f "$page" ] || {
      fail "$source links to missing $page"
      continue
    }
    if [ "$page" != "$link" ]; then
      grep -q "id=\"${link#*#}\"" "$page" || fail "$source links to missing anchor $link"
    fi
  done
done
exit $failed
