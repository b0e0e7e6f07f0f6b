/*
 * quad_batch.h - consecutive textured quads drawn as one GL draw.
 *
 * Owns the group of quads waiting to be drawn (their vertices live in the
 * renderer's quad vertex array) and what they share: the texture and whether
 * the smoothing filters were applied to it.  Sprite, strip and text quads are
 * added here; a quad with another texture or filter draws the waiting group
 * first, as one draw of quads (gl_draw.h).  Everything else that changes GL
 * state or reads or writes the frame buffer or a texture (alpha mode, colour,
 * viewport, the bound picture, grabs, read-backs, saves, texture uploads and
 * deletions) calls flush_quads first, so what reaches the picture is what
 * drawing every quad on its own gives.
 *
 * Callers: sprites.h and fonts.h add quads; renderer.h, grabs.h,
 * screen_picture.h and sprites.h flush; code reading pixels with GL itself
 * (tests) flushes first.  Not for: triangle fans (stretched and turned
 * sprites), which are drawn one by one.
 */
#pragma once

#include <cstddef>

#include "media/renderer.h"

enum class QuadFilters {
    smoothing,   // the filters follow the smoothing switch
    as_loaded    // the texture keeps the filters it has (fonts)
};

// Room for `count` quads of sprite id's texture at the end of the group,
// four vertices each in GL_QUADS order, for the caller to fill.  Draws the
// waiting group first when it used another texture or filter, or is full.
QuadVertex* add_quads(int id, QuadFilters filters, std::size_t count);

// Draws the waiting group, if any.
void flush_quads();
