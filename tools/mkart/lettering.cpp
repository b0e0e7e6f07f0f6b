// The font strip and the big lettering, both from the glyphs of font.txt.
#include "lettering.h"

#include <string>

#include "game/play/glyphs.h"

namespace {

constexpr int FONT_CELL_WIDTH = 9;
constexpr int FONT_CELL_HEIGHT = 11;
constexpr int FONT_PER_ROW = 16;
// Capital height 7 plus 2 rows of descender; an accented capital's part has
// one more row on top, the cell's top row, for its accent.
constexpr int GLYPH_ROWS = 9;
constexpr int CAPITAL_ROWS = 7;
constexpr int SPACE_UNITS = 3;        // width of a space in glyph pixels
constexpr int LETTER_GAP_UNITS = 1;   // between letters

const Picture* glyph_of(const ArtSource& glyphs, char c)
{
    const auto found = glyphs.parts.find(std::string(1, c));
    return found == glyphs.parts.end() ? nullptr : &found->second;
}

int glyph_width(const ArtSource& glyphs, char c)
{
    const Picture* g = glyph_of(glyphs, c);
    return g ? g->width : SPACE_UNITS;
}

// The text's glyph bodies side by side, one glyph pixel a pixel.
Picture text_mask(const ArtSource& glyphs, const std::string& text)
{
    int width = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        width += glyph_width(glyphs, text[i]) + (i + 1 < text.size() ? LETTER_GAP_UNITS : 0);
    Picture mask = make_picture(width, GLYPH_ROWS);
    int x = 0;
    for (char c : text) {
        if (const Picture* g = glyph_of(glyphs, c)) blit(mask, *g, x, 0);
        x += glyph_width(glyphs, c) + LETTER_GAP_UNITS;
    }
    return mask;
}

struct LetterStyle {
    int scale_x, scale_y;
    int corner;   // rounding of outer corners, in pixels
    Rgba face_top, face_bottom;
    Rgba depth_colour;
    int depth;   // pixels of extrusion down and to the right
    Rgba outline;
    int outline_width;
    int snow_depth;   // 0 for no snow caps
    Rgba snow, snow_shade;
};

bool mask_at(const Picture& mask, int x, int y)
{
    return opaque(mask, x, y);
}

// One glyph pixel scaled up, with its outer corners rounded off.
void scaled_block(Picture& out, const Picture& mask, int ux, int uy, const LetterStyle& st)
{
    for (int dy = 0; dy < st.scale_y; ++dy)
        for (int dx = 0; dx < st.scale_x; ++dx) {
            const int sx = dx < st.scale_x / 2 ? -1 : 1;   // the nearer side
            const int sy = dy < st.scale_y / 2 ? -1 : 1;
            const int ex = sx < 0 ? dx : st.scale_x - 1 - dx;   // distance to it
            const int ey = sy < 0 ? dy : st.scale_y - 1 - dy;
            const bool open_corner = !mask_at(mask, ux + sx, uy) && !mask_at(mask, ux, uy + sy) &&
                                     !mask_at(mask, ux + sx, uy + sy);
            if (open_corner && ex + ey < st.corner) continue;
            set_pixel(out, ux * st.scale_x + dx, uy * st.scale_y + dy, rgb(0xffffff));
        }
}

Picture scaled_mask(const Picture& mask, const LetterStyle& st)
{
    Picture out = make_picture(mask.width * st.scale_x, mask.height * st.scale_y);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            if (mask_at(mask, x, y)) scaled_block(out, mask, x, y, st);
    return out;
}

// Snow lying on every upward-facing edge of the face: a cap a few pixels
// deep, a pixel proud of the edge except at its ends, shaded underneath.
void add_snow(Picture& out, const Picture& face, int ox, int oy, const LetterStyle& st)
{
    for (int y = 0; y < face.height; ++y)
        for (int x = 0; x < face.width; ++x) {
            if (!opaque(face, x, y) || opaque(face, x, y - 1)) continue;
            const int wobble = (x * 7 + y * 3) % 5 == 0 ? 1 : 0;
            const int depth = st.snow_depth + wobble;
            for (int k = 0; k < depth && opaque(face, x, y + k); ++k)
                set_pixel(out, ox + x, oy + y + k, k == depth - 1 ? st.snow_shade : st.snow);
            if (opaque(face, x - 1, y) && opaque(face, x + 1, y))
                set_pixel(out, ox + x, oy + y - 1, st.snow);
        }
}

Picture render_lettering(const ArtSource& glyphs, const std::string& text, const LetterStyle& st)
{
    const Picture face = scaled_mask(text_mask(glyphs, text), st);
    const int margin = st.outline_width + (st.snow_depth ? 1 : 0);
    Picture out = make_picture(face.width + 2 * st.outline_width + st.depth,
                               face.height + margin + st.outline_width + st.depth);
    const int ox = st.outline_width, oy = margin;
    for (int k = st.depth; k >= 1; --k)
        for (int y = 0; y < face.height; ++y)
            for (int x = 0; x < face.width; ++x)
                if (opaque(face, x, y)) set_pixel(out, ox + x + k, oy + y + k, st.depth_colour);
    const int capital_height = CAPITAL_ROWS * st.scale_y;
    for (int y = 0; y < face.height; ++y)
        for (int x = 0; x < face.width; ++x)
            if (opaque(face, x, y)) {
                const double t = y < capital_height ? double(y) / (capital_height - 1) : 1.0;
                set_pixel(out, ox + x, oy + y, mix(st.face_top, st.face_bottom, t));
            }
    if (st.snow_depth > 0) add_snow(out, face, ox, oy, st);
    for (int i = 0; i < st.outline_width; ++i) add_outline(out, st.outline);
    return out;
}

// The lettering's height without the descender rows, for centring.
int capital_box_height(const Picture& lettering, const LetterStyle& st)
{
    return lettering.height - (GLYPH_ROWS - CAPITAL_ROWS) * st.scale_y;
}

Strip single_picture(const std::string& file, int width, int height)
{
    return make_strip(file, width, height, 1, 1);
}

// Draws p into frame 0 centred across the frame, with its top at y.
void centre_at(Strip& s, const Picture& p, int y)
{
    draw_in_frame(s, 0, p, (s.frame_width - p.width) / 2, y);
}

const Palette& colours(const ArtSource& glyphs)
{
    return glyphs.palette;
}

// A greeting's words: small, outlined one pixel wide, without snow.
Picture greeting_words(const ArtSource& glyphs, const std::string& text, const char* top,
                       const char* bottom, const char* depth_colour)
{
    const Palette& pal = colours(glyphs);
    const LetterStyle style{2,
                            2,
                            1,
                            named(pal, top),
                            named(pal, bottom),
                            named(pal, depth_colour),
                            1,
                            named(pal, "outline"),
                            1,
                            0,
                            CLEAR,
                            CLEAR};
    return render_lettering(glyphs, text, style);
}

// The title words: outlined two pixels wide, with snow on their caps.
struct CappedShape {
    int scale_x, scale_y, corner, depth, snow_depth;
};

LetterStyle snow_capped_style(const Palette& pal, CappedShape shape, const char* top,
                              const char* bottom, const char* depth_colour)
{
    return LetterStyle{shape.scale_x,    shape.scale_y,         shape.corner,
                       named(pal, top),  named(pal, bottom),    named(pal, depth_colour),
                       shape.depth,      named(pal, "outline"), 2,
                       shape.snow_depth, named(pal, "snow"),    named(pal, "ice")};
}

const Picture& part_or_empty(const ArtSource& source, const std::string& name)
{
    static const Picture empty;
    const auto found = source.parts.find(name);
    return found == source.parts.end() ? empty : found->second;
}

// A greeting line with a decoration part at each end, centred in the strip.
Strip greeting(const std::string& file, int width, int height, const Picture& line,
               const Picture& left, const Picture& right, int line_y)
{
    Strip s = single_picture(file, width, height);
    centre_at(s, line, line_y);
    const int line_left = (width - line.width) / 2;
    const int gap = 4;
    draw_in_frame(s, 0, left, line_left - gap - left.width,
                  line_y + (line.height - left.height) / 2);
    draw_in_frame(s, 0, right, line_left + line.width + gap,
                  line_y + (line.height - right.height) / 2);
    return s;
}

}   // namespace

Strip build_font(const ArtSource& glyphs)
{
    Strip s =
        make_strip("font.png", FONT_CELL_WIDTH, FONT_CELL_HEIGHT, FONT_PER_ROW, FONT_FRAME_COUNT);
    for (int frame = 0; frame < FONT_FRAME_COUNT; ++frame) {
        const auto found = glyphs.parts.find(utf8_of(font_frame_character(frame)));
        if (found == glyphs.parts.end()) continue;
        const Picture& g = found->second;
        Picture cell = make_picture(FONT_CELL_WIDTH, FONT_CELL_HEIGHT);
        blit(cell, g, 1, g.height > GLYPH_ROWS ? 0 : 1);
        add_outline(cell, named(colours(glyphs), "outline"));
        set_frame(s, frame, cell);
    }
    return s;
}

Strip build_title(const ArtSource& glyphs)
{
    const Palette& pal = colours(glyphs);
    const LetterStyle st = snow_capped_style(pal, {5, 7, 3, 3, 4}, "gold", "orange", "red-dark");
    const Picture word = render_lettering(glyphs, "Snowbelter", st);
    Strip s = single_picture("snowbelter2.png", 288, 69);
    centre_at(s, word, (69 - capital_box_height(word, st)) / 2);
    return s;
}

Strip build_merry_christmas(const ArtSource& glyphs)
{
    const Palette& pal = colours(glyphs);
    const LetterStyle st = snow_capped_style(pal, {3, 3, 2, 1, 3}, "red-light", "red-dark", "gold");
    const Picture merry = render_lettering(glyphs, "Merry", st);
    const Picture christmas = render_lettering(glyphs, "Christmas", st);
    Strip s = single_picture("merry_christmas.png", 232, 55);
    centre_at(s, merry, 0);
    centre_at(s, christmas, 55 - capital_box_height(christmas, st));
    return s;
}

Strip build_logo1(const ArtSource& glyphs, const ArtSource& decorations)
{
    const Picture line = greeting_words(glyphs, "Love from Santa", "gold", "orange", "red-dark");
    const Picture& holly = part_or_empty(decorations, "holly");
    return greeting("logo1.png", 227, 38, line, holly, flipped(holly), 12);
}

Strip build_logo2(const ArtSource& glyphs, const ArtSource& decorations)
{
    const Picture line = greeting_words(glyphs, "and all the elves", "snow", "ice", "green-dark");
    Strip s = single_picture("logo2.png", 168, 45);
    centre_at(s, line, 2);
    // Under the words: an elf's hat either side of a row of presents.
    const Picture& row = part_or_empty(decorations, "presents_row");
    const Picture& hat = part_or_empty(decorations, "elf_hat");
    const int row_y = 45 - row.height;
    const int row_left = (168 - row.width) / 2;
    centre_at(s, row, row_y);
    draw_in_frame(s, 0, hat, row_left - hat.width - 2, 45 - hat.height);
    draw_in_frame(s, 0, hat, row_left + row.width + 2, 45 - hat.height, true);
    return s;
}

Strip build_logo3(const ArtSource& glyphs, const ArtSource& decorations)
{
    const Picture line = greeting_words(glyphs, "Till next year!", "white", "ice", "night-2");
    const Picture& star = part_or_empty(decorations, "star");
    return greeting("logo3.png", 177, 26, line, star, star, 4);
}
