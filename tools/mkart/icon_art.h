/*
 * icon_art.h - the game's application icon: Santa's face, a pixel map of
 * ICON_GRID x ICON_GRID in icon.txt, enlarged by whole steps to every size
 * the desktop's icon theme, the game's window and the browser page ask for, so its pixels
 * stay crisp at every size.
 *
 * Callers: main.cpp (writes the sizes).  Not for: the strips of the game's
 * media table (art_set.h).
 */
#pragma once

#include <string>

#include "picture.h"

// The side of the pixel map.
constexpr int ICON_GRID = 16;

// The sizes an icon theme gets.
constexpr int ICON_THEME_SIZES[] = {16, 32, 48, 64, 128, 256};

// The sizes the browser page's web app manifest names.
constexpr int WEB_ICON_SIZES[] = {192, 512};

// The copy packed into gfx.sbx, from which the game sets its window icon.
constexpr int WINDOW_ICON_SIZE = 64;
constexpr const char* WINDOW_ICON_FILE = "icon.png";

// Draws the icon at ICON_GRID from palette.txt and icon.txt in asset_dir;
// false with a message when a source is missing or wrong, or the map is not
// ICON_GRID square.
bool build_icon(const std::string& asset_dir, Picture& out, std::string& error);

// The icon at size pixels square; size is a whole multiple of ICON_GRID.
Picture icon_at(const Picture& icon, int size);

// Where an icon theme rooted at theme_root keeps the icon of this size:
// theme_root/hicolor/SxS/apps/org.snowbelter.Snowbelter.png.
std::string icon_theme_file(const std::string& theme_root, int size);

// Where the browser page's icon of this size goes: icon_root/web/icon-S.png.
std::string web_icon_file(const std::string& icon_root, int size);
