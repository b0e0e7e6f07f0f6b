#!/usr/bin/env bash
# Language never touches the rules: a replay played in another language
# traces frame for frame what it traces in English.  The script's pictures
# are left out (their words are English); its state checks stay.
# Usage: language_replay_test.sh PATH_TO_SNOWREPLAY SCRIPT LANGUAGE
set -uo pipefail
runner=$(realpath "$1")
script=$(realpath "$2")
language="$3"
source "$(dirname "$0")/test_lib.sh"
begin_test
cd "$tmp" || exit 1

grep -v '^screenshot' "$script" > words.replay
LANGUAGE=en "$runner" words.replay en.csv > en.log 2>&1 || { cat en.log; die "the replay failed in English"; }
LANGUAGE="$language" "$runner" words.replay "$language.csv" > "$language.log" 2>&1 ||
  { cat "$language.log"; die "the replay failed in $language"; }
[ -s en.csv ] || die "no trace in English"
frames=$(wc -l < en.csv)
cmp -s en.csv "$language.csv" || {
  diff en.csv "$language.csv" | head -5
  die "the trace in $language differs from English's"
}
echo "$(basename "$script") traces the same $frames lines in $language as in English"
