/*
 * sprites.h - sprites and animation strips: loading, the texture builder,
 * drawing and the pixel-exact collision test.
 *
 * A sprite is one GL texture in an entry of the renderer's sprite table
 * (renderer.h); a strip is a sprite whose entry also carries a frame size,
 * frames numbered row by row from the top-left.  Textures have power-of-two
 * sides (at least 4) and hold the image with its rows flipped, so v = 0 is
 * the image's bottom edge.
 *
 * Callers: the game (load, draw, collide), fonts.h and grabs.h (the texture
 * builder and the entry helpers).  Not for: decoding files (image.h), text
 * (fonts.h), screen grabs and backgrounds (grabs.h).
 *
 * Ids outside 0..65535 are ignored by every operation here (draws draw
 * nothing, queries answer as for an empty entry).
 */
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/image.h"
#include "media/quad_batch.h"
#include "media/renderer.h"

// Loading.  Status 0 on success, 3 when the name cannot be found or decoded
// (the entry then stays empty).  load_anim stores the frame size only after
// a successful load.
void load_sprite(const char* name, int id);
void load_anim(const char* name, int id, int frame_w, int frame_h);

// Drawing, top-left corner at (x, y).
void draw_sprite(int id, int x, int y);
void draw_anim(int id, int frame, int x, int y);
void stretch_sprite(int id, int x, int y, int w, int h);        // negative w or h mirrors
void zoom_sprite(int id, int x, int y, double sx, double sy);   // about the centre
void rotate_sprite(int id, int x, int y, double angle);         // degrees
void rotate_zoom_sprite(int id, int x, int y, double angle, double zoom);
void rotate_zoom_anim(int id, int frame, int x, int y, double angle, double zoom);
void stretch_anim(int id, int frame, int x, int y, int w, int h);

// 1 when an opaque (alpha not 0) pixel of frame fa of a at (xa, ya) covers
// an opaque pixel of frame fb of b at (xb, yb), else 0.  A sprite without a
// frame size takes part as a whole.
int anim_collision(int a, int fa, int xa, int ya, int b, int fb, int xb, int yb);
int sprite_collision(int a, int xa, int ya, int b, int xb, int yb);

// Image size; 0, 0 when nothing is loaded.
void get_sprite_size(int id, int* w, int* h);
// The lowest id 0..65503 with nothing loaded, or -1.
int find_free_sprite();

// ---- Helpers shared with fonts.h and grabs.h ----

// The entry of id, or null for an id outside the table (or no renderer).
SpriteEntry* sprite_entry(int id);

// Room for `count` quads of sprite id's texture in the waiting group (a new
// group, with the texture bound and its filters set, when they cannot join
// it; quad_batch.h), four vertices each in GL_QUADS order, for the caller to
// fill.
QuadVertex* add_quads(int id, QuadFilters filters, std::size_t count);

// Draws a triangle fan of four vertices (x, y, u, v) with the bound texture,
// its wrap set to GL_CLAMP_TO_EDGE.
void draw_clamped_fan(const float vertices[4][4]);

// The texture side for an image side: start at 2 and double at least once
// until not below size (so at least 4).
int texture_side(int size);

// The texels of a texture_w x texture_h texture holding the rectangle
// (x, y, w, h) of the image, rows flipped (the rectangle's top row in texture
// row h - 1), everything else transparent black.  edge_fill gives each
// transparent texel the average colour of its opaque inner neighbours.
std::vector<uint8_t> texture_texels(const DecodedImage& image, int x, int y, int w, int h,
                                    int texture_w, int texture_h, bool edge_fill);

// A texture built from a rectangle of an image.
struct BuiltTexture {
    uint32_t texture;   // 0: nothing built
    int texture_width;
    int texture_height;
    int width;   // the rectangle's size after clamping
    int height;
};

enum TextureKind {
    SPRITE_IMAGE,
    FONT_IMAGE
};

// Uploads the rectangle (x, y, w, h) of the image as a new GL texture
// (a w or h of 0 reaches to the image's right or bottom edge; sides are
// clamped to GL_MAX_TEXTURE_SIZE).  Font images get nearest filtering and no
// edge fill; sprite images linear filtering and edge fill.
BuiltTexture build_texture(const DecodedImage& image, int x, int y, int w, int h, TextureKind kind);

// Loads a media name into a sprite entry: reset, resolve, decode with the
// key, build.  Sets status 0 or 3 and returns whether the entry was filled.
bool load_image_into_sprite(const char* name, int id, int key, TextureKind kind);

// Builds a decoded image into sprite id's entry, which must be empty (reset);
// false when it has no texels or no GL texture could be made.
bool image_into_sprite(const DecodedImage& image, int id, TextureKind kind);

// Texture coordinates of one frame of a strip; false when the entry has no
// frame size.
struct FrameCoords {
    float u_left, u_right, v_bottom, v_top;
};
bool anim_frame_coords(const SpriteEntry& entry, int frame, FrameCoords* out);
