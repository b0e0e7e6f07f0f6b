#!/usr/bin/env bash
# Builds the game's two media archives from the sources in assets/:
#   mkart    -> every picture (PNG)        -> media/gfx.sbx with the effects
#               and the application icon: icon.png (64 x 64, for the window)
#               goes into gfx.sbx with the pictures; every size of the icon
#               theme goes to ICON_DIR/hicolor/SxS/apps/ for the install,
#               the browser page's two sizes to ICON_DIR/web/
#   mksound  -> effects and tunes (WAV); the tunes are encoded to MP3 by lame
#                                          -> media/sfx.sbx
#   the menu's demo, a replay script (replays/demo.replay) -> media/gfx.sbx
# Usage: build-media.sh MKART MKSOUND SBXPACK ASSETS_DIR WORK_DIR MEDIA_DIR ICON_DIR
set -euo pipefail
mkart=$1 mksound=$2 sbxpack=$3 assets=$4 work=$5 media=$6 icons=$7

# The icon theme is rebuilt whole, so no size the tool stopped making lingers.
rm -rf "$work" "$icons/hicolor" "$icons/web"
mkdir -p "$work/gfx" "$work/sound" "$work/music" "$media" "$icons"
"$mkart" "$work/gfx" "$assets/art" "$icons"
"$mksound" "$work/sound" "$assets/sound"
for tune in santa filler; do
  lame --quiet -b 128 "$work/sound/$tune.wav" "$work/music/$tune.mp3"
done
# The contact sheet is for review only; it stays in the work folder.
pictures=$(find "$work/gfx" -name '*.png' ! -name 'contact_sheet.png' | sort)
"$sbxpack" create "$media/gfx.sbx" $pictures \
  "$work/sound/jump.wav" "$work/sound/pickup05.wav" "$work/sound/drop06.wav" \
  "$assets/replays/demo.replay"
"$sbxpack" create "$media/sfx.sbx" "$work/music/santa.mp3" "$work/music/filler.mp3"
