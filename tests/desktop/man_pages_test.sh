#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The manual pages format without a single warning from groff or man.
# Usage: man_pages_test.sh MAN_SOURCE_DIR
set -uo pipefail
failed=0
for page in "$1"/*.1; do
  for check in "groff -ww -z -man $page" "man --warnings -E UTF-8 -l $page"; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 $check 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
      echo "FAIL: $check warns:" >&2
      echo "$warnings" >&2
      failed=1
    fi
  done
done
exit $failed
