/*
 * test_grabs.cpp - screen grabs into sprites (with and without frame-buffer
 * alpha), the doubled screen copy, background layers, the screen and sprite
 * savers, single pixels, and the picture's fit in the window.  Runs the real
 * runtime headless (320 x 240) under Xvfb.
 */
#include <GL/gl.h>
#include <GL/glext.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/errors.h"
#include "engine/window.h"
#include "media/background.h"
#include "media/grabs.h"
#include "media/image.h"
#include "media/renderer.h"
#include "media/screen_picture.h"
#include "media/sprites.h"
#include "support/harness.h"
#include "support/pictures.h"
#include "support/scratch_folder.h"

namespace {

constexpr int W = 320;
constexpr int H = 240;
constexpr int PATTERN_SPRITE = 60;
constexpr int SCREEN_GRAB_ID = 999;   // the sprite the game grabs its screen into
const Colour BLACK = {0, 0, 0, 255};
const Colour KEY_PINK = {255, 0, 128, 255};

// Every pixel of the screen differs from its neighbours; one pixel has the
// sprite transparent colour.
Picture pattern()
{
    Picture picture(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            picture.set(x, y, x % 256, y, (x / 256) * 100 + (x * 7 + y * 3) % 97);
    picture.set(33, 44, 255, 0, 128);
    return picture;
}

uint32_t le32(const std::vector<unsigned char>& b, std::size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

class Grabs : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(start_test_runtime(W, H));
        ASSERT_EQ(renderer->screen_width, W);
        start_clean_frame();
    }
    void TearDown() override { clear_background(0, true); }

    // Draws the pattern over the whole screen.
    void draw_pattern()
    {
        if (renderer->sprites[PATTERN_SPRITE].width == 0) {
            load_sprite(save_picture(folder.file("pattern.png"), pattern()).c_str(),
                        PATTERN_SPRITE);
            ASSERT_EQ(runtime_status.status, STATUS_SUCCESS);
        }
        draw_sprite(PATTERN_SPRITE, 0, 0);
    }

    ScratchFolder folder;
};

// ---- grabs ----------------------------------------------------------------------

TEST_F(Grabs, ScreenGrabZoomedByTwoDoublesEveryPixel)
{
    draw_pattern();
    const Picture drawn = read_screen();
    ASSERT_EQ(picture_pixel(drawn, 100, 50), picture_pixel(pattern(), 100, 50));
    grab_sprite(SCREEN_GRAB_ID, 0, 0, W, H);
    const SpriteEntry& e = renderer->sprites[SCREEN_GRAB_ID];
    EXPECT_EQ(e.width, W);
    EXPECT_EQ(e.height, H);
    EXPECT_EQ(e.texture_width, 512);
    EXPECT_EQ(e.texture_height, 256);
    EXPECT_FLOAT_EQ(e.u_max, 0.625f);
    EXPECT_FLOAT_EQ(e.v_max, 0.9375f);
    EXPECT_EQ(e.frame_width, 0);

    start_clean_frame();
    set_smoothing(0);
    zoom_sprite(SCREEN_GRAB_ID, 160, 120, 2.0,
                2.0);   // (0, 0) to (640, 480): the top-left quarter shows
    const Picture zoomed = read_screen();
    for (int y = 0; y < H / 2; ++y)
        for (int x = 0; x < W / 2; ++x) {
            const Colour source = picture_pixel(drawn, x, y);
            for (int d = 0; d < 4; ++d)
                ASSERT_EQ(picture_pixel(zoomed, 2 * x + d % 2, 2 * y + d / 2), source)
                    << x << "," << y << " corner " << d;
        }
}

TEST_F(Grabs, GrabCopiesTheRectangleAtItsPlace)
{
    draw_pattern();
    grab_sprite(61, 25, 35, 10, 12);
    start_clean_frame();
    draw_sprite(61, 100, 100);
    const Picture source = pattern();
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(screen_pixel(100 + x, 100 + y), picture_pixel(source, 25 + x, 35 + y))
                << x << "," << y;
    EXPECT_EQ(screen_pixel(110, 100), BLACK);
}

TEST_F(Grabs, GrabTexturesGrowAndAreReused)
{
    renderer->sprites[62].frame_width = 5;
    renderer->sprites[62].frame_height = 5;
    grab_sprite(62, 0, 0, 20, 10);
    const SpriteEntry& e = renderer->sprites[62];
    EXPECT_EQ(e.texture_width, 32);
    EXPECT_EQ(e.texture_height, 32);
    EXPECT_EQ(e.frame_width, 0);   // a grab is a plain sprite
    EXPECT_EQ(e.frame_height, 0);
    const uint32_t first = e.texture;
    grab_sprite(62, 5, 5, 30, 20);
    EXPECT_EQ(e.texture, first);   // same texture size: reused
    EXPECT_EQ(e.width, 30);
    grab_sprite(62, 0, 0, 40, 10);
    EXPECT_EQ(e.texture_width, 64);
    EXPECT_FLOAT_EQ(e.u_max, 40.0f / 64.0f);
    GLint gl_width = 0;
    glBindTexture(GL_TEXTURE_2D, e.texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &gl_width);
    EXPECT_EQ(gl_width, 64);
}

TEST_F(Grabs, GrabDropsTheCollisionMask)
{
    draw_pattern();
    grab_sprite(63, 0, 0, 8, 8);
    EXPECT_EQ(sprite_collision(63, 0, 0, 63, 1, 1), 1);
    EXPECT_FALSE(renderer->masks[63].empty());
    grab_sprite(63, 0, 0, 8, 8);
    EXPECT_TRUE(renderer->masks[63].empty());
}

// A drawing target of the test's own, bound for drawing while it lives:
// by default one without alpha bits, the size of the screen.
struct OwnTarget {
    GLuint framebuffer = 0, colour = 0;
    explicit OwnTarget(GLenum format = GL_RGB8, int width = W, int height = H)
    {
        glGenFramebuffers(1, &framebuffer);
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    }
    ~OwnTarget()
    {
        bind_drawing_picture();
        glDeleteRenderbuffers(1, &colour);
        glDeleteFramebuffers(1, &framebuffer);
    }
};

TEST_F(Grabs, WithoutFrameBufferAlphaTheKeyColourBecomesTransparent)
{
    {
        OwnTarget target;
        ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
        GLint alpha_bits = -1;
        glGetIntegerv(GL_ALPHA_BITS, &alpha_bits);
        ASSERT_EQ(alpha_bits, 0);
        start_clean_frame();
        draw_pattern();
        set_pixel(2, 3, DEFAULT_SPRITE_KEY);
        grab_sprite(64, 0, 0, 8, 8);
    }
    const SpriteEntry& e = renderer->sprites[64];
    ASSERT_EQ(e.texture_width, 32);
    std::vector<uint8_t> texels(32 * 32 * 4);
    glBindTexture(GL_TEXTURE_2D, e.texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    const Picture source = pattern();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const uint8_t* t =
                &texels[((7 - y) * 32 + x) * 4];   // texture row 0 = the grab's bottom row
            const bool keyed = x == 2 && y == 3;
            const Colour want = keyed ? KEY_PINK : picture_pixel(source, x, y);
            EXPECT_EQ((Colour{t[0], t[1], t[2], 255}), want) << x << "," << y;
            EXPECT_EQ(t[3], keyed ? 0 : 255) << x << "," << y;
        }
}

TEST_F(Grabs, WithFrameBufferAlphaTheGrabKeepsThatAlpha)
{
    set_pixel(2, 3, DEFAULT_SPRITE_KEY);   // drawn with alpha 0
    set_pixel(4, 3, 0x00ff00);
    grab_sprite(65, 0, 0, 8, 8);
    std::vector<uint8_t> texels(32 * 32 * 4);
    glBindTexture(GL_TEXTURE_2D, renderer->sprites[65].texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[((7 - 3) * 32 + 2) * 4 + 3], 0);
    EXPECT_EQ(texels[((7 - 3) * 32 + 4) * 4 + 3], 255);
    EXPECT_EQ(texels[((7 - 3) * 32 + 4) * 4 + 1], 255);
}

// ---- background layers ----------------------------------------------------------

TEST_F(Grabs, BackgroundBecomesTheStartOfEveryFrame)
{
    draw_pattern();
    const Picture drawn = read_screen();
    use_as_background();
    const BackgroundLayer& layer = background_layer(0);
    EXPECT_EQ(layer.columns, 1);
    EXPECT_EQ(layer.rows, 1);
    EXPECT_EQ(layer.tiles[0][0].texture_width, 512);
    EXPECT_EQ(layer.tiles[0][0].texture_height, 512);
    EXPECT_EQ(layer.tiles[0][0].tile_width, W);
    EXPECT_EQ(layer.tiles[0][0].tile_height, H);
    const uint32_t texture = layer.tiles[0][0].texture;
    run_frames(2);
    EXPECT_EQ(read_screen().rgba, drawn.rgba);
    use_as_background();
    EXPECT_EQ(layer.tiles[0][0].texture, texture);   // same size: the tile is reused
    clear_background(0, true);
    run_frames(1);
    EXPECT_EQ(screen_pixel(100, 100), BLACK);
}

TEST_F(Grabs, EmptyOrUnknownLayersDrawNothing)
{
    draw_background(0);
    draw_background(-1);
    draw_background(BACKGROUND_LAYERS);
    EXPECT_EQ(screen_pixel(10, 10), BLACK);
}

TEST_F(Grabs, LoadBackgroundTilesTheImage)
{
    Picture big(600, 300);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 600; ++x) big.set(x, y, x % 200, y % 250, 77);
    load_background(save_picture(folder.file("back.png"), big).c_str());
    EXPECT_EQ(runtime_status.status, STATUS_SUCCESS);
    const BackgroundLayer& layer = background_layer(0);
    EXPECT_EQ(layer.columns, 2);
    EXPECT_EQ(layer.rows, 1);
    EXPECT_EQ(layer.tiles[1][0].tile_width, 512);
    EXPECT_EQ(layer.tiles[1][0].texture_width, 512);
    const Picture shown = read_screen();
    for (int y = 0; y < H; y += 7)
        for (int x = 0; x < W; x += 5)
            ASSERT_EQ(picture_pixel(shown, x, y), picture_pixel(big, x, y)) << x << "," << y;
}

TEST_F(Grabs, LoadBackgroundFailureClearsLayerAndScreen)
{
    draw_pattern();
    use_as_background();
    load_background(folder.file("missing.png").c_str());
    EXPECT_EQ(runtime_status.status, STATUS_NO_SUCH_FILE);
    EXPECT_EQ(background_layer(0).columns, 0);
    EXPECT_EQ(background_layer(0).tiles[0][0].texture, 0u);
    EXPECT_EQ(screen_pixel(100, 100), BLACK);
}

// ---- saving ------------------------------------------------------------------------

TEST_F(Grabs, SaveScreenWritesTheLastPresentedFrameAsBmp)
{
    draw_pattern();
    const Picture drawn = read_screen();
    run_frames(1);               // present it
    set_pixel(1, 1, 0xffffff);   // the new frame's drawing is not what is saved
    const std::string path = folder.file("temp.BMP");
    save_screen(path.c_str());
    EXPECT_EQ(runtime_status.status, STATUS_SUCCESS);
    const std::vector<unsigned char> file = read_bytes(path);
    ASSERT_EQ(file.size(), 230454u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(le32(file, 2), 230454u);
    EXPECT_EQ(le32(file, 10), 54u);
    EXPECT_EQ(le32(file, 14), 40u);
    EXPECT_EQ(le32(file, 18), uint32_t(W));
    EXPECT_EQ(le32(file, 22), uint32_t(H));
    EXPECT_EQ(file[26] | file[27] << 8, 1);
    EXPECT_EQ(file[28] | file[29] << 8, 24);
    EXPECT_EQ(le32(file, 30), 0u);
    EXPECT_EQ(le32(file, 38), 10000u);
    EXPECT_EQ(le32(file, 42), 10000u);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const unsigned char* p = &file[54 + (std::size_t(H - 1 - y) * W + x) * 3];
            ASSERT_EQ((Colour{p[2], p[1], p[0], 255}), picture_pixel(drawn, x, y)) << x << "," << y;
        }
    // The transparent colour is written as blue 128, green 0, red 255.
    const unsigned char* key = &file[54 + (std::size_t(H - 1 - 44) * W + 33) * 3];
    EXPECT_EQ(key[0], 128);
    EXPECT_EQ(key[1], 0);
    EXPECT_EQ(key[2], 255);
}

TEST_F(Grabs, SaveScreenWritesPngWithTheKeyTransparent)
{
    draw_pattern();
    const Picture drawn = read_screen();
    run_frames(1);
    const std::string path = folder.file("shot.Png");
    save_screen(path.c_str());
    EXPECT_EQ(runtime_status.status, STATUS_SUCCESS);
    const std::vector<unsigned char> file = read_bytes(path);
    DecodedImage image;
    ASSERT_TRUE(read_png(image, "shot", file.data(), file.size(), NO_COLOUR_KEY));
    ASSERT_EQ(image.width, W);
    ASSERT_EQ(image.height, H);
    for (int y = 0; y < H; y += 3)
        for (int x = 0; x < W; x += 3) {
            const uint8_t* p = &image.pixels[(std::size_t(y) * W + x) * 4];
            ASSERT_EQ((Colour{p[0], p[1], p[2], p[3]}), picture_pixel(drawn, x, y))
                << x << "," << y;
        }
    EXPECT_EQ(image.pixels[(44 * W + 33) * 4 + 3], 0);
}

TEST_F(Grabs, SaveScreenLeavesThePictureAsItWas)
{
    draw_pattern();
    const Picture before = read_screen();
    save_screen(folder.file("x.bmp").c_str());
    EXPECT_EQ(read_screen().rgba, before.rgba);   // the borrowed key pixel is put back
}

TEST_F(Grabs, SaveScreenToAnUnwritablePlaceGivesStatusThree)
{
    save_screen("/nonexistent-folder/temp.BMP");
    EXPECT_EQ(runtime_status.status, STATUS_NO_SUCH_FILE);
}

TEST_F(Grabs, SaveSpriteWritesItsImage)
{
    Picture picture(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) picture.set(x, y, 40 * x, 100 + y, 9);
    load_sprite(save_picture(folder.file("s.png"), picture).c_str(), 66);
    ASSERT_EQ(runtime_status.status, STATUS_SUCCESS);
    for (const char* name : {"sprite.bmp", "sprite.png"}) {
        const std::string path = folder.file(name);
        save_sprite(path.c_str(), 66);
        EXPECT_EQ(runtime_status.status, STATUS_SUCCESS);
        const std::vector<unsigned char> file = read_bytes(path);
        DecodedImage image;
        ASSERT_TRUE(decode_image(image, name, file.data(), file.size(), NO_COLOUR_KEY)) << name;
        ASSERT_EQ(image.width, 5);
        ASSERT_EQ(image.height, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const uint8_t* p = &image.pixels[(std::size_t(y) * 5 + x) * 4];
                EXPECT_EQ((Colour{p[0], p[1], p[2], p[3]}), picture_pixel(picture, x, y))
                    << name << " " << x << "," << y;
            }
    }
    reset_sprite(67);
    save_sprite(folder.file("none.bmp").c_str(), 67);
    EXPECT_EQ(runtime_status.status, STATUS_NO_SUCH_FILE);
}

// ---- single pixels -------------------------------------------------------------------

TEST_F(Grabs, SetPixelThenGetPixel)
{
    const int colour = 10 + 256 * 20 + 65536 * 30;
    set_pixel(5, 7, colour);
    EXPECT_EQ(get_pixel(5, 7), colour);
    EXPECT_EQ(get_pixel(6, 7), 0);
    EXPECT_EQ(get_pixel(5, 8), 0);
    EXPECT_EQ(get_pixel(4, 7), 0);
    EXPECT_EQ(get_pixel(5, 6), 0);
    set_pixel(W - 1, H - 1, 0xffffff);
    EXPECT_EQ(get_pixel(W - 1, H - 1), 0xffffff);
}

TEST_F(Grabs, SetPixelOfTheKeyColourHasAlphaZero)
{
    set_pixel(9, 9, DEFAULT_SPRITE_KEY);
    EXPECT_EQ(get_pixel(9, 9), DEFAULT_SPRITE_KEY);
    EXPECT_EQ(screen_pixel(9, 9).a, 0);
    set_pixel(10, 9, 0x123456);
    EXPECT_EQ(screen_pixel(10, 9).a, 255);
}

}   // namespace

// ---- the picture's fit in the window ----------------------------------------------

namespace {

// Black and white pixel columns, one each in turn, over the picture being
// drawn.
void draw_columns()
{
    bind_drawing_picture();
    glEnable(GL_SCISSOR_TEST);
    for (int x = 0; x < 2 * W; ++x) {
        const float grey = float(x % 2);
        glScissor(x, 0, 1, 2 * H);
        glClearColor(grey, grey, grey, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
}

struct ShownRow {
    PictureRect rect;
    std::vector<uint8_t> rgba;   // one row of the window, left to right
};

// The middle row of a window_w x window_h framebuffer (first filled with red)
// after the picture is drawn into it as the fit places it, on the desktop's
// screen: the 320 x 240 corner of a 640 x 480 picture.
ShownRow shown_middle_row(PictureFit fit, int window_w, int window_h)
{
    set_screen(2 * W, 2 * H, 0);
    show_picture_corner(W, H);
    OwnTarget window(GL_RGBA8, window_w, window_h);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    draw_columns();
    set_picture_fit(fit);
    ShownRow shown{fit_picture(window_w, window_h, 2 * W, 2 * H, fit), {}};
    draw_shown_picture(window.framebuffer, shown.rect);
    set_picture_fit(PictureFit::whole_pixels);
    shown.rgba.resize(std::size_t(window_w) * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, window.framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, window_h / 2, window_w, 1, GL_RGBA, GL_UNSIGNED_BYTE, shown.rgba.data());
    show_picture_corner(0, 0);
    set_screen(W, H, 0);
    return shown;
}

struct Columns {
    std::vector<int> widths;   // window pixels of each picture column, left to right
    int blended = 0;           // pixels neither near black nor near white
    int outside_not_bar = 0;   // pixels beside the picture that are not the bars' red
};

// Each window pixel counts for the column whose colour it is nearer to.
Columns columns_of(const ShownRow& shown)
{
    Columns found;
    const int width = int(shown.rgba.size() / 4);
    int last_white = -1;
    for (int x = 0; x < width; ++x) {
        const uint8_t* p = &shown.rgba[std::size_t(x) * 4];
        if (x < shown.rect.x || x >= shown.rect.x + shown.rect.width) {
            if (!(p[0] == 255 && p[1] == 0 && p[2] == 0)) ++found.outside_not_bar;
            continue;
        }
        if (p[1] > 40 && p[1] < 215) ++found.blended;
        const int white = p[1] >= 128;
        if (white != last_white) found.widths.push_back(0);
        last_white = white;
        ++found.widths.back();
    }
    return found;
}

}   // namespace

// Fill at 1920 x 1080: the largest 4:3 size, bars only at the sides, every
// picture column as wide as the others give or take one window pixel, sharp
// to 4x first so only the last 1.125 is smooth (a pixel or two of blend at
// each of the 319 edges, where a smooth 4.5x would blur three or four, and
// nearest-neighbour all the way none).
// Whole pixels: 4x, bars all round, every column 4 wide and no blend.
TEST_F(Grabs, FillAndWholePixelsAtFullHd)
{
    struct Case {
        PictureFit fit;
        PictureRect rect;
        int max_width_spread;
        int min_blended, max_blended;
    };
    for (const Case& c : {Case{PictureFit::fill, {240, 0, 1440, 1080}, 1, W / 4, 2 * (W - 1)},
                          Case{PictureFit::whole_pixels, {320, 60, 1280, 960}, 0, 0, 0}}) {
        const ShownRow shown = shown_middle_row(c.fit, 1920, 1080);
        EXPECT_EQ(shown.rect.x, c.rect.x);
        EXPECT_EQ(shown.rect.y, c.rect.y);
        EXPECT_EQ(shown.rect.width, c.rect.width);
        EXPECT_EQ(shown.rect.height, c.rect.height);
        const Columns columns = columns_of(shown);
        EXPECT_EQ(columns.outside_not_bar, 0);
        ASSERT_EQ(columns.widths.size(), std::size_t(W));
        const auto [narrowest, widest] =
            std::minmax_element(columns.widths.begin(), columns.widths.end());
        EXPECT_LE(*widest - *narrowest, c.max_width_spread) << *narrowest << " to " << *widest;
        EXPECT_EQ(*widest + *narrowest, c.fit == PictureFit::fill ? 9 : 8);
        EXPECT_GE(columns.blended, c.min_blended);
        EXPECT_LE(columns.blended, c.max_blended);
    }
}

TEST(PictureFit, PlacementsInWindowsOfEveryShape)
{
    // A window of exactly a whole multiple: both fits agree, no bars.
    for (PictureFit fit : {PictureFit::whole_pixels, PictureFit::fill}) {
        const PictureRect exact = fit_picture(1280, 960, 640, 480, fit);
        EXPECT_EQ(exact.width, 1280);
        EXPECT_EQ(exact.x, 0);
    }
    // Tall: fill keeps the shape, with bars above and below.
    const PictureRect tall = fit_picture(1080, 1920, 640, 480, PictureFit::fill);
    EXPECT_EQ(tall.width, 1080);
    EXPECT_EQ(tall.height, 810);
    EXPECT_EQ(tall.y, (1920 - 810) / 2);
    // Smaller than the picture: both shrink to fit.
    const PictureRect small = fit_picture(400, 300, 640, 480, PictureFit::whole_pixels);
    EXPECT_EQ(small.width, 320);   // the largest half step, 0.5
    EXPECT_EQ(fit_picture(400, 300, 640, 480, PictureFit::fill).width, 400);
}
