/*
 * draw.h - what every game screen's drawing shares: the size it draws at,
 * text in the game's bitmap font, the end of a frame, and the way out of
 * every screen at once.
 *
 * Callers: the menu, the key screen, the story screen, the round and the end
 * screen.  Not for: the runtime's own font printing (media/fonts.h), which
 * the game does not use.
 */
#pragma once

#include "core/values.h"
#include "game/play/glyphs.h"

// Every screen draws at this size; the desktop shows it doubled.
constexpr int VIRTUAL_WIDTH = 320;
constexpr int VIRTUAL_HEIGHT = 240;

// Draws UTF-8 text in ANIM_FONT with its first cell's top-left corner at
// (x, y): each character's frame as text_frames gives it, character i at
// x + 7 * i, and narrow or wide letters shift every later letter.  A
// character the font lacks (invalid UTF-8 among them) draws as '?', and the
// log says so once for each such character.  No wrapping, no clipping.
void draw_text(double x, double y, const StringValue& text);

// Ends the frame: on the desktop grabs the 320 x 240 picture and draws it
// doubled and pixel-sharp over the whole screen; then show_screen.
void finish_frame();

// A watched replay's way out: while asked, every screen's loop returns
// before its next frame, so the screens unwind to the watch (watch.h),
// which then takes the request back.
void close_all_screens(bool closing);
bool screens_closing();
