#!/usr/bin/env bash
# The Windows installer and the installed game in a real window, under Wine,
# on a virtual X server of its own:
#   - the installer, run with /S, puts the game in Program Files with a
#     Start-menu entry;
#   - the installed game opens full screen with the menu on the screen (a
#     screenshot of at least 50 colours) and ends with exit code 0 on Alt+F4,
#     with no sound device (it plays on in silence);
#   - started with --window it writes settings.ini to %APPDATA%\Snowbelter,
#     and the next start, without options, reads it back: a framed window;
#   - the uninstaller, run with /S, leaves nothing in Program Files and no
#     Start-menu entry.
# The Wine prefix is the caller's ($WINEPREFIX); its user's folder has a
# name in other letters than ASCII, so %APPDATA% has one too.
#   windows_install_test.sh SETUP.EXE
set -uo pipefail
source "$(dirname "$0")/test_lib.sh"
begin_on_private_display
setup=$1
program_folder="$WINEPREFIX/drive_c/Program Files/Snowbelter"
menu_folder="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Snowbelter"
settings="$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming)/Snowbelter/settings.ini"

wine "$setup" /S || fail "the installer ended with exit code $?"
[ -f "$program_folder/snowbelter.exe" ] || fail "no snowbelter.exe in Program Files"
[ -f "$program_folder/media/gfx.sbx" ] || fail "no media beside the installed game"
[ -f "$program_folder/licenses/LZO.txt" ] || fail "no licences beside the installed game"
ls "$menu_folder"/*.lnk >/dev/null 2>&1 || fail "no Start-menu entry"

# start_game WHAT [OPTION...]: the installed game, from its own folder.
start_game() {
  local what=$1
  shift
  # SDL's own choice of audio: Wine here has no sound device, and the game
  # must play on in silence.
  (cd "$program_folder" && unset SDL_AUDIODRIVER && exec wine ./snowbelter.exe "$@") \
    >"$tmp/$what.log" 2>&1 &
  game=$!
}

start_game first
if find_game_window; then
  sleep 3   # the menu fades in
  import -window root "$tmp/menu.png"
  colours=$(convert "$tmp/menu.png" -format %k info:)
  [ "$colours" -ge 50 ] || fail "the screen shows $colours colours, not the menu"
  width=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
  [ "$width" = 1280 ] || fail "the first start is not full screen (width $width)"
fi
close_with_alt_f4 "$game" "the first start"

start_game windowed --window
find_game_window && sleep 1
close_with_alt_f4 "$game" "the start with --window"
grep -q 'fullscreen *= *no' "$settings" 2>/dev/null ||
  fail "no settings.ini with fullscreen = no in %APPDATA%\\Snowbelter ($settings)"

start_game again
if find_game_window; then
  width=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
  [ "$width" -lt 1280 ] || fail "the saved window mode was not read back (width $width)"
fi
close_with_alt_f4 "$game" "the start after --window"

wine "$program_folder/Uninstall.exe" /S || fail "the uninstaller ended with exit code $?"
# The uninstaller copies itself away and finishes from there: wait for it.
wineserver -w
[ -e "$program_folder" ] && fail "Program Files still holds: $(ls -A "$program_folder" | tr '\n' ' ')"
[ -e "$menu_folder" ] && fail "the Start-menu entry is still there"
report_and_exit "windows_install: installer, menu ($colours colours), settings read back, uninstall: passed" \
  "$tmp/first.log" "$tmp/windowed.log" "$tmp/again.log"
