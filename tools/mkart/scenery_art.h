/*
 * scenery_art.h - the pictures drawn by code rather than by pixel map:
 * the night sky, the parallax pines, the fairy lights and the conveyor
 * belts.  Their shapes are curves and repeating patterns that read better
 * as a few lines of arithmetic than as hundreds of pixel rows.
 *
 * Callers: art_set.cpp.  Not for: the level picture (level_art.h).
 */
#pragma once

#include "art_source.h"
#include "strip.h"

// sky.png (32 x 240): one vertical slice of the sky, repeated across.
Strip build_sky(const Palette& pal);

// trees.png (396 x 89): snowy pines in two depths.
Strip build_trees(const Palette& pal);

// lights.png (65 x 25, 8 frames): a sagging wire of bulbs, the colours
// lighting one after another.
Strip build_lights(const Palette& pal);

// conveyor.png (12 x 14, 10 frames): frames 0-4 a belt segment, 5-9 the
// belt's right end; one frame step moves the belt 2 pixels to the right.
// The belt fills rows 0-9 only, so it never reaches the floor line below.
Strip build_conveyor(const Palette& pal);

// Rows of the conveyor frame that the belt fills.
constexpr int CONVEYOR_BELT_ROWS = 10;
