/*
 * level_art.h - the pictures made from the level layout: the level itself
 * (platform2.png) and the small overview map with its 8 x 8 tiles.
 *
 * The layout is read from the game's own compiled-in level_data, so the
 * floors, gaps and ladder shafts of the picture lie exactly where the
 * game's fall test and ladders put them: cell (c, r) is drawn at world
 * (10 c, 10 r + 16), and the level picture is drawn at y 49 on screen.
 *
 * Callers: art_set.cpp; the tests check the result against level_data.
 * Not for: the game, which reads level_data itself.
 */
#pragma once

#include <vector>

#include "strip.h"

constexpr int LEVEL_PICTURE_Y = 49;   // screen y at which the game draws it
constexpr int CELL_PITCH = 10;        // world pixels between cells
constexpr int CELL_TOP_OFFSET = 16;   // world y of row 0
constexpr int LEVEL_PICTURE_WIDTH = 640;
constexpr int LEVEL_PICTURE_HEIGHT = 191;

// The level's cells, row after row (64 per row, 22 rows), as the game reads
// them from level_data.
std::vector<int> read_level_cells();

// platform2.png: every non-empty cell's tile of tiles3 at its place.
Strip build_level_picture(const Strip& tiles3);

// tiles.png: each tile of tiles3 reduced to 8 x 8.
Strip build_small_tiles(const Strip& tiles3);

// map.png (512 x 176): the level drawn with the small tiles.
Strip build_map(const Strip& small_tiles);
