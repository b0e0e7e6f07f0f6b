/*
 * test_fonts.cpp - the built-in font, font slots and loading, the start-up
 * font and the text printer (read back from the screen).  Runs the real
 * runtime headless (320 x 240) under Xvfb.
 */
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/errors.h"
#include "media/fonts.h"
#include "media/image.h"
#include "media/quad_batch.h"
#include "media/renderer.h"
#include "support/harness.h"
#include "support/pictures.h"
#include "support/scratch_folder.h"

namespace {

const Colour WHITE = {255, 255, 255, 255};
const Colour OUTLINE = {8, 8, 8, 255};
const Colour CLEAR = {0, 0, 0, 0};
const Colour BLACK = {0, 0, 0, 255};

Colour image_pixel(const DecodedImage& image, int x, int y)
{
    const uint8_t* p = &image.pixels[(std::size_t(y) * image.width + x) * 4];
    return Colour{p[0], p[1], p[2], p[3]};
}

// ---- the built-in font image --------------------------------------------------

TEST(BuiltinFont, IsA128By64GridOf8By8Cells)
{
    const DecodedImage image = builtin_font_image();
    ASSERT_EQ(image.width, 128);
    ASSERT_EQ(image.height, 64);
    for (int y = 0; y < 16; ++y)   // codes 0..31: cell rows 0 and 1
        for (int x = 0; x < 128; ++x) ASSERT_EQ(image_pixel(image, x, y), CLEAR) << x << "," << y;
}

bool is_glyph(const DecodedImage& image, int x, int y)
{
    return x >= 0 && y >= 0 && x < image.width && y < image.height &&
           image_pixel(image, x, y) == WHITE;
}

TEST(BuiltinFont, GlyphsAreWhiteWithAFourWayDarkOutline)
{
    const DecodedImage image = builtin_font_image();
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            const Colour c = image_pixel(image, x, y);
            if (c == WHITE) {
                // Glyph pixels lie at 1..5 across and 1..6 down inside the cell.
                EXPECT_GE(x % 8, 1);
                EXPECT_LE(x % 8, 5);
                EXPECT_GE(y % 8, 1);
                EXPECT_LE(y % 8, 6);
                continue;
            }
            const bool touches = is_glyph(image, x - 1, y) || is_glyph(image, x + 1, y) ||
                                 is_glyph(image, x, y - 1) || is_glyph(image, x, y + 1);
            EXPECT_EQ(c, touches ? OUTLINE : CLEAR) << x << "," << y;
        }
    }
}

std::string glyph_bits(const DecodedImage& image, int code)
{
    std::string bits;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            bits += is_glyph(image, (code % 16) * 8 + x, (code / 16) * 8 + y) ? '#' : '.';
    return bits;
}

TEST(BuiltinFont, EveryPrintableCharacterHasItsOwnGlyph)
{
    const DecodedImage image = builtin_font_image();
    EXPECT_EQ(glyph_bits(image, ' '), std::string(64, '.'));
    std::set<std::string> seen;
    for (int code = 33; code < 128; ++code) {
        const std::string bits = glyph_bits(image, code);
        EXPECT_NE(bits, std::string(64, '.')) << "code " << code << " is blank";
        EXPECT_TRUE(seen.insert(bits).second) << "code " << code << " repeats a glyph";
    }
}

// ---- slots and loading ------------------------------------------------------------

class Fonts : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(start_test_runtime());
        start_clean_frame();
    }
    void TearDown() override
    {
        load_font("", 0);   // slot 0 back to the built-in font
        set_font(0);
    }

    const SpriteEntry& slot(int n) { return renderer->sprites[FONT_SPRITE_BASE + n]; }

    GLint filter_of(int n, GLenum which)
    {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, slot(n).texture);
        glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
        return value;
    }

    ScratchFolder folder;
};

TEST_F(Fonts, StartUpLeavesTheBuiltInFontInSlotZero)
{
    load_startup_font();
    EXPECT_EQ(current_font(), 0);
    EXPECT_EQ(slot(0).width, 128);
    EXPECT_EQ(slot(0).height, 64);
    EXPECT_FLOAT_EQ(slot(0).u_max, 1.0f);
    EXPECT_FLOAT_EQ(slot(0).v_max, 1.0f);
    EXPECT_EQ(slot(0).texture_3d, 0u);
    EXPECT_EQ(filter_of(0, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(filter_of(0, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    int w = 0, h = 0;
    get_font_size(&w, &h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8);
}

// Runs load_startup_font with the working directory at the scratch folder.
void startup_font_in(const std::string& folder)
{
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    load_startup_font();
    ASSERT_EQ(chdir(saved), 0);
}

TEST_F(Fonts, StartUpPrefersSmalfontPngThenBmp)
{
    std::vector<uint8_t> bgr(64 * 32 * 3, 200);
    ASSERT_TRUE(write_bmp24(folder.file("smalfont.bmp").c_str(), bgr.data(), 64, 32));
    startup_font_in(folder.path);
    EXPECT_EQ(slot(0).width, 64);
    save_picture(folder.file("smalfont.png"), Picture(256, 128));
    startup_font_in(folder.path);
    EXPECT_EQ(slot(0).width, 256);
    EXPECT_EQ(slot(0).height, 128);
    EXPECT_EQ(current_font(), 0);
}

TEST_F(Fonts, MissingFileGivesStatusThreeAndTheBuiltInFont)
{
    save_picture(folder.file("big.png"), Picture(256, 128));
    load_font(folder.file("big.png").c_str(), 3);
    EXPECT_EQ(runtime_status.status, STATUS_SUCCESS);
    EXPECT_EQ(slot(3).width, 256);
    load_font(folder.file("nothing.png").c_str(), 3);
    EXPECT_EQ(runtime_status.status, STATUS_NO_SUCH_FILE);
    EXPECT_EQ(current_font(), 3);
    EXPECT_EQ(slot(3).width, 128);
    EXPECT_EQ(slot(3).height, 64);
    EXPECT_NE(slot(3).texture, 0u);
}

TEST_F(Fonts, SlotsAreClampedToZeroToThirtyOne)
{
    load_font("", 40);
    EXPECT_EQ(current_font(), 31);
    EXPECT_EQ(slot(31).width, 128);
    set_font(-4);
    EXPECT_EQ(current_font(), 0);
    set_font(99);
    EXPECT_EQ(current_font(), 31);
}

TEST_F(Fonts, TallImagesHave256CodesInSixteenRows)
{
    save_picture(folder.file("tall.png"), Picture(256, 512));
    load_font(folder.file("tall.png").c_str(), 4);
    int w = 0, h = 0;
    get_font_size(&w, &h);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 32);
    save_picture(folder.file("wide.png"), Picture(256, 256));
    load_font(folder.file("wide.png").c_str(), 4);
    get_font_size(&w, &h);
    EXPECT_EQ(h, 32);   // not narrower than tall: 8 rows
}

TEST_F(Fonts, BlackIsTheFontKeyOfRgbImages)
{
    // A 128 x 64 BMP: white except black pixels in the cell of 'A'.
    std::vector<uint8_t> bgr(128 * 64 * 3, 255);
    const int cell_x = ('A' % 16) * 8, cell_y = ('A' / 16) * 8;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            uint8_t* p = &bgr[((63 - (cell_y + y)) * 128 + cell_x + x) * 3];
            p[0] = p[1] = p[2] = (x + y) % 2 ? 0 : 255;
        }
    ASSERT_TRUE(write_bmp24(folder.file("keyed.bmp").c_str(), bgr.data(), 128, 64));
    load_font(folder.file("keyed.bmp").c_str(), 5);
    ASSERT_EQ(runtime_status.status, STATUS_SUCCESS);
    print_text("A", 1, 20, 30);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(screen_pixel(20 + x, 30 + y), (x + y) % 2 ? BLACK : WHITE) << x << "," << y;
}

// ---- printing -----------------------------------------------------------------------

// The 8 x 8 screen block at (x, y) against the built-in cell of code: glyph
// and outline pixels as drawn, transparent ones left black.
void expect_builtin_cell(int code, int x, int y)
{
    const DecodedImage image = builtin_font_image();
    for (int cy = 0; cy < 8; ++cy)
        for (int cx = 0; cx < 8; ++cx) {
            Colour want = image_pixel(image, (code % 16) * 8 + cx, (code / 16) * 8 + cy);
            if (want.a == 0) want = BLACK;
            EXPECT_EQ(screen_pixel(x + cx, y + cy), want)
                << "code " << code << " at " << cx << "," << cy;
        }
}

TEST_F(Fonts, PrintStartsAtTheCeilingOfItsPosition)
{
    set_font(0);
    print_text("A", 1, 10.2, 4.5);
    expect_builtin_cell('A', 11, 5);
    EXPECT_EQ(screen_pixel(10, 5 + 3), BLACK);
}

TEST_F(Fonts, CodesWrapAtTheCellCount)
{
    set_font(0);
    print_text("\xC8", 1, 40, 40);   // 200 mod 128 = 72, 'H'
    expect_builtin_cell('H', 40, 40);
}

TEST_F(Fonts, LineFeedIsACellLikeAnyOther)
{
    set_font(0);
    print_text(StringValue("A\nB"), 100, 100);
    expect_builtin_cell('A', 100, 100);
    expect_builtin_cell('\n', 108, 100);
    expect_builtin_cell('B', 116, 100);
    EXPECT_EQ(screen_pixel(103, 110), BLACK);   // nothing on a next line
}

TEST_F(Fonts, TextIsNeverSmoothed)
{
    set_font(0);
    set_smoothing(1);
    glMatrixMode(GL_MODELVIEW);
    glScalef(2, 2, 1);
    print_text("W", 1, 10, 10);   // drawn at 20, 20 doubled
    flush_quads();                // under the doubling matrix
    glLoadIdentity();
    const DecodedImage image = builtin_font_image();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            Colour want = image_pixel(image, ('W' % 16) * 8 + x / 2, ('W' / 16) * 8 + y / 2);
            if (want.a == 0) want = BLACK;
            EXPECT_EQ(screen_pixel(20 + x, 20 + y), want) << x << "," << y;
        }
}

TEST_F(Fonts, PrintNumberUsesTheNumberText)
{
    set_font(0);
    for (double number : {12.0, -2.5, 1e20}) {
        start_clean_frame();
        const StringValue text = string_from_number(number);
        ASSERT_GT(text.size(), 0u);
        print_number(number, 10, 60);
        print_text(text, 10, 80);
        int lit = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < int(text.size()) * 8; ++x) {
                const Colour c = screen_pixel(10 + x, 60 + y);
                EXPECT_EQ(c, screen_pixel(10 + x, 80 + y)) << number << " at " << x << "," << y;
                lit += c == WHITE;
            }
        EXPECT_GT(lit, 0) << number;
    }
}

TEST_F(Fonts, EmptyTextAndUnloadedSlotsDrawNothing)
{
    set_font(0);
    print_text("", 0, 10, 10);
    reset_sprite(FONT_SPRITE_BASE + 20);
    set_font(20);
    print_text("ABC", 3, 10, 10);
    int w = -1, h = -1;
    get_font_size(&w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    for (int x = 8; x < 40; ++x) EXPECT_EQ(screen_pixel(x, 13), BLACK) << x;
}

TEST_F(Fonts, VertexArrayGrowsInStepsOf128)
{
    set_font(0);
    const std::string text(300, 'x');
    const std::size_t before = quad_vertex_room();
    print_text(text.c_str(), text.size(), 0, 200);
    const std::size_t after = quad_vertex_room();
    EXPECT_GE(after, 1200u);
    if (before <= 1200) {
        EXPECT_EQ(after, 128u * (1200 / 128 + 1));
    }
    expect_builtin_cell('x', 8 * 39, 200);   // the 40th character, still on screen
}

}   // namespace
