#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Every tracked source, script and build file says, near its top, under which licence it is
# shared and whose it is (the REUSE convention). Outside a git checkout there is no list of
# tracked files, and the test is skipped.
# Usage: licence_headers_test.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 1
git rev-parse --is-inside-work-tree >/dev/null 2>&1 || {
  echo "not a git checkout: skipped"
  exit 77
}

# C++, CMake, shell, desktop entry, XML and manual page sources, debian/rules, and every other
# tracked file that starts with #! (the scripts).
kinds=('*.cpp' '*.h' '*.sh' '*.cmake' '*CMakeLists.txt' '*.desktop' '*.xml' '*.qrc' '*.1'
  'debian/rules')
files=$( (
  git ls-files -- "${kinds[@]}"
  git ls-files | while IFS= read -r file; do
    [ -f "$file" ] && [ "$(head -c 2 "$file")" = '#!' ] && echo "$file"
  done
) | sort -u)

missing=0
while IFS= read -r file; do
  [ -n "$file" ] || continue
  top=$(head -n 10 "$file")
  case $top in
  *'SPDX-License-Identifier: GPL-3.0-or-later'*'SPDX-FileCopyrightText: '* | \
    *'SPDX-FileCopyrightText: '*'SPDX-License-Identifier: GPL-3.0-or-later'*) ;;
  *)
    echo "no SPDX licence and copyright lines in the first 10 lines of $file" >&2
    missing=$((missing + 1))
    ;;
  esac
done <<<"$files"
[ "$missing" -eq 0 ] || {
  echo "FAIL: $missing files without SPDX lines" >&2
  exit 1
}
echo "ok: $(wc -l <<<"$files") files carry SPDX lines"
