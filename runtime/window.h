/*
 * window.h - the game window, its GL context and the display modes.
 *
 * Owns the SDL window, the one GL 2.1 compatibility context (kept across
 * every switch, so textures survive), windowed and full-screen display, and
 * the presentation of the game's screen.  The game always draws into an
 * off-screen picture of exactly the screen size it asked for; presenting
 * shows that picture in the window, scaled by the largest factor that keeps
 * the pixels square (a multiple of 0.5), centred with black bars.  Full
 * screen never changes the monitor's video mode.
 *
 * Callers: the frame cycle (start-up, present, shut-down), set_screen from
 * the game, grabs.h for the picture of the last presented frame.
 * Not for: key state (input.h) or drawing (renderer.h and friends).
 */
#pragma once

struct SDL_Window;

// Creates the window (hidden until enter_windowed / enter_fullscreen) and the
// context; returns false with a reason in *why on failure.
bool create_window(int width, int height, double frame_rate, const char** why);
bool enter_fullscreen();
bool enter_windowed();
void destroy_window();

// The game-facing screen set-up: stores the values in the settings, switches
// mode (0 keeps a size) and runs five show_screen cycles.
void set_screen(int width, int height, int fullscreen);

bool has_gl_extension(const char* name);

SDL_Window* main_window();
bool window_is_fullscreen();
void set_window_caption(const char* text);
const char* window_caption();

// Shows the frame just drawn (scaled into the window), swaps, and starts the
// next frame's picture.  The new picture is cleared by the caller.
void window_present();

// Binds the picture of the last presented frame for glReadPixels; the
// drawing picture is bound again by window_bind_drawing.
void window_bind_presented_for_read();
void window_bind_drawing();

// Where the game's screen lands inside the window (for mouse positions).
void window_screen_rect(int* x, int* y, int* width, int* height);
