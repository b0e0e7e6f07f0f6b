/*
 * screen_picture.h - the picture the game draws into, and how it is shown.
 *
 * Owns the two off-screen pictures of exactly the game's screen size (the one
 * being drawn and the last presented one, which stays readable for
 * screenshots), the part of them that is shown (the whole, or a top-left
 * corner shown scaled up to the whole size), the window they are shown in,
 * and the placement of the picture inside that window, centred with black
 * bars: scaled by the largest multiple of 0.5 that fits, so the pixels stay
 * square and even ("whole pixels"), or by the largest factor that keeps its
 * shape ("fill"), first by a sharp whole multiple and then smoothly by the
 * fraction that is left, so the pixels stay even and are not blurred.
 *
 * Why off-screen: the game reads back what it drew in its own screen
 * coordinates, while the real window may be any size, full screen on any
 * monitor.
 *
 * Callers: the window module (sizes the pictures, presents, attaches the
 * window), the game (which corner is shown), grabs.h (reads the presented
 * picture), background.h (binds the drawing picture again), input.h (maps the mouse between window and screen).  Not for: creating the window or its context
 * (engine/window.h) or drawing (renderer.h and friends).
 */
#pragma once

#include <cstdint>

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

// How the picture fills the window (see above); whole pixels at the start.
// In force from the next present on.
enum class PictureFit {
    whole_pixels,
    fill
};
void set_picture_fit(PictureFit fit);
PictureFit picture_fit();

// The placement of a picture_w x picture_h picture in a window_w x window_h
// window under a fit: its size, and its offset from the window's corner.
struct PictureRect {
    int x, y, width, height;
};
PictureRect fit_picture(int window_w, int window_h, int picture_w, int picture_h, PictureFit fit);

// Draws the shown part of the picture being drawn into the rectangle
// (rows from the bottom) of a framebuffer (0: the window's), scaled as
// presenting scales it; leaves that framebuffer bound for drawing.
void draw_shown_picture(unsigned framebuffer, const PictureRect& into);

// Which part of the picture is shown: its top-left width x height, scaled up
// to the whole picture's size on its way to the window (in one pass, by
// whole multiples where they fit) and in read_presented_picture_bgr.  0 x 0
// (the start) shows the whole picture as it is.  In force from the next
// present on, until changed.
void show_picture_corner(int width, int height);

// The pixel of the drawing picture that shows as pixel (x, y) of the whole
// shown picture, rows counted from the bottom in both.
void drawing_pixel_shown_at(int x, int y, int* picture_x, int* picture_y);

// The last presented frame as it was shown, at the picture's full size:
// rows bottom first, blue, green, red, packed.  The drawing picture stays
// bound.
void read_presented_picture_bgr(uint8_t* bgr);
void bind_drawing_picture();
