/*
 * fonts.h - bitmap fonts and fixed-pitch text.
 *
 * Owns the 32 font slots (slot n is sprite 65504 + n of the renderer's
 * table), the current font, the built-in font (128 x 64 pixels, 8 x 8 cells,
 * codes 0 to 127, our own 5 x 6 glyphs in white with a near-black outline)
 * and the text printer.  A font image is a grid of 16 columns; an image
 * narrower than tall has 16 rows (codes 0 to 255), otherwise 8 (0 to 127).
 *
 * Callers: the runtime's start-up (load_startup_font) and its own messages;
 * the game draws its text with its own strip and never calls these.
 * Not for: sprite drawing (sprites.h).
 */
#pragma once

#include <cstddef>

#include "core/values.h"
#include "media/image.h"

enum : int {
    FONT_SLOTS = 32
};

// Makes the slot (clamped to 0..31) current and loads the image into it with
// the font transparent colour and nearest filtering.  Status 0, or 3 with the
// built-in font in the slot when the name cannot be found or decoded (an
// empty name always gives the built-in font).
void load_font(const char* name, int slot);
void set_font(int slot);
int current_font();

// Prints every byte of the text (none starts a new line) with the current
// font, the first cell's top-left corner at (ceil(x), ceil(y)).
void print_text(const char* text, std::size_t length, double x, double y);
void print_text(const StringValue& text, double x, double y);
// The number as the runtime's number-to-text conversion writes it.
void print_number(double number, double x, double y);

// Cell width and height of the current font.
void get_font_size(int* cell_width, int* cell_height);

// Start-up: slot 0 gets the built-in font, then "smalfont.png" or else
// "smalfont.bmp" when the general archive has one; font 0 becomes current.
void load_startup_font();

// The built-in font's image (RGBA, rows top first).
DecodedImage builtin_font_image();
