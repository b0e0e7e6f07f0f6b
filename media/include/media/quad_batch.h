/*
 * quad_batch.h - consecutive textured quads drawn as one GL draw.
 *
 * Owns the group of quads waiting to be drawn, the vertex array they wait
 * in, and what they share: the texture and whether the smoothing filters
 * were applied to it.  A quad with another texture or filter cannot join
 * the waiting group; its caller draws that group first, binds its own
 * texture and starts a new group (sprites.h: add_quads).  Everything else
 * that changes GL state or reads or writes the frame buffer or a texture
 * (alpha mode, colour, viewport, the bound picture, grabs, read-backs,
 * saves, texture uploads and deletions) calls flush_quads first, so what
 * reaches the picture is what drawing every quad on its own gives.  A
 * change of gl_draw.h's state alone (texture, colour, blending) needs only
 * end_quad_group: gl_draw.h keeps the order of its own calls and draws (the
 * browser's holds the draws back, to send their vertices at once).
 *
 * Callers: sprites.h and fonts.h add quads; renderer.h, background.h,
 * grabs.h, screen_picture.h and sprites.h flush; code reading pixels with
 * GL itself (tests) flushes first.  Not for: binding textures (renderer.h),
 * or triangle fans (stretched and turned sprites), which are drawn one by
 * one.
 */
#pragma once

#include <cstddef>
#include <cstdint>

#include "media/gl_draw.h"

enum class QuadFilters {
    smoothing,   // the filters follow the smoothing switch
    as_loaded    // the texture keeps the filters it has (fonts)
};

// What the quads of one group share: the texture, its filters, and the
// smoothing switch they were set from (with QuadFilters::smoothing).
struct QuadGroup {
    uint32_t texture;
    QuadFilters filters;
    bool smoothing;
};

// Room for `count` quads at the end of the waiting group, four vertices
// each in GL_QUADS order, for the caller to fill; null when they cannot
// join it (another texture or filter, or the group is full).
QuadVertex* join_quads(const QuadGroup& group, std::size_t count);

// Starts a group of `count` quads, for the caller to fill, after the waiting
// one is drawn.  The caller has bound the group's texture and set its
// filters.
QuadVertex* start_quads(const QuadGroup& group, std::size_t count);

// Hands the waiting group, if any, to gl_draw.h as one draw.
void end_quad_group();

// Draws the waiting group, if any, and everything gl_draw.h holds back:
// before GL calls of one's own.
void flush_quads();

// How many vertices the array has room for; it only grows (512 at least,
// then in steps of 128).
std::size_t quad_vertex_room();

// Deletes a texture, which waiting quads may use (they are drawn first),
// while `gl_alive` (the GL context it was made on still stands); lets go of
// what gl_target.h keeps of it either way, and sets name to 0.
void delete_texture(uint32_t& name, bool gl_alive);
