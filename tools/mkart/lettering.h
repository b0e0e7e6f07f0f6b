/*
 * lettering.h - every picture made of letters: the game's font strip and
 * the big festive lettering of the title and the end screen.
 *
 * All of it grows from the one set of glyphs in font.txt: the font strip
 * outlines them at their own size; the lettering scales them up, rounds
 * their corners, shades them, gives them depth and snow caps, and outlines
 * them.
 *
 * Callers: art_set.cpp.  Not for: drawing text in the game (the game's
 * text routine draws frames of the font strip).
 */
#pragma once

#include "art_source.h"
#include "strip.h"

// font.png: 9 x 11 cells, one a character in the order of glyphs.h: ASCII 32
// to 126 (frame = code - 32), then the letters beyond ASCII.
Strip build_font(const ArtSource& glyphs);

// snowbelter2.png (288 x 69): "Snowbelter".
Strip build_title(const ArtSource& glyphs);

// merry_christmas.png (232 x 55).
Strip build_merry_christmas(const ArtSource& glyphs);

// logo1.png to logo3.png: the greeting lines under it on the end screen.
// decorations: the parts of decorations.txt (holly and the like).
Strip build_logo1(const ArtSource& glyphs, const ArtSource& decorations);
Strip build_logo2(const ArtSource& glyphs, const ArtSource& decorations);
Strip build_logo3(const ArtSource& glyphs, const ArtSource& decorations);
