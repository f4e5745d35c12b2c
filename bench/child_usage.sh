# SPDX-FileCopyrightText: 2026 The BREV Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Helpers the whole-process benchmarks source.

# Runs a command (its output and messages discarded) and prints "cpu_ms minor_faults peak_rss_kb"
# as the kernel accounted them.
usage() {
  python3 -c '
import os, sys
pid = os.fork()
if pid == 0:
    fd = os.open(os.devnull, os.O_WRONLY)
    os.dup2(fd, 1)
    os.dup2(fd, 2)
    os.execvp(sys.argv[1], sys.argv[1:])
_, status, use = os.wait4(pid, 0)
if os.waitstatus_to_exitcode(status) != 0:
    sys.exit("failed: " + " ".join(sys.argv[1:]))
print(f"{(use.ru_utime + use.ru_stime) * 1000:.3f} {use.ru_minflt} {use.ru_maxrss}")
' "$@" </dev/null
}

median() { printf '%s\n' "$@" | sort -g | sed -n "$((($# + 1) / 2))p"; }
field() { echo "$1" | cut -d' ' -f"$2"; }
