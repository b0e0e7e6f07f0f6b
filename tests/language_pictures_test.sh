#!/usr/bin/env bash
# The menu and the story drawn in one language, to the pixel, against the
# reference pictures of that language (tests/reference/menu_de.png, ...).
# Usage: language_pictures_test.sh PATH_TO_SNOWREPLAY SCRIPT LANGUAGE OUTPUT
# A picture that differs is left in OUTPUT with its difference.
set -uo pipefail
runner=$(realpath "$1")
script=$(realpath "$2")
language="$3"
out="$4"
mkdir -p "$out"
sed "s/^\(screenshot [0-9]* [a-z_]*\)\.png/\1_$language.png/" "$script" > "$out/pictures.replay"
cd "$out" || exit 1
LANGUAGE="$language" "$runner" --output "$out" pictures.replay "$out/trace.csv"
