// The contact sheet: every strip doubled, framed and numbered.
#include "contact_sheet.h"

#include <string>

#include "game/play/glyphs.h"

namespace {

constexpr int SHEET_WIDTH = 1320;
constexpr int MARGIN = 8;
constexpr int ZOOM = 2;
constexpr int FRAME_GAP = 4;       // between frames
constexpr int NUMBER_HEIGHT = 7;   // digits above each frame
constexpr int LABEL_HEIGHT = 13;   // file name above each strip
constexpr int STRIP_GAP = 10;      // below each strip

const Rgba GROUND = rgb(0x20283c);
const Rgba CHECK_DARK = rgb(0x5a6070);
const Rgba CHECK_LIGHT = rgb(0x70788a);
const Rgba DIGIT_COLOUR = rgb(0xf4c542);

// 3 x 5 digits, one row of three bits per line, top row first.
const char* const DIGITS[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"},
    {"###", "..#", "###", "#..", "###"}, {"###", "..#", "###", "..#", "###"},
    {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."},
    {"###", "#.#", "###", "#.#", "###"}, {"###", "#.#", "###", "..#", "###"},
};

void draw_number(Picture& sheet, int n, int x, int y)
{
    const std::string text = std::to_string(n);
    for (std::size_t i = 0; i < text.size(); ++i)
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (DIGITS[text[i] - '0'][row][col] == '#')
                    set_pixel(sheet, x + int(i) * 4 + col, y + row, DIGIT_COLOUR);
}

// Letters placed by their own width: each glyph's outline overlaps the
// next one's by a column, as in the game's text.
int glyph_advance(const Picture& glyph)
{
    int last = -1;
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            if (opaque(glyph, x, y) && x > last) last = x;
    return last < 0 ? FONT_ADVANCE : last;
}

void draw_label(Picture& sheet, const Strip& font, const std::string& text, int x, int y)
{
    for (char c : text) {
        const int frame = static_cast<unsigned char>(c) - 32;
        if (frame < 0 || frame >= font.frame_count) continue;
        const Picture glyph = frame_picture(font, frame);
        blit(sheet, glyph, x, y);
        x += glyph_advance(glyph);
    }
}

// A frame doubled on a chequer of 4-pixel squares.
void draw_frame(Picture& sheet, const Picture& frame, int x, int y)
{
    const int w = frame.width * ZOOM, h = frame.height * ZOOM;
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx) {
            const Rgba c = pixel(frame, xx / ZOOM, yy / ZOOM);
            const bool light = ((xx / 4) + (yy / 4)) % 2 == 0;
            set_pixel(sheet, x + xx, y + yy, c.a ? c : (light ? CHECK_LIGHT : CHECK_DARK));
        }
}

struct Cell {
    int x, y;
};

// Places the frames of one strip from (0, top) left to right, wrapping at
// the sheet's width; returns the frames' positions and the bottom edge.
std::vector<Cell> place_frames(const Strip& s, int top, int& bottom)
{
    std::vector<Cell> cells;
    const int w = s.frame_width * ZOOM, h = s.frame_height * ZOOM + NUMBER_HEIGHT;
    int x = MARGIN, y = top;
    for (int n = 0; n < s.frame_count; ++n) {
        if (x + w > SHEET_WIDTH - MARGIN && x > MARGIN) {
            x = MARGIN;
            y += h + FRAME_GAP;
        }
        cells.push_back({x, y});
        x += w + FRAME_GAP;
    }
    bottom = y + h;
    return cells;
}

int sheet_height(const std::vector<Strip>& strips)
{
    int y = MARGIN;
    for (const Strip& s : strips) {
        int bottom = 0;
        place_frames(s, y + LABEL_HEIGHT, bottom);
        y = bottom + STRIP_GAP;
    }
    return y + MARGIN;
}

}   // namespace

Picture build_contact_sheet(const std::vector<Strip>& strips, const Strip& font)
{
    Picture sheet = make_picture(SHEET_WIDTH, sheet_height(strips));
    fill_rect(sheet, 0, 0, sheet.width, sheet.height, GROUND);
    int y = MARGIN;
    for (const Strip& s : strips) {
        draw_label(sheet, font,
                   s.file + "  " + std::to_string(s.frame_width) + " x " +
                       std::to_string(s.frame_height),
                   MARGIN, y);
        int bottom = 0;
        const std::vector<Cell> cells = place_frames(s, y + LABEL_HEIGHT, bottom);
        for (int n = 0; n < s.frame_count; ++n) {
            draw_number(sheet, n, cells[n].x, cells[n].y);
            draw_frame(sheet, frame_picture(s, n), cells[n].x, cells[n].y + NUMBER_HEIGHT);
        }
        y = bottom + STRIP_GAP;
    }
    return sheet;
}
