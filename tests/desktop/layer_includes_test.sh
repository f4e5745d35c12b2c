#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Holds each layer to the table of HACKING.md, which the build cannot (every library exports the
# whole tree): prints each include of a layer it may not use, Qt counting as one. Outside a git
# checkout there is no list of tracked files, and the test is skipped.
# Usage: layer_includes_test.sh SOURCE_DIR
set -uo pipefail
cd "$1" && git rev-parse --is-inside-work-tree >/dev/null 2>&1 || {
  echo "not a git checkout: skipped"
  exit 77
}
offending=$(while read -r layer allowed; do
  git ls-files -z -- "$layer/*.cpp" "$layer/*.h" |
    xargs -0 grep -nE '^\s*#\s*include\s*[<"](Q|(base|audio|output|editor/[a-z]+|controls|tools|plugin)/)' |
    awk -v allowed=" $layer $allowed " '{
      match($0, /[<"](Q|editor\/[a-z]+|[a-z]+)/)
      used = substr($0, RSTART + 1, RLENGTH - 1)
      if (used == "Q") used = "Qt"
      if (index(allowed, " " used " ") == 0) print "may not include " used ": " $0
    }'
done <<'RULES'
base
audio base
output base audio
editor/core base audio
editor/session base audio output editor/core
controls Qt
editor/ui base audio output editor/core editor/session controls Qt
tools base audio output editor/core editor/session
plugin base audio editor/core
RULES
)
[ -z "$offending" ] || {
  echo "$offending" >&2
  echo "FAIL: $(wc -l <<<"$offending") includes cross the layers" >&2
  exit 1
}
echo "ok: every layer includes only the layers it may use"
