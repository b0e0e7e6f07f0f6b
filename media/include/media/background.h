/*
 * background.h - the eight background layers: pictures of up to 8 x 8 tiles,
 * each a texture, that the game keeps to start its frames with.
 *
 * Owns the layers' tiles, their release, and putting a layer back into the
 * drawing picture by blits (each tile's texture gets a framebuffer to blit
 * from on first use).  Filling a layer (from the screen or a file) and
 * drawing one as textured fans are grabs.h's.
 *
 * Callers: the renderer (layer 0 at the start of every frame, release at
 * shut-down and when the screen is cleared), grabs.h (fills and draws
 * layers).  Not for: the sprite table (renderer.h).
 */
#pragma once

#include <cstdint>

enum : int {
    BACKGROUND_LAYERS = 8,
    BACKGROUND_GRID = 8,
};

struct BackgroundTile {
    uint32_t texture;
    int texture_width;
    int texture_height;
    int tile_width;
    int tile_height;
    uint32_t framebuffer;   // the texture as a picture to blit from; 0 until needed
};

struct BackgroundLayer {
    BackgroundTile tiles[BACKGROUND_GRID][BACKGROUND_GRID];   // [column][row]
    int columns;
    int rows;
};

// Layer 0..BACKGROUND_LAYERS - 1; all empty at the start.
BackgroundLayer& background_layer(int layer);

// Deletes every texture and framebuffer of the layer (GL's only while
// `gl_alive`, see quad_batch.h: delete_texture) and empties it.
void clear_background(int layer, bool gl_alive);

// Deletes the tile's framebuffer, if it has one (GL's only while `gl_alive`).
void forget_tile_framebuffer(BackgroundTile& tile, bool gl_alive);

// Puts the layer back as its texels are, its top-left at the viewport's
// (left, top: rows counted from the bottom of the drawing picture), cut to
// the viewport's width x height, then binds the drawing picture again; an
// empty layer or one out of range puts nothing.  What drawing the layer with
// blending off gives, by blits rather than draws.
void put_background(int layer, int left, int top, int width, int height);
