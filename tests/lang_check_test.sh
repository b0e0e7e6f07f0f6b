#!/usr/bin/env bash
# The build's check of the language tables (langcheck) passes the real
# tables and refuses a broken copy of them: a text left out, a placeholder
# renamed, a line too wide for its room, a story too long for its screen, a
# letter the font lacks; each fault once, each named in the check's words.
#   lang_check_test.sh LANGCHECK TABLES_FOLDER
set -euo pipefail
langcheck="$1"
tables="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

fresh() { cp "$tables"/*.txt "$scratch/"; }
check() { "$langcheck" "$scratch/en.txt" "$scratch/de.txt" "$scratch/pl.txt"; }

# expect_refused WHAT MESSAGE: the check fails and says MESSAGE.
expect_refused() {
  local out
  if out="$(check)"; then
    echo "FAIL: langcheck passed $1"
    exit 1
  fi
  if ! grep -qF -- "$2" <<<"$out"; then
    echo "FAIL: $1: expected \"$2\" from langcheck, got: $out"
    exit 1
  fi
  echo "ok: $1 refused: $out"
}

fresh
others=()
for table in "$scratch"/*.txt; do [ "$table" = "$scratch/en.txt" ] || others+=("$table"); done
if ! out="$("$langcheck" "$scratch/en.txt" "${others[@]}")"; then
  echo "FAIL: the real tables were refused: $out"
  exit 1
fi
echo "ok: the real tables pass (${#others[@]} beside English)"

fresh
sed -i '/^menu.exit = /d' "$scratch/de.txt"
expect_refused "a missing text" "de.txt: menu.exit is missing"

fresh
sed -i 's/^story.start = Naciśnij {key}/story.start = Naciśnij {klawisz}/' "$scratch/pl.txt"
expect_refused "a renamed placeholder" "pl.txt: story.start: its placeholders differ from English's"

fresh
sed -i 's/^keys.jump = SPRINGEN$/keys.jump = HOCHSPRINGEN/' "$scratch/de.txt"
expect_refused "a line too wide" "de.txt: keys.jump: \"HOCHSPRINGEN\" is 80 pixels wide; its room is 63"

fresh
sed -i 's/^\(story.4 = .*\)$/\1|und noch eine Zeile|und noch eine/' "$scratch/de.txt"
expect_refused "a story too long" "de.txt: the story's last line starts at y 231, below 212"

fresh
sed -i 's/^options.language = Język$/options.language = Język ♥/' "$scratch/pl.txt"
expect_refused "a letter the font lacks" "pl.txt: options.language: the font has no \"♥\""
