/*
 * renderer.h - the 2D renderer core: the sprite table and the GL state for 2D.
 *
 * Owns the one OpenGLZadodedo object (created by start-up, destroyed by
 * shut-down), its 65536 sprite entries, the per-sprite collision masks, the
 * screen size, the viewport and the drawing switches (smoothing, alpha mode,
 * transparent colours).  Its shut-down and the screen clear empty the
 * background layers (background.h), and every frame starts with layer 0.
 *
 * Callers: sprites.h, fonts.h and grabs.h build on the table and the texture
 * binding; the frame cycle resets the drawing state every frame; the window
 * module sets the screen size.  Not for: loading or drawing pictures (sprites.h),
 * text (fonts.h), grabs (grabs.h), the background layers (background.h).
 *
 * The game's screen is always screen_width x screen_height pixels, whatever
 * size the real window has: the window module shows that picture scaled.
 */
#pragma once

#include <cstdint>
#include <vector>

enum : int {
    SPRITE_COUNT = 65536,
    FONT_SPRITE_BASE = 65504,       // font slots 0..31 live in the last 32 ids
    DEFAULT_SPRITE_KEY = 8388863,   // red 255, green 0, blue 128
};

struct SpriteEntry {
    uint32_t texture;
    uint32_t texture_3d;
    float u_max;
    float v_max;
    int16_t texture_width;
    int16_t texture_height;
    int16_t width;   // 0: nothing loaded
    int16_t height;
    int16_t frame_width;   // 0: not a strip
    int16_t frame_height;
};

class OpenGLZadodedo {
public:
    OpenGLZadodedo();
    virtual ~OpenGLZadodedo();

    int bound_sprite = -1;
    int bound_second_sprite = -1;
    bool bound_3d = false;
    // Whether texturing may be on for the second texture unit; only
    // bind_sprite_texture switches it, and touches that unit only when it
    // must (true until the first bind: unknown counts as on).
    bool second_unit_on = true;

    std::vector<SpriteEntry> sprites;   // exactly SPRITE_COUNT entries
    float alpha = 1.0f;
    int target_in_use = -1;                    // off-screen targets are not used: always -1
    std::vector<std::vector<uint8_t>> masks;   // alpha masks per sprite id, empty = none
    bool smoothing = true;
    int screen_width = 0;
    int screen_height = 0;
    int viewport_x = 0, viewport_y = 0, viewport_width = 0, viewport_height = 0;
    int sprite_key = DEFAULT_SPRITE_KEY;
    int font_key = 0;
    int context_alive = 0;   // while 0, resets do not touch GL
};

// The one renderer; null before start-up and after shut-down.
extern OpenGLZadodedo* renderer;

// Resets a sprite entry: deletes its textures (when the context is alive),
// restores the reset values (frame size kept) and frees its mask.
void reset_sprite(int id);

void set_smoothing(int on);
// Sets the filters of the bound texture from the smoothing flag.
void apply_smoothing_filters();
// The full 2D set-up: viewport, one-unit-per-pixel projection from the
// top-left, fixed state, smoothing on, textures unbound, alpha mode off.
void set_viewport(int x, int y, int width, int height);
void get_viewport(int* x, int* y, int* width, int* height);
void get_screen_size(int* width, int* height);
// Empties background layer 0 and clears the picture to black.
void clear_screen();
void set_alpha_mode(double mode);
void set_transparency(int colour);
// Binds sprite a (b: second unit, -1 none) on texture unit 0 with GL_REPEAT.
void bind_sprite_texture(int a, int b, bool use_3d, const uint32_t* names);
// The state every frame starts with: blend off, alpha 1, white colour,
// background layer 0 put back, whole-screen viewport.
void reset_frame_state();
// Fixed GL state set once when a context is made current.
void setup_gl_state();
