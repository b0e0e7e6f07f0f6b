// Screen grabs, filling and drawing background layers, the screen and
// sprite savers and the single-pixel read and draw.
#include "media/grabs.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/errors.h"
#include "media/background.h"
#include "media/gl_draw.h"
#include "media/gl_target.h"
#include "media/image.h"
#include "media/quad_batch.h"
#include "media/renderer.h"
#include "media/screen_picture.h"
#include "media/sprites.h"

namespace {

constexpr int BACKGROUND_MIN_TILE = 128;
constexpr int BACKGROUND_LOAD_TILE = 512;
constexpr int GRAB_MIN_SIDE = 16;
constexpr int KEY_PROBE_X = 4;   // the pixel lent to quantising the transparent colour
constexpr int KEY_PROBE_Y = 4;

// BMP screenshots show the transparent colour as blue 128, green 0, red 255.
constexpr uint8_t SAVED_KEY_BGR[3] = {128, 0, 255};

// A new texture of w x h texels, contents undefined, for copies from the
// frame buffer.
uint32_t new_copy_texture(int w, int h)
{
    const uint32_t name = gl_draw_new_texture();
    gl_draw_bind_texture(name);
    gl_draw_texture_wrap(true);
    gl_draw_texture_filter(true);
    upload_texture_bgra(name, w, h, nullptr);
    return name;
}

// Writes one RGBA pixel at window position (x, y), bypassing textures, the
// alpha test and blending.
void put_window_pixel(int x, int y, const uint8_t rgba[4])
{
    const bool blending = gl_draw_blending_on();
    gl_draw_blending(false);
    gl_draw_alpha_test(false);
    bind_sprite_texture(-1, -1, false, nullptr);
    write_screen_pixel(x, y, rgba);
    gl_draw_alpha_test(true);
    if (blending) gl_draw_blending(true);
}

struct Rgb {
    uint8_t red, green, blue;
};

// The sprite transparent colour as the drawing picture stores it: drawn
// into a borrowed pixel and read back, then the pixel is put back.  The
// pixel is the one shown at the probe position, so where drawing is cut off
// by a scissor box the colour found there is the shown picture's, whichever
// part of the drawing picture is shown.
Rgb framebuffer_key_colour()
{
    const int key = renderer->sprite_key;
    if (key == 0) return Rgb{0, 0, 0};
    int x = 0, y = 0;
    drawing_pixel_shown_at(KEY_PROBE_X, KEY_PROBE_Y, &x, &y);
    uint8_t saved[4] = {0, 0, 0, 0}, probe[4] = {0, 0, 0, 0};
    read_pixels_rgba(x, y, 1, 1, saved);
    const uint8_t wanted[4] = {uint8_t(key & 0xff), uint8_t((key >> 8) & 0xff),
                               uint8_t((key >> 16) & 0xff), 255};
    put_window_pixel(x, y, wanted);
    read_pixels_rgba(x, y, 1, 1, probe);
    put_window_pixel(x, y, saved);
    return Rgb{probe[0], probe[1], probe[2]};
}

bool ends_in_png(const char* name)
{
    const std::size_t length = std::strlen(name);
    if (length <= 4) return false;
    std::string end(name + length - 4);
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) {
        return char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    });
    return end == ".png";
}

// Writes w x h pixels given as rows of stride bytes (blue, green, red),
// bottom row first, as a BMP or PNG by the name; pixels equal to the key
// become the saved key colour (BMP) or transparent (PNG).
bool save_bgr_rows(const char* name, const uint8_t* bgr, std::size_t stride, int w, int h,
                   const Rgb& key)
{
    const bool png = ends_in_png(name);
    std::vector<uint8_t> out(std::size_t(w) * h * (png ? 4 : 3));
    for (int row = 0; row < h; ++row) {
        const uint8_t* in = bgr + std::size_t(row) * stride;
        // PNG rows go top first, BMP rows stay bottom first.
        uint8_t* o = &out[std::size_t(png ? h - 1 - row : row) * w * (png ? 4 : 3)];
        for (int x = 0; x < w; ++x, in += 3) {
            const bool keyed = in[0] == key.blue && in[1] == key.green && in[2] == key.red;
            if (png) {
                o[0] = in[2];
                o[1] = in[1];
                o[2] = in[0];
                o[3] = keyed ? 0 : 255;
                o += 4;
            } else {
                std::memcpy(o, keyed ? SAVED_KEY_BGR : in, 3);
                o += 3;
            }
        }
    }
    return png ? write_png(name, out.data(), w, h) : write_bmp24(name, out.data(), w, h);
}

// The grab texture side: start at 16 and double at least once until not
// below size.
int grab_side(int size)
{
    int side = GRAB_MIN_SIDE;
    do side *= 2;
    while (side < size);
    return side;
}

// Grab without frame-buffer alpha: read the whole texture's block, make the
// transparent colour transparent, upload.
void grab_by_reading(uint32_t name, int x, int gl_y, int tw, int th)
{
    static std::vector<uint8_t> scratch;   // kept between grabs
    scratch.resize(std::size_t(tw) * th * 4);
    read_pixels_bgra(x, gl_y, tw, th, scratch.data());
    if (renderer->sprite_key != NO_COLOUR_KEY) {
        const Rgb key = framebuffer_key_colour();
        for (std::size_t i = 0; i < scratch.size(); i += 4) {
            uint8_t* p = &scratch[i];
            if (p[0] == key.blue && p[1] == key.green && p[2] == key.red) p[3] = 0;
        }
    }
    upload_texture_bgra(name, tw, th, scratch.data());
}

}   // namespace

void use_as_background()
{
    flush_quads();
    const int w = renderer->screen_width, h = renderer->screen_height;
    const int max_size = max_texture_side();
    int side = BACKGROUND_MIN_TILE;
    while (side < std::max(w, h) && side < max_size) side *= 2;
    BackgroundLayer& layer = background_layer(0);
    for (int r = 0; r < BACKGROUND_GRID && r * side < h; ++r) {
        for (int c = 0; c < BACKGROUND_GRID && c * side < w; ++c) {
            BackgroundTile& tile = layer.tiles[c][r];
            tile.tile_width = std::min(side, w - c * side);
            tile.tile_height = std::min(side, h - r * side);
            if (tile.texture && tile.texture_width == side && tile.texture_height == side) {
                gl_draw_bind_texture(tile.texture);
            } else {
                delete_texture(tile.texture, true);
                forget_tile_framebuffer(tile, renderer->context_alive != 0);
                tile.texture = new_copy_texture(side, side);
            }
            glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, c * side, h - r * side - tile.tile_height,
                                tile.tile_width, tile.tile_height);
            tile.texture_width = tile.texture_height = side;
            layer.columns = c + 1;
        }
        layer.rows = r + 1;
    }
}

void draw_background(int layer_number)
{
    flush_quads();
    if (!renderer || layer_number < 0 || layer_number >= BACKGROUND_LAYERS) return;
    const BackgroundLayer& layer = background_layer(layer_number);
    if (layer.columns == 0) return;
    gl_draw_alpha_test(false);
    bind_sprite_texture(-1, -1, false, nullptr);   // the second unit off
    gl_draw_texturing(true);
    float x = 0;
    for (int c = 0; c < layer.columns; ++c) {
        float y = 0;
        for (int r = 0; r < layer.rows; ++r) {
            const BackgroundTile& tile = layer.tiles[c][r];
            gl_draw_bind_texture(tile.texture);
            const float right = x + tile.tile_width, bottom = y + tile.tile_height;
            const float u = float(tile.tile_width) / float(tile.texture_width);
            const float v = float(tile.tile_height) / float(tile.texture_height);
            const float vertices[4][4] = {
                {x, bottom, 0, 0}, {right, bottom, u, 0}, {right, y, u, v}, {x, y, 0, v}};
            draw_clamped_fan(vertices);
            y += float(tile.texture_height);
        }
        x += float(layer.tiles[c][0].texture_width);
    }
    gl_draw_alpha_test(true);
    bind_sprite_texture(-1, -1, false, nullptr);
    apply_smoothing_filters();
}

void load_background(const char* name)
{
    flush_quads();
    set_error(STATUS_SUCCESS);
    clear_background(0, renderer->context_alive != 0);
    DecodedImage image;
    if (!load_image(image, name, NO_COLOUR_KEY)) {
        set_error(STATUS_NO_SUCH_FILE);
        glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const int side = std::min(max_texture_side(), BACKGROUND_LOAD_TILE);
    BackgroundLayer& layer = background_layer(0);
    for (int r = 0; r < BACKGROUND_GRID && r * side < image.height; ++r) {
        for (int c = 0; c < BACKGROUND_GRID && c * side < image.width; ++c) {
            const BuiltTexture built =
                build_texture(image, c * side, r * side, side, side, SPRITE_IMAGE);
            layer.tiles[c][r] = BackgroundTile{built.texture, side, side, side, side, 0};
            layer.columns = c + 1;
        }
        layer.rows = r + 1;
    }
    draw_background(0);
}

void grab_sprite(int id, int x, int y, int w, int h)
{
    flush_quads();
    SpriteEntry* entry = sprite_entry(id);
    if (!entry || w <= 0 || h <= 0) return;
    entry->frame_width = entry->frame_height = 0;
    std::vector<uint8_t>().swap(renderer->masks[id]);
    const int tw = grab_side(w), th = grab_side(h);
    if (tw > max_texture_side() || th > max_texture_side()) return;
    if (entry->texture && entry->texture_width == tw && entry->texture_height == th) {
        gl_draw_bind_texture(entry->texture);
    } else {
        delete_texture(entry->texture, true);
        delete_texture(entry->texture_3d, true);
        entry->texture = new_copy_texture(tw, th);
    }
    entry->width = int16_t(w);
    entry->height = int16_t(h);
    entry->texture_width = int16_t(tw);
    entry->texture_height = int16_t(th);
    entry->u_max = float(w) / float(tw);
    entry->v_max = float(h) / float(th);
    const int gl_y = renderer->screen_height - y - h;
    if (screen_alpha_bits() != 0)
        copy_screen_to_texture(entry->texture, tw, th, x, gl_y, w, h);
    else
        grab_by_reading(entry->texture, x, gl_y, tw, th);
}

void save_screen(const char* name)
{
    flush_quads();
    const int w = renderer->screen_width, h = renderer->screen_height;
    if (!name || w <= 0 || h <= 0) {
        set_error(STATUS_NO_SUCH_FILE);
        return;
    }
    std::vector<uint8_t> bgr(std::size_t(w) * h * 3);
    read_presented_picture_bgr(bgr.data());
    const Rgb key = framebuffer_key_colour();
    set_error(save_bgr_rows(name, bgr.data(), std::size_t(w) * 3, w, h, key) ? STATUS_SUCCESS
                                                                             : STATUS_NO_SUCH_FILE);
}

void save_sprite(const char* name, int id)
{
    flush_quads();
    const SpriteEntry* entry = sprite_entry(id);
    if (!name || !entry || entry->texture == 0) {
        set_error(STATUS_NO_SUCH_FILE);
        return;
    }
    const int tw = entry->texture_width, th = entry->texture_height;
    std::vector<uint8_t> bgr(std::size_t(tw) * th * 3);
    bind_sprite_texture(id, -1, false, nullptr);
    texture_bgr(entry->texture, tw, th, bgr.data());
    const Rgb key = framebuffer_key_colour();
    set_error(save_bgr_rows(name, bgr.data(), std::size_t(tw) * 3, entry->width, entry->height, key)
                  ? STATUS_SUCCESS
                  : STATUS_NO_SUCH_FILE);
}

int get_pixel(int x, int y)
{
    flush_quads();
    uint8_t rgba[4] = {0, 0, 0, 0};
    read_pixels_rgba(x, renderer->screen_height - 1 - y, 1, 1, rgba);
    return rgba[0] + 256 * rgba[1] + 65536 * rgba[2];
}

void set_pixel(int x, int y, int colour)
{
    flush_quads();
    gl_draw_alpha_test(false);
    bind_sprite_texture(-1, -1, false, nullptr);
    const uint8_t alpha = colour == renderer->sprite_key ? 0 : uint8_t(renderer->alpha * 255.0f);
    gl_draw_colour(float(colour & 0xff) / 255.0f, float((colour >> 8) & 0xff) / 255.0f,
                   float((colour >> 16) & 0xff) / 255.0f, float(alpha) / 255.0f);
    // A point at a pixel's corner plus 3/8 falls inside that pixel.
    gl_draw_point(float(x) + 0.375f, float(y) + 0.375f);
    gl_draw_colour(1, 1, 1, renderer->alpha);
    gl_draw_alpha_test(true);
}
