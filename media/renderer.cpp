/*
 * renderer.cpp - the sprite table and the GL state of 2D drawing.
 *
 * Needs: OpenGL 1.3 (texture units), background.h for putting back layer 0
 * at the start of every frame, quad_batch.h to draw waiting quads before the
 * state they were added under changes.
 */
#include "media/renderer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "media/background.h"
#include "media/gl_draw.h"
#include "media/quad_batch.h"

OpenGLZadodedo* renderer = nullptr;

namespace {

const float ALPHA_TEST_THRESHOLD = 0.05f;

const SpriteEntry EMPTY_SPRITE = {0, 0, 1.0f, 1.0f, -1, -1, 0, 0, 0, 0};

bool gl_alive()
{
    return renderer->context_alive != 0;
}

}   // namespace

OpenGLZadodedo::OpenGLZadodedo() : sprites(SPRITE_COUNT, EMPTY_SPRITE), masks(SPRITE_COUNT) {}

OpenGLZadodedo::~OpenGLZadodedo()
{
    OpenGLZadodedo* previous = renderer;
    renderer = this;   // the resets below work on this object's table
    for (int id = 0; id < SPRITE_COUNT; ++id) reset_sprite(id);
    for (int layer = 0; layer < BACKGROUND_LAYERS; ++layer) clear_background(layer, gl_alive());
    renderer = previous == this ? nullptr : previous;
}

void reset_sprite(int id)
{
    SpriteEntry& entry = renderer->sprites[id];
    delete_texture(entry.texture, gl_alive());
    delete_texture(entry.texture_3d, gl_alive());
    int16_t frame_width = entry.frame_width;
    int16_t frame_height = entry.frame_height;
    entry = EMPTY_SPRITE;
    entry.frame_width = frame_width;
    entry.frame_height = frame_height;
    std::vector<uint8_t>().swap(renderer->masks[id]);
}

void set_smoothing(int on)
{
    renderer->smoothing = on != 0;
}

void apply_smoothing_filters()
{
    gl_draw_texture_filter(renderer->smoothing);
}

void set_viewport(int x, int y, int width, int height)
{
    flush_quads();
    if (width <= 0 || height <= 0) {
        width = renderer->screen_width;
        height = renderer->screen_height;
    }
    renderer->viewport_x = x;
    renderer->viewport_y = y;
    renderer->viewport_width = width;
    renderer->viewport_height = height;
    glViewport(x, renderer->screen_height - height - y, width, height);
    gl_draw_projection(width, height);
    gl_draw_alpha_test(true);
    gl_draw_alpha_threshold(ALPHA_TEST_THRESHOLD);
    gl_draw_colour(1, 1, 1, 1);
    gl_draw_plain_state();
    renderer->smoothing = true;
    bind_sprite_texture(-1, -1, false, nullptr);
    set_alpha_mode(0);
}

void get_viewport(int* x, int* y, int* width, int* height)
{
    *x = renderer->viewport_x;
    *y = renderer->viewport_y;
    *width = renderer->viewport_width;
    *height = renderer->viewport_height;
}

void get_screen_size(int* width, int* height)
{
    *width = renderer->screen_width;
    *height = renderer->screen_height;
}

void clear_screen()
{
    flush_quads();
    clear_background(0, gl_alive());
    glClear(GL_COLOR_BUFFER_BIT);
}

void set_alpha_mode(double mode)
{
    end_quad_group();
    double alpha = mode < 0 ? -mode : mode;
    if (mode == 0) {
        gl_draw_blending(false);
        alpha = 1.0;
    } else {
        gl_draw_blending(true);
        gl_draw_blend_adds(mode > 0);
    }
    renderer->alpha = static_cast<float>(alpha > 1.0 ? 1.0 : alpha);
    gl_draw_colour(1, 1, 1, renderer->alpha);
}

void set_transparency(int colour)
{
    renderer->sprite_key = colour;
    renderer->font_key = colour;
}

void bind_sprite_texture(int a, int b, bool use_3d, const uint32_t* names)
{
    end_quad_group();
    renderer->bound_sprite = a;
    renderer->bound_second_sprite = b;
    renderer->bound_3d = use_3d;
    auto name_of = [&](int id) -> uint32_t {
        if (names) return names[id];
        const SpriteEntry& entry = renderer->sprites[id];
        return use_3d ? entry.texture_3d : entry.texture;
    };
    auto bind = [](uint32_t name) {
        gl_draw_bind_texture(name);
        gl_draw_texturing(true);
        gl_draw_texture_wrap(true);
    };
    // Switching the active unit ends the batch of quads the GL driver gathers
    // across draws of one texture, so the second unit is left alone unless it
    // changes.
    const bool second = a >= 0 && b >= 0;
    if (second || renderer->second_unit_on) {
        gl_draw_active_unit(1);
        if (second)
            bind(name_of(a));
        else
            gl_draw_texturing(false);
        gl_draw_active_unit(0);
        renderer->second_unit_on = second;
    }
    if (a < 0) {
        gl_draw_texturing(false);
        return;
    }
    bind(name_of(b >= 0 ? b : a));
}

void reset_frame_state()
{
    flush_quads();
    gl_draw_blending(false);
    renderer->alpha = 1.0f;
    gl_draw_colour(1, 1, 1, 1);
    put_background(0, renderer->viewport_x, renderer->screen_height - renderer->viewport_y,
                   renderer->viewport_width, renderer->viewport_height);
    set_viewport(0, 0, 0, 0);
}

void setup_gl_state()
{
    gl_draw_start();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);   // screen reads of any width stay unpadded
    glDisable(GL_SCISSOR_TEST);
    // Every clear is to black: whoever clears to another colour puts black
    // back (a browser checks each call, so it is not set again each frame).
    glClearColor(0, 0, 0, 1);
}
