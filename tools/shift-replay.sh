#!/usr/bin/env bash
# Prints a replay script's key lines and "at N expect" checks with every
# frame moved on by OFFSET; its comments, options, seed, screenshots, final
# checks and end line are left out.  For a run that plays a script's route
# again later in the same game (tests/same_rounds_test.sh, bench/long_run.sh).
#
#   tools/shift-replay.sh OFFSET [LAST] < SCRIPT
#
# LAST: only the lines whose first frame is at most LAST.
set -euo pipefail
offset=${1:?usage: shift-replay.sh OFFSET [LAST] < SCRIPT}
last=${2:--1}
grep -E '^(at )?[0-9]' | sed 's/#.*//' | awk -v d="$offset" -v last="$last" '
  { first = $1 == "at" ? $2 : $1; sub(/-.*/, "", first) }
  last >= 0 && first + 0 > last + 0 { next }
  $1 == "at" { $2 += d; print; next }
  { split($1, span, "-"); $1 = span[1] + d (span[2] == "" ? "" : "-" span[2] + d); print }'
