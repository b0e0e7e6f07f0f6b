/*
 * window.h - the game window, its GL context and the display modes.
 *
 * Owns the SDL window, the one GL 2.1 compatibility context (kept across
 * every switch, so textures survive), and windowed and full-screen display.
 * The game always draws into an off-screen picture of exactly the screen
 * size it asked for (media/screen_picture.h); presenting shows that picture
 * in the window.  Full screen never changes the monitor's video mode.
 *
 * Callers: the frame cycle (start-up, present, shut-down), set_screen from
 * the game.  Not for: key state (input.h), drawing (renderer.h and friends)
 * or the placement of the picture in the window (screen_picture.h).
 */
#pragma once

// Creates the window (hidden until enter_windowed / enter_fullscreen) and the
// context; returns false with a reason in *why on failure.
bool create_window(int width, int height, double frame_rate, const char** why);
bool enter_fullscreen();
bool enter_windowed();
void destroy_window();

// The game-facing screen set-up: stores the values in the settings, switches
// mode (0 keeps a size) and runs SET_SCREEN_CYCLES show_screen cycles.
constexpr int SET_SCREEN_CYCLES = 5;
void set_screen(int width, int height, int fullscreen);

// The windowed size for a game screen on a desktop whose usable area is
// usable_width x usable_height: the largest whole multiple of half the
// screen, at least the screen itself, that fits within 90 % of that area
// both ways (960 x 720 for 640 x 480 on a 1280 x 1024 desktop).
void windowed_size(int screen_width, int screen_height, int usable_width, int usable_height,
                   int* width, int* height);

// Switches between window and full screen (Alt+Enter, F11); the context, its
// textures and the game's state stay as they are.  The frame cycle tells the
// game afterwards (GameTable in frame.h).
void toggle_fullscreen();

bool has_gl_extension(const char* name);

// Gives the window the picture of that media name (any image the loaders
// read) as its icon; without the picture the window keeps its default icon.
void set_window_icon(const char* media_name);

bool window_is_fullscreen();
// While on, toggle_fullscreen switches a stand-in, which starts as the real
// window is, and window_is_fullscreen answers the stand-in's state: the
// real window stays as it is (confined keys, frame.h).
void stand_in_for_display(bool on);
// Whether the program may switch the display itself: not in a browser,
// whose page owns the canvas's size and full screen.
bool display_switch_offered();
void set_window_caption(const char* text);
const char* window_caption();

// Shows the frame just drawn (scaled into the window), swaps, and starts the
// next frame's picture.  The new picture is cleared by the caller.
void window_present();
