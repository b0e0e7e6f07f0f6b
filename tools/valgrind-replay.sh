#!/usr/bin/env bash
# Plays one replay through the built game under valgrind's memcheck and
# reports the invalid reads and writes and the uses of uninitialised memory
# that happen in our code.
#
#   tools/valgrind-replay.sh [SCRIPT]
#
# SCRIPT defaults to tests/replays/redefine_keys.replay (menu, key screen and
# a round).  The runner is $SNOW_BUILD/snowreplay (default build/, made by
# tools/build.sh when missing; a sanitizer build cannot run under valgrind).
# Exit code 1 when memcheck found something in our code; its whole log stays
# in the output folder it names.  Leaks are LeakSanitizer's job (the
# sanitizer suite of tools/run-tests.sh), so memcheck does not look for them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
script=$(realpath "${1:-$root/tests/replays/redefine_keys.replay}")
build=${SNOW_BUILD:-$root/build}
"$root/tools/install-deps.sh" --valgrind
[ -x "$build/snowreplay" ] || "$root/tools/build.sh"
out=$(mktemp -d "${TMPDIR:-/tmp}/valgrind-replay.XXXXXX")
log="$out/memcheck.log"

echo "memcheck: $(basename "$script") (this takes minutes: Mesa draws in software)"
status=0
(cd "$out" && SDL_AUDIODRIVER=dummy valgrind --tool=memcheck --leak-check=no \
  --track-origins=yes --num-callers=40 --fullpath-after="$root/" --log-file="$log" \
  "$build/snowreplay" --output "$out" "$script" "$out/trace.csv" >"$out/replay.out" 2>&1) ||
  status=$?
[ "$status" -eq 0 ] || echo "the replay itself failed (exit code $status): see $out/replay.out"

# An error is ours when the code it happens in is ours: its first frame, or
# the frame that called a memory or string function memcheck replaces.
awk -v ours='[(](core|media|engine|game|tests|tools)/[^:]*:[0-9]+[)]' '
  function finish() {
    if (kind != "" && where ~ ours) { found++; print block }
    kind = ""; block = ""; where = ""; frames = 0
  }
  /== (Invalid (read|write|free)|Mismatched free|Conditional jump or move depends on uninitialised|Use of uninitialised value|Syscall param .* uninitialised)/ {
    finish(); kind = $0; block = $0; next
  }
  kind != "" && /== *$/ { finish(); next }
  kind != "" {
    block = block "\n" $0
    if ($0 ~ /(at|by) 0x/ && frames < 2) {
      frames++
      if (frames == 1 && $0 !~ /vgpreload|vg_replace/) frames = 2
      where = $0
    }
  }
  END { finish(); printf "memcheck: %d error(s) in our code\n", found; exit found > 0 }
' "$log" || status=1
echo "memcheck log: $log"
exit "$status"
