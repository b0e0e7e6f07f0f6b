/*
 * art_set.h - the whole set of the game's pictures: which strips exist,
 * at which frame sizes, and which builder makes each one.
 *
 * Pixel-map strips come from the text files under the asset folder; the
 * level, the scenery and the lettering are drawn by code from the same
 * palette (and, for the level, from the compiled-in level data).
 *
 * Callers: main.cpp.  Not for: writing files.
 */
#pragma once

#include <string>
#include <vector>

#include "strip.h"

// Builds every strip of the game's media table, in its order, from the sources
// in asset_dir; false with a message when a source is missing or wrong, or
// a strip does not have its frame size.
bool build_art_set(const std::string& asset_dir, std::vector<Strip>& out, std::string& error);
