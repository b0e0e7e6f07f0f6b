/*
 * level_data.h - the one level's layout, compiled into the program.
 *
 * Owns level_data: 22 rows of 64 tile numbers, stored row after row, so
 * item 64 r + c is the cell of column c in row r.  0 is open air; any other
 * number is a solid tile (16, 17, 28 and 29 are conveyor cells).  Cell
 * (c, r) lies at world (10 c, 10 r + 16).
 *
 * Callers: the main menu, which copies it into level_map with restore_data
 * and read_data each time it starts; the build-time art tool, which draws
 * the level picture from the same numbers.  Not for: the live map during a
 * round (level_map in game/play/world.h), which the round may change.
 */
#pragma once

#include "core/data.h"

constexpr int LEVEL_COLUMNS = 64;
constexpr int LEVEL_ROWS = 22;
constexpr int LEVEL_CELL_COUNT = LEVEL_COLUMNS * LEVEL_ROWS;   // 1408

extern DataBlock level_data;
