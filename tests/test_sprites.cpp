/*
 * test_sprites.cpp - the texture builder, sprite and strip loading, the
 * draws (read back from the screen) and the pixel collision test.  Runs the
 * real runtime headless (320 x 240) under Xvfb.
 */
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/errors.h"
#include "grouping_scene.h"
#include "media/fonts.h"
#include "media/grabs.h"
#include "media/quad_batch.h"
#include "media/renderer.h"
#include "media/sprites.h"
#include "support/harness.h"
#include "support/pictures.h"
#include "support/scratch_folder.h"

namespace {

const Colour BLACK = {0, 0, 0, 255};

class Sprites : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(start_test_runtime());
        start_clean_frame();
    }

    // Saves the picture under name in the scratch folder and loads it.
    void load(const Picture& picture, int id, const char* name = "sprite.png")
    {
        load_sprite(save_picture(folder.file(name), picture).c_str(), id);
        ASSERT_EQ(runtime_status.status, STATUS_SUCCESS);
    }

    void load_strip(const Picture& picture, int id, int fw, int fh)
    {
        load_anim(save_picture(folder.file("strip.png"), picture).c_str(), id, fw, fh);
        ASSERT_EQ(runtime_status.status, STATUS_SUCCESS);
    }

    ScratchFolder folder;
};

// ---- the texture builder, without GL ------------------------------------------

TEST(TextureLayout, SidesArePowersOfTwoOfAtLeastFour)
{
    const int cases[][2] = {{1, 4},   {3, 4},     {4, 4},     {5, 8},     {35, 64},
                            {38, 64}, {176, 256}, {240, 256}, {320, 512}, {512, 512}};
    for (const auto& c : cases) EXPECT_EQ(texture_side(c[0]), c[1]) << c[0];
}

DecodedImage image_of(const Picture& picture)
{
    DecodedImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.pixels = picture.rgba;
    return image;
}

Colour texel(const std::vector<uint8_t>& texels, int tw, int x, int y)
{
    const uint8_t* p = &texels[(std::size_t(y) * tw + x) * 4];
    return Colour{p[0], p[1], p[2], p[3]};
}

TEST(TextureLayout, RowsAreFlippedAndTheRestIsTransparentBlack)
{
    Picture picture(3, 2);
    picture.fill(10, 20, 30);
    picture.set(0, 0, 1, 2, 3);   // top-left
    picture.set(2, 1, 7, 8, 9);   // bottom-right
    const std::vector<uint8_t> texels = texture_texels(image_of(picture), 0, 0, 3, 2, 4, 4, false);
    ASSERT_EQ(texels.size(), 4u * 4u * 4u);
    EXPECT_EQ(texel(texels, 4, 0, 1), (Colour{1, 2, 3, 255}));   // top row -> row h - 1
    EXPECT_EQ(texel(texels, 4, 2, 0), (Colour{7, 8, 9, 255}));   // bottom row -> row 0
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            if (x >= 3 || y >= 2) {
                EXPECT_EQ(texel(texels, 4, x, y), (Colour{0, 0, 0, 0})) << x << "," << y;
            }
        }
    }
}

TEST(TextureLayout, SourceRectangleAndPaddingOutsideTheImage)
{
    Picture picture(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) picture.set(x, y, x * 10, y * 10, 0);
    // The 4 x 4 block at (2, 2) sticks out of the image: only 2 x 2 is copied.
    const std::vector<uint8_t> texels = texture_texels(image_of(picture), 2, 2, 4, 4, 4, 4, false);
    EXPECT_EQ(texel(texels, 4, 0, 3), (Colour{20, 20, 0, 255}));   // image (2, 2)
    EXPECT_EQ(texel(texels, 4, 1, 2), (Colour{30, 30, 0, 255}));   // image (3, 3)
    EXPECT_EQ(texel(texels, 4, 2, 3), (Colour{0, 0, 0, 0}));
    EXPECT_EQ(texel(texels, 4, 0, 1), (Colour{0, 0, 0, 0}));
}

TEST(TextureLayout, EdgeFillAveragesOpaqueInnerNeighbours)
{
    Picture picture(6, 6);              // texture 8 x 8, image row y -> texel row 5 - y
    picture.set(2, 2, 100, 50, 31);     // texel (2, 3)
    picture.set(3, 2, 201, 150, 10);    // texel (3, 3)
    picture.set(0, 5, 250, 250, 250);   // texel (0, 0): outermost, never counts
    const std::vector<uint8_t> texels =
        texture_texels(image_of(picture), 0, 0, 0 + 6, 6, 8, 8, true);
    // Texel (2, 4) touches both opaque texels: averages truncated toward zero.
    EXPECT_EQ(texel(texels, 8, 2, 4), (Colour{150, 100, 20, 0}));
    // Texel (1, 3) touches only (2, 3).
    EXPECT_EQ(texel(texels, 8, 1, 3), (Colour{100, 50, 31, 0}));
    // Texel (1, 1) touches only the outermost texel (0, 0): stays black.
    EXPECT_EQ(texel(texels, 8, 1, 1), (Colour{0, 0, 0, 0}));
    // Opaque texels keep their colour.
    EXPECT_EQ(texel(texels, 8, 2, 3), (Colour{100, 50, 31, 255}));
    EXPECT_EQ(texel(texels, 8, 0, 0), (Colour{250, 250, 250, 255}));
    // Without edge fill nothing changes.
    const std::vector<uint8_t> plain = texture_texels(image_of(picture), 0, 0, 6, 6, 8, 8, false);
    EXPECT_EQ(texel(plain, 8, 2, 4), (Colour{0, 0, 0, 0}));
}

SpriteEntry strip_entry(int width, int height, int tw, int th, int fw, int fh)
{
    SpriteEntry entry = {};
    entry.width = int16_t(width);
    entry.height = int16_t(height);
    entry.texture_width = int16_t(tw);
    entry.texture_height = int16_t(th);
    entry.frame_width = int16_t(fw);
    entry.frame_height = int16_t(fh);
    return entry;
}

// Frame `frame` of the strip lies at these texture coordinates.
void expect_frame_at(const SpriteEntry& entry, int frame, FrameCoords expected)
{
    FrameCoords c;
    ASSERT_TRUE(anim_frame_coords(entry, frame, &c)) << "frame " << frame;
    EXPECT_FLOAT_EQ(c.u_left, expected.u_left) << "frame " << frame;
    EXPECT_FLOAT_EQ(c.u_right, expected.u_right) << "frame " << frame;
    EXPECT_FLOAT_EQ(c.v_bottom, expected.v_bottom) << "frame " << frame;
    EXPECT_FLOAT_EQ(c.v_top, expected.v_top) << "frame " << frame;
}

TEST(FrameCoordinates, OneFramePerRowCountsDownTheRows)
{
    expect_frame_at(
        strip_entry(38, 175, 64, 256, 38, 35), 3,
        {0.0f, 38.0f / 64.0f, (175.0f - 35.0f * 4) / 256.0f, (175.0f - 35.0f * 3) / 256.0f});
}

TEST(FrameCoordinates, GridFramesGoRowByRowFromTheTopLeft)
{
    const SpriteEntry entry = strip_entry(76, 70, 128, 128, 38, 35);
    expect_frame_at(entry, 0, {0.0f, 38.0f / 128.0f, 35.0f / 128.0f, 70.0f / 128.0f});
    expect_frame_at(entry, 3, {38.0f / 128.0f, 76.0f / 128.0f, 0.0f, 35.0f / 128.0f});
}

TEST(FrameCoordinates, FrameWiderThanTheImageUsesTheFrameAsColumn)
{
    const SpriteEntry entry = strip_entry(10, 10, 16, 16, 20, 10);
    FrameCoords c;
    ASSERT_TRUE(anim_frame_coords(entry, 2, &c));
    EXPECT_FLOAT_EQ(c.u_left, 2 * 20.0f / 16.0f);
    EXPECT_FLOAT_EQ(c.v_bottom, 0.0f);
}

TEST(FrameCoordinates, NoFrameSizeNoFrame)
{
    const SpriteEntry entry = strip_entry(10, 10, 16, 16, 0, 0);
    FrameCoords c;
    EXPECT_FALSE(anim_frame_coords(entry, 0, &c));
}

// ---- loading ------------------------------------------------------------------

TEST_F(Sprites, StripOf38By35LiesInA64By64Texture)
{
    Picture picture(38, 35);
    picture.fill(9, 9, 9);
    load_strip(picture, 10, 38, 35);
    const SpriteEntry& e = renderer->sprites[10];
    EXPECT_NE(e.texture, 0u);
    EXPECT_EQ(e.texture_3d, 0u);   // nothing draws in 3D
    EXPECT_EQ(e.texture_width, 64);
    EXPECT_EQ(e.texture_height, 64);
    EXPECT_EQ(e.width, 38);
    EXPECT_EQ(e.height, 35);
    EXPECT_EQ(e.frame_width, 38);
    EXPECT_EQ(e.frame_height, 35);
    EXPECT_FLOAT_EQ(e.u_max, 0.59375f);
    EXPECT_FLOAT_EQ(e.v_max, 0.546875f);
    FrameCoords c;
    ASSERT_TRUE(anim_frame_coords(e, 0, &c));
    EXPECT_FLOAT_EQ(c.u_left, 0.0f);
    EXPECT_FLOAT_EQ(c.u_right, 0.59375f);
    EXPECT_FLOAT_EQ(c.v_bottom, 0.0f);
    EXPECT_FLOAT_EQ(c.v_top, 0.546875f);
    GLint gl_width = 0;
    glBindTexture(GL_TEXTURE_2D, e.texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &gl_width);
    EXPECT_EQ(gl_width, 64);
    int w = -1, h = -1;
    get_sprite_size(10, &w, &h);
    EXPECT_EQ(w, 38);
    EXPECT_EQ(h, 35);
}

TEST_F(Sprites, UploadedTexelsAreFlippedAndKeyed)
{
    const std::string path = folder.file("rgb.bmp");
    // A 24-bit BMP: rows bottom first, 2 pixels + 2 padding bytes each.
    const std::
        vector<unsigned char>
            bmp =
                {
                    'B', 'M', 70, 0,   0, 0,   0,   0, 0,   0,   54, 0,   0,  0, 40, 0,
                    0,   0,   2,  0,   0, 0,   2,   0, 0,   0,   1,  0,   24, 0, 0,  0,
                    0,   0,   0,  0,   0, 0,   0,   0, 0,   0,   0,  0,   0,  0, 0,  0,
                    0,   0,   0,  0,   0, 0,   128, 0, 255, 128, 0,  255, 0,  0,   // bottom row: key, key
                    30,  20,  10, 128, 0, 255, 0,   0};   // top row: (10, 20, 30), key
    write_bytes(path, bmp);
    load_sprite(path.c_str(), 11);
    ASSERT_EQ(runtime_status.status, STATUS_SUCCESS);
    const SpriteEntry& e = renderer->sprites[11];
    std::vector<uint8_t> texels(std::size_t(e.texture_width) * e.texture_height * 4);
    glBindTexture(GL_TEXTURE_2D, e.texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texel(texels, 4, 0, 1), (Colour{10, 20, 30, 255}));
    // The keyed texels are transparent, coloured by the edge fill.
    EXPECT_EQ(texel(texels, 4, 1, 1).a, 0);
    EXPECT_EQ(texel(texels, 4, 0, 0).a, 0);
}

TEST_F(Sprites, MissingOrBrokenFileLeavesTheEntryEmpty)
{
    Picture picture(4, 4);
    picture.fill(1, 2, 3);
    load_strip(picture, 12, 2, 2);
    load_sprite(folder.file("missing.png").c_str(), 12);
    EXPECT_EQ(runtime_status.status, STATUS_NO_SUCH_FILE);
    const SpriteEntry& e = renderer->sprites[12];
    EXPECT_EQ(e.width, 0);
    EXPECT_EQ(e.texture, 0u);
    EXPECT_EQ(e.frame_width, 2);   // a failed load leaves the frame size alone
    write_bytes(folder.file("broken.png"), bytes_of("\x89PNG\r\n\x1a\n not really"));
    load_anim(folder.file("broken.png").c_str(), 12, 5, 5);
    EXPECT_EQ(runtime_status.status, STATUS_NO_SUCH_FILE);
    EXPECT_EQ(e.frame_width, 2);
    load_sprite("", 12);
    EXPECT_EQ(runtime_status.status, STATUS_NO_SUCH_FILE);
}

TEST_F(Sprites, PlainLoadKeepsAnEarlierFrameSize)
{
    Picture picture(8, 4);
    picture.fill(5, 5, 5);
    load_strip(picture, 13, 4, 4);
    load(picture, 13);
    EXPECT_EQ(renderer->sprites[13].frame_width, 4);
    EXPECT_EQ(renderer->sprites[13].frame_height, 4);
}

TEST_F(Sprites, IdsOutsideTheTableAreIgnored)
{
    Picture picture(2, 2);
    picture.fill(1, 1, 1);
    load_sprite(save_picture(folder.file("p.png"), picture).c_str(), SPRITE_COUNT);
    EXPECT_EQ(runtime_status.status, STATUS_NO_SUCH_FILE);
    draw_sprite(-1, 0, 0);
    draw_anim(SPRITE_COUNT + 5, 0, 0, 0);
    zoom_sprite(-7, 0, 0, 2, 2);
    int w = 9, h = 9;
    get_sprite_size(-1, &w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(anim_collision(-1, 0, 0, 0, SPRITE_COUNT, 0, 0, 0), 0);
    EXPECT_EQ(screen_pixel(0, 0), BLACK);
}

TEST_F(Sprites, FindFreeSpriteSkipsLoadedIdsAndTheFontRange)
{
    std::vector<int16_t> saved(FONT_SPRITE_BASE);
    for (int id = 0; id < FONT_SPRITE_BASE; ++id) saved[id] = renderer->sprites[id].width;
    for (int id = 0; id < FONT_SPRITE_BASE; ++id) renderer->sprites[id].width = 1;
    renderer->sprites[700].width = 0;
    EXPECT_EQ(find_free_sprite(), 700);
    renderer->sprites[700].width = 1;
    // The font slots are free or not: they are never offered.
    renderer->sprites[FONT_SPRITE_BASE + 5].width = 0;
    EXPECT_EQ(find_free_sprite(), -1);
    for (int id = 0; id < FONT_SPRITE_BASE; ++id) renderer->sprites[id].width = saved[id];
}

// ---- drawing ------------------------------------------------------------------

TEST_F(Sprites, DrawSpritePlacesEveryPixelAndCutsTheKey)
{
    Picture picture(3, 2);
    picture.set(0, 0, 200, 0, 0);
    picture.set(1, 0, 0, 200, 0);
    picture.set(2, 0, 0, 0, 200);
    picture.set(0, 1, 50, 60, 70);
    picture.set(1, 1, 0, 0, 0, 0);   // transparent
    picture.set(2, 1, 90, 90, 90);
    load(picture, 20);
    draw_sprite(20, 10, 20);
    EXPECT_EQ(screen_pixel(10, 20), (Colour{200, 0, 0, 255}));
    EXPECT_EQ(screen_pixel(11, 20), (Colour{0, 200, 0, 255}));
    EXPECT_EQ(screen_pixel(12, 20), (Colour{0, 0, 200, 255}));
    EXPECT_EQ(screen_pixel(10, 21), (Colour{50, 60, 70, 255}));
    EXPECT_EQ(screen_pixel(11, 21), BLACK);
    EXPECT_EQ(screen_pixel(12, 21), (Colour{90, 90, 90, 255}));
    EXPECT_EQ(screen_pixel(13, 20), BLACK);
    EXPECT_EQ(screen_pixel(10, 22), BLACK);
    EXPECT_EQ(screen_pixel(9, 20), BLACK);
}

// A 4 x 4 strip of four 2 x 2 frames, each one colour.
Picture four_frames()
{
    const Colour colours[4] = {
        {200, 0, 0, 255}, {0, 200, 0, 255}, {0, 0, 200, 255}, {200, 200, 0, 255}};
    Picture picture(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const Colour c = colours[(y / 2) * 2 + x / 2];
            picture.set(x, y, c.r, c.g, c.b);
        }
    return picture;
}

TEST_F(Sprites, DrawAnimDrawsOneFrame)
{
    load_strip(four_frames(), 21, 2, 2);
    draw_anim(21, 2, 50, 60);   // row 1, column 0: blue
    for (int y = 60; y < 62; ++y)
        for (int x = 50; x < 52; ++x)
            EXPECT_EQ(screen_pixel(x, y), (Colour{0, 0, 200, 255})) << x << "," << y;
    EXPECT_EQ(screen_pixel(52, 60), BLACK);
    EXPECT_EQ(screen_pixel(50, 62), BLACK);
    draw_anim(21, 1, 70, 60);   // row 0, column 1: green
    EXPECT_EQ(screen_pixel(71, 61), (Colour{0, 200, 0, 255}));
}

TEST_F(Sprites, DrawAnimWithoutFrameSizeDrawsNothing)
{
    load(four_frames(), 22);
    renderer->sprites[22].frame_width = 0;
    draw_anim(22, 0, 5, 5);
    EXPECT_EQ(screen_pixel(5, 5), BLACK);
}

TEST_F(Sprites, ZoomByOneMatchesDrawSprite)
{
    Picture picture(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) picture.set(x, y, 40 * x + 10, 60 * y + 20, 99);
    load(picture, 23);
    draw_sprite(23, 30, 40);
    zoom_sprite(23, 130, 40, 1.0, 1.0);
    for (int y = 39; y < 44; ++y)
        for (int x = 29; x < 36; ++x)
            EXPECT_EQ(screen_pixel(x, y), screen_pixel(x + 100, y)) << x << "," << y;
}

TEST_F(Sprites, ZoomByTwoDoublesAboutTheCentre)
{
    Picture picture(4, 2);
    for (int x = 0; x < 4; ++x) {
        picture.set(x, 0, 50 * x + 10, 0, 0);
        picture.set(x, 1, 0, 50 * x + 10, 0);
    }
    load(picture, 24);
    set_smoothing(0);
    zoom_sprite(24, 100, 100, 2.0, 2.0);   // covers (98, 99) to (106, 103)
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            const Colour source = picture_pixel(picture, x / 2, y / 2);
            EXPECT_EQ(screen_pixel(98 + x, 99 + y), source) << x << "," << y;
        }
    EXPECT_EQ(screen_pixel(97, 99), BLACK);
    EXPECT_EQ(screen_pixel(106, 99), BLACK);
    EXPECT_EQ(screen_pixel(98, 103), BLACK);
}

TEST_F(Sprites, StretchWithNegativeWidthMirrors)
{
    Picture picture(3, 1);
    picture.set(0, 0, 255, 0, 0);
    picture.set(1, 0, 0, 255, 0);
    picture.set(2, 0, 0, 0, 255);
    load(picture, 25);
    set_smoothing(0);
    stretch_sprite(25, 63, 10, -3, 1);   // covers 60..62, mirrored
    EXPECT_EQ(screen_pixel(60, 10), (Colour{0, 0, 255, 255}));
    EXPECT_EQ(screen_pixel(61, 10), (Colour{0, 255, 0, 255}));
    EXPECT_EQ(screen_pixel(62, 10), (Colour{255, 0, 0, 255}));
    stretch_sprite(25, 60, 20, 6, 2);   // doubled across, two rows
    EXPECT_EQ(screen_pixel(61, 21), (Colour{255, 0, 0, 255}));
    EXPECT_EQ(screen_pixel(64, 20), (Colour{0, 0, 255, 255}));
}

TEST_F(Sprites, RotationTurnsAboutTheCentre)
{
    Picture picture(2, 2);
    picture.set(0, 0, 255, 0, 0);     // top-left red
    picture.set(1, 0, 0, 255, 0);     // top-right green
    picture.set(0, 1, 0, 0, 255);     // bottom-left blue
    picture.set(1, 1, 255, 255, 0);   // bottom-right yellow
    load(picture, 26);
    set_smoothing(0);
    rotate_sprite(26, 10, 10, 0);
    EXPECT_EQ(screen_pixel(10, 10), (Colour{255, 0, 0, 255}));
    EXPECT_EQ(screen_pixel(11, 11), (Colour{255, 255, 0, 255}));
    rotate_sprite(26, 20, 10, 180);
    EXPECT_EQ(screen_pixel(20, 10), (Colour{255, 255, 0, 255}));
    EXPECT_EQ(screen_pixel(21, 11), (Colour{255, 0, 0, 255}));
    // Turning about -z: on this y-down screen the right edge goes up.
    rotate_sprite(26, 30, 10, 90);
    EXPECT_EQ(screen_pixel(30, 10), (Colour{0, 255, 0, 255}));
    EXPECT_EQ(screen_pixel(30, 11), (Colour{255, 0, 0, 255}));
    rotate_zoom_sprite(26, 40, 40, 0, 2);   // 4 x 4 about the centre (41, 41)
    EXPECT_EQ(screen_pixel(39, 39), (Colour{255, 0, 0, 255}));
    EXPECT_EQ(screen_pixel(42, 42), (Colour{255, 255, 0, 255}));
}

TEST_F(Sprites, FrameRotationAndStretchUseTheFrame)
{
    load_strip(four_frames(), 27, 2, 2);
    set_smoothing(0);
    rotate_zoom_anim(27, 3, 10, 100, 0, 1);
    EXPECT_EQ(screen_pixel(10, 100), (Colour{200, 200, 0, 255}));
    EXPECT_EQ(screen_pixel(11, 101), (Colour{200, 200, 0, 255}));
    stretch_anim(27, 1, 20, 100, 6, 3);
    EXPECT_EQ(screen_pixel(20, 100), (Colour{0, 200, 0, 255}));
    EXPECT_EQ(screen_pixel(25, 102), (Colour{0, 200, 0, 255}));
    EXPECT_EQ(screen_pixel(27, 100), BLACK);
}

TEST_F(Sprites, EmptyEntryDrawsNothing)
{
    reset_sprite(28);
    renderer->sprites[28].frame_width = 4;   // a strip whose reload failed
    renderer->sprites[28].frame_height = 4;
    draw_anim(28, 0, 0, 0);
    draw_sprite(28, 0, 0);
    stretch_sprite(28, 0, 0, 10, 10);
    EXPECT_EQ(screen_pixel(1, 1), BLACK);
}

// ---- grouped draws --------------------------------------------------------------

// The grouping scene (grouping_scene.h) on a clean picture, read back.
Picture grouping_scene_picture(bool one_by_one)
{
    start_clean_frame();
    draw_grouping_scene(one_by_one);
    return read_screen();
}

TEST_F(Sprites, GroupedQuadsGiveThePixelsOfQuadsDrawnOneByOne)
{
    Picture red(5, 5), green(4, 6);
    red.fill(220, 30, 30, 200);
    green.fill(30, 220, 60);
    green.set(1, 1, 0, 0, 0, 0);   // a transparent pixel lets what is under it show
    load(red, 50, "red.png");
    load(green, 51, "green.png");
    load_strip(four_frames(), 52, 2, 2);
    load_font("", 0);
    set_font(0);
    const Picture grouped = grouping_scene_picture(false);
    const Picture alone = grouping_scene_picture(true);
    // The scene is not empty, and the grab was drawn back with what it held.
    EXPECT_FALSE(picture_pixel(alone, 11, 11) == BLACK);
    EXPECT_EQ(picture_pixel(alone, 42, 42), picture_pixel(alone, 10, 10));
    EXPECT_FALSE(picture_pixel(alone, 42, 42) == BLACK);
    int differing = 0;
    for (int y = 0; y < alone.height; ++y)
        for (int x = 0; x < alone.width; ++x)
            differing += picture_pixel(grouped, x, y) == picture_pixel(alone, x, y) ? 0 : 1;
    EXPECT_EQ(differing, 0);
}

// ---- collisions ----------------------------------------------------------------

class Collisions : public Sprites {
protected:
    void SetUp() override
    {
        Sprites::SetUp();
        Picture solid(4, 4);
        solid.fill(200, 10, 10);
        load(solid, SOLID, "solid.png");
        // Left half transparent (the key colour in an RGB-like way: alpha 0).
        Picture half(4, 4);
        half.fill(10, 200, 10);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 2; ++x) half.set(x, y, 0, 0, 0, 0);
        load(half, HALF, "half.png");
    }

    static constexpr int SOLID = 40;
    static constexpr int HALF = 41;
};

TEST_F(Collisions, OverlapCollides)
{
    EXPECT_EQ(sprite_collision(SOLID, 0, 0, SOLID, 2, 2), 1);
    EXPECT_EQ(sprite_collision(SOLID, 10, 10, SOLID, 7, 7), 1);
    EXPECT_EQ(anim_collision(SOLID, 0, 0, 0, SOLID, 0, 3, 3), 1);
}

TEST_F(Collisions, TouchingEdgesNeverCollide)
{
    EXPECT_EQ(sprite_collision(SOLID, 0, 0, SOLID, 4, 0), 0);
    EXPECT_EQ(sprite_collision(SOLID, 0, 0, SOLID, 0, 4), 0);
    EXPECT_EQ(sprite_collision(SOLID, 4, 4, SOLID, 0, 0), 0);
    EXPECT_EQ(sprite_collision(SOLID, 0, 0, SOLID, 20, 0), 0);
}

TEST_F(Collisions, TransparentPixelsDoNotCollide)
{
    // HALF at x 2: its transparent columns 0-1 lie over SOLID's columns 2-3.
    EXPECT_EQ(sprite_collision(SOLID, 0, 0, HALF, 2, 0), 0);
    EXPECT_EQ(sprite_collision(HALF, 2, 0, SOLID, 0, 0), 0);
    // At x 1 its opaque column 2 lies over SOLID's column 3.
    EXPECT_EQ(sprite_collision(SOLID, 0, 0, HALF, 1, 0), 1);
}

TEST_F(Collisions, ColourKeyedPixelsDoNotCollide)
{
    // A 24-bit BMP, 4 x 1: key, key, red, red.
    const std::vector<unsigned char> bmp = {
        'B', 'M', 70, 0, 0, 0, 0,  0, 0, 0, 54,  0, 0,   0,   40, 0,   0, 0, 4,   0, 0, 0,
        1,   0,   0,  0, 1, 0, 24, 0, 0, 0, 0,   0, 0,   0,   0,  0,   0, 0, 0,   0, 0, 0,
        0,   0,   0,  0, 0, 0, 0,  0, 0, 0, 128, 0, 255, 128, 0,  255, 0, 0, 255, 0, 0, 255};
    write_bytes(folder.file("keyed.bmp"), bmp);
    load_sprite(folder.file("keyed.bmp").c_str(), 42);
    ASSERT_EQ(runtime_status.status, STATUS_SUCCESS);
    EXPECT_EQ(sprite_collision(42, 0, 0, SOLID, -2, 0), 0);
    EXPECT_EQ(sprite_collision(42, 0, 0, SOLID, -1, 0), 1);
}

TEST_F(Collisions, FaintAlphaStillCollides)
{
    Picture faint(1, 1);
    faint.set(0, 0, 100, 100, 100, 5);   // dropped by the alpha test, yet opaque here
    load(faint, 43, "faint.png");
    EXPECT_EQ(sprite_collision(43, 1, 1, SOLID, 0, 0), 1);
}

TEST_F(Collisions, EverySinglePixelIsFoundByThePasses)
{
    for (int py = 0; py < 3; ++py)
        for (int px = 0; px < 3; ++px) {
            Picture dot(3, 3);
            dot.set(px, py, 255, 255, 255);
            load(dot, 44, "dot.png");
            EXPECT_EQ(sprite_collision(44, 5, 5, SOLID, 4, 4), 1) << px << "," << py;
            // SOLID just right of the dot's column covers only transparent pixels.
            EXPECT_EQ(sprite_collision(44, 5, 5, SOLID, 5 + px + 1, 5), 0) << px << "," << py;
        }
}

TEST_F(Collisions, FramesUseTheirOwnPartOfTheStrip)
{
    // 8 x 4: frame 0 opaque, frame 1 transparent except its bottom-right pixel.
    Picture strip(8, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) strip.set(x, y, 255, 255, 255);
    strip.set(7, 3, 255, 255, 255);
    load_strip(strip, 45, 4, 4);
    EXPECT_EQ(anim_collision(45, 0, 0, 0, SOLID, 0, 3, 3), 1);
    EXPECT_EQ(anim_collision(45, 1, 0, 0, SOLID, 0, -2, -2), 0);   // misses (3, 3)
    EXPECT_EQ(anim_collision(45, 1, 0, 0, SOLID, 0, 3, 3), 1);     // covers (3, 3)
    // The whole image: frame 1's transparent part at 5..7 over SOLID at 5.
    EXPECT_EQ(sprite_collision(45, 0, 0, SOLID, 5, -3), 0);
    EXPECT_EQ(sprite_collision(45, 0, 0, SOLID, 5, 0), 1);
}

TEST_F(Collisions, FrameWiderThanTheImageUsesOneFramePerRow)
{
    Picture column(2, 4);
    column.fill(255, 255, 255);
    for (int x = 0; x < 2; ++x)
        for (int y = 0; y < 2; ++y)
            column.set(x, y, 0, 0, 0, 0);   // frame 0 transparent, frame 1 opaque
    load_strip(column, 46, 3, 2);
    EXPECT_EQ(anim_collision(46, 0, 0, 0, SOLID, 0, 0, 0), 0);
    EXPECT_EQ(anim_collision(46, 1, 0, 0, SOLID, 0, 0, 0), 1);
}

TEST_F(Collisions, MasksAreCachedUntilTheSpriteIsReloaded)
{
    EXPECT_TRUE(renderer->masks[SOLID].empty());
    EXPECT_EQ(sprite_collision(SOLID, 0, 0, SOLID, 1, 1), 1);
    ASSERT_GE(renderer->masks[SOLID].size(), 64u);
    EXPECT_EQ(renderer->masks[SOLID][0], 255);   // texture row 0 = the image's bottom row
    Picture empty(4, 4);
    load(empty, SOLID, "empty.png");
    EXPECT_TRUE(renderer->masks[SOLID].empty());
    EXPECT_EQ(sprite_collision(SOLID, 0, 0, HALF, 0, 0), 0);
}

TEST_F(Collisions, EmptySpritesNeverCollide)
{
    reset_sprite(47);
    EXPECT_EQ(sprite_collision(47, 0, 0, SOLID, 0, 0), 0);
    EXPECT_EQ(anim_collision(SOLID, 0, 0, 0, 47, 3, 0, 0), 0);
}

}   // namespace
