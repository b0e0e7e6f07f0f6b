/*
 * media_table.cpp - the game's pictures, as start-up loads them.
 */
#include "game/shell/media_table.h"

#include <cstring>
#include <iterator>

#include "game/media_ids.h"

const StripFile STRIP_FILES[] = {
    {ANIM_SANTA, "media/gfx/santa2.png", 38, 35},
    {ANIM_TILES_LARGE, "media/gfx/tiles3.png", 10, 14},
    {ANIM_TILES, "media/gfx/tiles.png", 8, 8},
    {ANIM_MAP, "media/gfx/map.png", 512, 176},
    {ANIM_CAR, "media/gfx/car3.png", 20, 20},
    {ANIM_SKY, "media/gfx/sky.png", 32, 240},
    {ANIM_SLEIGH, "media/gfx/sleigh2.png", 17, 24},
    {ANIM_PUDDINGS, "media/gfx/puddings.png", 24, 26},
    {ANIM_SOLDIER, "media/gfx/soldier.png", 31, 29},
    {ANIM_TREES, "media/gfx/trees.png", 396, 89},
    {ANIM_SNOW, "media/gfx/snow.png", 3, 3},
    {ANIM_CONVEYOR, "media/gfx/conveyor.png", 12, 14},
    {ANIM_LIGHTS, "media/gfx/lights.png", 65, 25},
    {ANIM_PRESENT, "media/gfx/present.png", 20, 20},
    {ANIM_PLATFORM, "media/gfx/platform2.png", 640, 191},
    {ANIM_FONT, "media/gfx/font.png", 9, 11},
    {ANIM_LADDER, "media/gfx/ladder.png", 20, 107},
    {ANIM_TITLE, "media/gfx/snowbelter2.png", 288, 69},
    {ANIM_DEER, "media/gfx/deer.png", 27, 31},
    {ANIM_CURSOR, "media/gfx/cursor.png", 10, 14},
    {ANIM_LOGO1, "media/gfx/logo1.png", 227, 38},
    {ANIM_LOGO2, "media/gfx/logo2.png", 168, 45},
    {ANIM_LOGO3, "media/gfx/logo3.png", 177, 26},
    {ANIM_MERRY_CHRISTMAS, "media/gfx/merry_christmas.png", 232, 55},
};
const std::size_t STRIP_FILE_COUNT = std::size(STRIP_FILES);

const char* strip_entry_name(const StripFile& strip)
{
    const char* slash = std::strrchr(strip.file, '/');
    return slash ? slash + 1 : strip.file;
}
