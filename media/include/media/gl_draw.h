/*
 * gl_draw.h - the little of GL's fixed pipeline that 2D drawing uses, each
 * piece behind one call: the projection, the colour, the alpha test,
 * blending, 2D textures on two units with their wrap and filters, and
 * client-array quads, triangle fans and single points.
 *
 * The build picks one implementation.  gl_draw_desktop.cpp makes exactly
 * the GL 1.x calls the renderer has always made (Windows builds it too).
 * gl_draw_web.cpp draws on WebGL 2 with one shader program and one vertex
 * buffer; it holds its draws back until gl_draw_sync, which sends all their
 * vertices at once (a frame's, usually) and then makes them.  It keeps a
 * copy of the state it has set, so a call that changes nothing reaches
 * WebGL not at all, and what only draws read reaches it only before a draw.
 * For that copy to hold, every texture is made, bound, set up and deleted
 * here.
 *
 * Callers: the renderer (projection, colour, alpha test, blending, texture
 * binding and filters), quad_batch.h (quads, texture deletion), sprites.h
 * and grabs.h (textures, fans, points).  Not for: what both GLs do alike and
 * the copy does not track (the viewport, clears, scissors, framebuffers),
 * which callers make directly; nor uploads and read-backs, which are
 * gl_target.h's.
 */
#pragma once

#include <cstddef>
#include <cstdint>

// A corner of a quad: position x, y, z and texture coordinates u, v.
struct QuadVertex {
    float x, y, z, u, v;
};

// Sets up drawing on the context just made current; forgets all it knew of
// an earlier one.
void gl_draw_start();

// Makes the draws held back so far and gives GL the texture bindings last
// asked for: any GL call made elsewhere (a clear, a blit, a viewport, an
// upload or a read-back) comes after this, or it may overtake those draws.
// quad_batch.h's flush_quads calls it.
void gl_draw_sync();

// Switches off what the fixed pipeline has and 2D drawing never uses
// (depth, culling, dithering, lighting, fog, smoothing...).
void gl_draw_plain_state();

// Coordinates in pixels of a width x height view, y down, and no turn or
// scale on top.
void gl_draw_projection(int width, int height);

// The colour every texel is multiplied by (the fixed pipeline's modulate).
void gl_draw_colour(float red, float green, float blue, float alpha);

// The alpha test: when on, fragments whose alpha is not above `threshold`
// are dropped.
void gl_draw_alpha_test(bool on);
void gl_draw_alpha_threshold(float threshold);

// Blending with the source's alpha; `adds` picks (alpha, one) over
// (alpha, one minus alpha).
void gl_draw_blending(bool on);
void gl_draw_blend_adds(bool adds);
bool gl_draw_blending_on();

// Texture units: 0 or 1; the calls below act on the active one.  A second
// unit multiplies in its texture's texel at (0, 0), as GL's does with no
// coordinates of its own.
void gl_draw_active_unit(int unit);
void gl_draw_texturing(bool on);

// Texture names: made, bound on the active unit, and deleted.
uint32_t gl_draw_new_texture();
void gl_draw_bind_texture(uint32_t name);
void gl_draw_delete_texture(uint32_t name);

// The bound texture's wrap (repeat, or clamp to the edge) and filters
// (linear, or nearest).
void gl_draw_texture_wrap(bool repeat);
void gl_draw_texture_filter(bool linear);

// Draws `quads` quads of four corners each, in order.
void gl_draw_quads(const QuadVertex* vertices, std::size_t quads);

// Draws a triangle fan of four corners (x, y, u, v).
void gl_draw_fan(const float vertices[4][4]);

// Draws one point of one pixel at (x, y).
void gl_draw_point(float x, float y);
