/*
 * grabs.h - screen grabs, filling and drawing background layers, image
 * saving and single pixels.
 *
 * Owns copying the drawing picture into background layer 0 (which every
 * frame then starts with) or into a sprite, drawing and loading background
 * layers, saving the last presented frame or a sprite as a BMP or PNG file,
 * and reading or drawing one pixel.  The layers themselves, their release
 * and putting one back at a frame's start are background.h's.
 *
 * Callers: the game (use_as_background, grab_sprite, save_screen).  Not for:
 * decoding files (image.h) or sprite draws (sprites.h).
 */
#pragma once

// Copies the whole drawing picture into background layer 0.
void use_as_background();
// Draws the layer at the top-left of the screen; an empty layer draws nothing.
void draw_background(int layer);
// Loads an image (no colour key) into layer 0 and draws it; status 3, layer 0
// cleared and the colour buffer cleared when it cannot be loaded.
void load_background(const char* name);

// Copies the screen rectangle (x, y, w, h), y from the top, into sprite id
// as a plain sprite; pixels of the sprite transparent colour become
// transparent when the picture has no alpha of its own.
void grab_sprite(int id, int x, int y, int w, int h);

// Write the last presented frame, or a sprite's image, as a PNG when the name
// ends in ".png" (any case), else as a 24-bit BMP.  Status 0, or 3 when the
// file cannot be written.
void save_screen(const char* name);
void save_sprite(const char* name, int id);

// The colour red + 256 * green + 65536 * blue of a drawing-picture pixel.
int get_pixel(int x, int y);
// Draws one point in a colour (alpha 0 for the sprite transparent colour).
void set_pixel(int x, int y, int colour);
