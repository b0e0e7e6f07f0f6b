/*
 * grouping_twin.cpp - the grouping scene drawn grouped and one by one on a
 * bare window of the runtime's GL, each picture printed as rows of hex RGB.
 * Built for the desktop and for the browser (grouping_twin.js compares the
 * two engines' pictures pixel by pixel): the browser's drawing must give
 * the desktop's pixels.
 *
 *   grouping_twin        prints "picture grouped|one_by_one W H" and H rows
 */
#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>
#include <vector>

#include "grouping_scene.h"
#include "media/fonts.h"
#include "media/gl_target.h"
#include "media/image.h"
#include "media/quad_batch.h"
#include "media/renderer.h"
#include "media/screen_picture.h"
#include "media/sprites.h"

namespace {

constexpr int SIDE = 64;

struct Rgba {
    uint8_t r, g, b, a;
};

DecodedImage filled(int w, int h, Rgba colour)
{
    DecodedImage image;
    allocate_image(image, w, h);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = colour.r;
        image.pixels[i + 1] = colour.g;
        image.pixels[i + 2] = colour.b;
        image.pixels[i + 3] = colour.a;
    }
    return image;
}

void set_pixel(DecodedImage& image, int x, int y, Rgba colour)
{
    uint8_t* p = &image.pixels[(std::size_t(y) * image.width + x) * 4];
    p[0] = colour.r;
    p[1] = colour.g;
    p[2] = colour.b;
    p[3] = colour.a;
}

// Four 2 x 2 frames: red, green, blue, yellow.
DecodedImage four_frames()
{
    const Rgba colours[4] = {
        {200, 0, 0, 255}, {0, 200, 0, 255}, {0, 0, 200, 255}, {200, 200, 0, 255}};
    DecodedImage strip = filled(4, 4, colours[0]);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) set_pixel(strip, x, y, colours[(y / 2) * 2 + x / 2]);
    return strip;
}

bool load_scene_sprites()
{
    DecodedImage green = filled(4, 6, {30, 220, 60, 255});
    set_pixel(green, 1, 1, {0, 0, 0, 0});
    const bool loaded = image_into_sprite(filled(5, 5, {220, 30, 30, 200}), 50, SPRITE_IMAGE) &&
                        image_into_sprite(green, 51, SPRITE_IMAGE) &&
                        image_into_sprite(four_frames(), 52, SPRITE_IMAGE);
    if (!loaded) return false;
    SpriteEntry* strip = sprite_entry(52);
    strip->frame_width = strip->frame_height = 2;
    load_font("", 0);   // no such file: the built-in font
    set_font(0);
    return true;
}

// The window and GL context, set up as the runtime's window does.
bool open_picture()
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
    request_gl_context();
    SDL_Window* window =
        SDL_CreateWindow("grouping twin", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, SIDE,
                         SIDE, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) return false;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    attach_screen_window(window);
    if (!context || SDL_GL_MakeCurrent(window, context) != 0) return false;
    static OpenGLZadodedo table;
    renderer = &table;
    renderer->screen_width = renderer->screen_height = SIDE;
    renderer->context_alive = 1;
    if (!size_screen_pictures(SIDE, SIDE)) return false;
    setup_gl_state();
    return true;
}

void print_picture(const char* name)
{
    std::vector<uint8_t> rgba(std::size_t(SIDE) * SIDE * 4);
    flush_quads();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, SIDE, SIDE, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::printf("picture %s %d %d\n", name, SIDE, SIDE);
    std::vector<char> row(std::size_t(SIDE) * 6 + 1);
    for (int y = SIDE - 1; y >= 0; --y) {
        for (int x = 0; x < SIDE; ++x) {
            const uint8_t* p = &rgba[(std::size_t(y) * SIDE + x) * 4];
            std::snprintf(&row[std::size_t(x) * 6], 7, "%02x%02x%02x", p[0], p[1], p[2]);
        }
        std::printf("%s\n", row.data());
    }
}

void draw_and_print(bool one_by_one)
{
    set_viewport(0, 0, 0, 0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    draw_grouping_scene(one_by_one);
    print_picture(one_by_one ? "one_by_one" : "grouped");
}

}   // namespace

int main(int, char**)
{
    if (!open_picture() || !load_scene_sprites()) {
        std::printf("FAIL: no GL picture to draw on: %s\n", SDL_GetError());
        return 1;
    }
    draw_and_print(false);
    draw_and_print(true);
    std::printf("done\n");
    std::fflush(stdout);
    return 0;
}
