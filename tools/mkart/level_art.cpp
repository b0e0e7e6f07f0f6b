// The level picture and the overview map, drawn from the level data.
#include "level_art.h"

#include "game/shell/level_data.h"

namespace {

constexpr int SMALL_TILE = 8;

int cell_at(const std::vector<int>& cells, int c, int r)
{
    return cells[r * LEVEL_COLUMNS + c];
}

// Draws every non-empty cell with its tile, row by row from the top, so a
// lower row's tile covers the bottom of the tile above where it is opaque.
Strip draw_cells(const std::string& file, const Strip& tiles, int width, int height, int pitch,
                 int top)
{
    const std::vector<int> cells = read_level_cells();
    Strip s = make_strip(file, width, height, 1, 1);
    for (int r = 0; r < LEVEL_ROWS; ++r)
        for (int c = 0; c < LEVEL_COLUMNS; ++c) {
            const int tile = cell_at(cells, c, r);
            if (tile > 0 && tile < tiles.frame_count)
                draw_in_frame(s, 0, frame_picture(tiles, tile), pitch * c, pitch * r + top);
        }
    return s;
}

}   // namespace

std::vector<int> read_level_cells()
{
    std::vector<int> cells(LEVEL_CELL_COUNT);
    restore_data(level_data);
    for (int& cell : cells) {
        double value = 0;
        read_data(value);
        cell = int(value);
    }
    return cells;
}

Strip build_level_picture(const Strip& tiles3)
{
    return draw_cells("platform2.png", tiles3, LEVEL_PICTURE_WIDTH, LEVEL_PICTURE_HEIGHT,
                      CELL_PITCH, CELL_TOP_OFFSET - LEVEL_PICTURE_Y);
}

Strip build_small_tiles(const Strip& tiles3)
{
    Strip s = make_strip("tiles.png", SMALL_TILE, SMALL_TILE, tiles3.per_row, tiles3.frame_count);
    for (int n = 0; n < tiles3.frame_count; ++n) {
        const Picture big = frame_picture(tiles3, n);
        Picture small = make_picture(SMALL_TILE, SMALL_TILE);
        // The top 10 x 10 of a tile is the part of it its cell owns.
        for (int y = 0; y < SMALL_TILE; ++y)
            for (int x = 0; x < SMALL_TILE; ++x)
                set_pixel(small, x, y,
                          pixel(big, x * CELL_PITCH / SMALL_TILE, y * CELL_PITCH / SMALL_TILE));
        set_frame(s, n, small);
    }
    return s;
}

Strip build_map(const Strip& small_tiles)
{
    return draw_cells("map.png", small_tiles, LEVEL_COLUMNS * SMALL_TILE, LEVEL_ROWS * SMALL_TILE,
                      SMALL_TILE, 0);
}
