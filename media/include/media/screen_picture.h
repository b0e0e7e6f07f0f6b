/*
 * screen_picture.h - the picture the game draws into, and how it is shown.
 *
 * Owns the two off-screen pictures of exactly the game's screen size (the one
 * being drawn and the last presented one, which stays readable for grabs and
 * screenshots), the window they are shown in, and the placement of the
 * picture inside that window: scaled by the largest multiple of 0.5 that
 * fits, so the pixels stay square, centred with black bars.
 *
 * Why off-screen: the game reads back what it drew in its own screen
 * coordinates, while the real window may be any size, full screen on any
 * monitor.
 *
 * Callers: the window module (sizes the pictures, presents, attaches the
 * window), grabs.h (reads the presented picture), input.h (maps the mouse
 * between window and screen).  Not for: creating the window or its context
 * (engine/window.h) or drawing (renderer.h and friends).
 */
#pragma once

struct SDL_Window;

// The window the pictures are shown in; null before the engine attaches it.
void attach_screen_window(SDL_Window* window);
SDL_Window* screen_window();

// (Re)makes both pictures when the size changed and binds the drawing one;
// false when the GL driver cannot make them.
bool size_screen_pictures(int width, int height);
void delete_screen_pictures();

// Draws the picture just finished into the window's back buffer (scaled and
// centred, black around it) and binds the other picture for drawing, with
// the game's viewport kept.  The caller swaps buffers.
void present_screen_picture();

// Where the game's screen lands inside the window's drawable, in pixels.
void screen_rect_in_window(int* x, int* y, int* width, int* height);

// Binds the picture of the last presented frame for glReadPixels; the
// drawing picture is bound again by bind_drawing_picture.
void bind_presented_picture_for_read();
void bind_drawing_picture();
