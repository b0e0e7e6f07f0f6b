/*
 * screen_picture.cpp - two framebuffer objects and the scaled copy into the
 * window.
 *
 * Needs: OpenGL framebuffer objects and glBlitFramebuffer; SDL2 only for the
 * size of the window's drawable.
 */
#include "media/screen_picture.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>
#include <algorithm>
#include <cmath>

namespace {

// Colour only: the game draws flat 2D with depth and stencil tests off, so a
// depth buffer would only be cleared every frame and never read.
struct Picture {
    GLuint framebuffer = 0;
    GLuint colour = 0;
};

struct ScreenPictureState {
    SDL_Window* window = nullptr;
    Picture pictures[2];
    int drawing = 0;   // index of the picture being drawn
    int width = 0;
    int height = 0;
};
ScreenPictureState screen;

void delete_picture(Picture& picture)
{
    if (picture.framebuffer) glDeleteFramebuffers(1, &picture.framebuffer);
    if (picture.colour) glDeleteRenderbuffers(1, &picture.colour);
    picture = Picture();
}

bool make_picture(Picture& picture, int width, int height)
{
    glGenFramebuffers(1, &picture.framebuffer);
    glGenRenderbuffers(1, &picture.colour);
    glBindRenderbuffer(GL_RENDERBUFFER, picture.colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, picture.framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              picture.colour);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void drawable_size(int* width, int* height)
{
    *width = *height = 0;
    if (screen.window) SDL_GL_GetDrawableSize(screen.window, width, height);
}

void clear_window_area(int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0) return;
    glScissor(x, y, width, height);
    glClear(GL_COLOR_BUFFER_BIT);
}

// Black around the picture, rows from the bottom of a window of that size.
// The picture is blitted over every frame, so only the bars are cleared, and
// nothing when the picture fills the window.  A scissor box someone else has
// set (the replay runner's way of not drawing) is left as it is, with the
// whole window cleared under it.
void clear_bars(int x, int y, int width, int height, int window_w, int window_h)
{
    glClearColor(0, 0, 0, 1);
    if (glIsEnabled(GL_SCISSOR_TEST)) {
        glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    clear_window_area(0, 0, window_w, y);
    clear_window_area(0, y + height, window_w, window_h - y - height);
    clear_window_area(0, y, x, height);
    clear_window_area(x + width, y, window_w - x - width, height);
    glDisable(GL_SCISSOR_TEST);
}

}   // namespace

void attach_screen_window(SDL_Window* window)
{
    screen.window = window;
}

SDL_Window* screen_window()
{
    return screen.window;
}

bool size_screen_pictures(int width, int height)
{
    if (width == screen.width && height == screen.height && screen.pictures[0].framebuffer)
        return true;
    for (Picture& picture : screen.pictures) delete_picture(picture);
    bool ok = make_picture(screen.pictures[0], width, height) &&
              make_picture(screen.pictures[1], width, height);
    screen.width = width;
    screen.height = height;
    screen.drawing = 0;
    bind_drawing_picture();
    return ok;
}

void delete_screen_pictures()
{
    for (Picture& picture : screen.pictures) delete_picture(picture);
    screen = ScreenPictureState();
}

void screen_rect_in_window(int* x, int* y, int* width, int* height)
{
    int window_w, window_h;
    drawable_size(&window_w, &window_h);
    double fit = std::min(double(window_w) / screen.width, double(window_h) / screen.height);
    // Whole steps of one half keep the game's doubled pixels square and even.
    double scale = std::floor(fit * 2) / 2;
    if (scale < 0.5) scale = fit;
    *width = static_cast<int>(screen.width * scale);
    *height = static_cast<int>(screen.height * scale);
    *x = (window_w - *width) / 2;
    *y = (window_h - *height) / 2;
}

void present_screen_picture()
{
    int x, y, w, h, window_w, window_h;
    screen_rect_in_window(&x, &y, &w, &h);
    drawable_size(&window_w, &window_h);
    // Neither the clear nor the blit depends on the viewport, so the game's
    // stays set for the next frame's background.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, screen.pictures[screen.drawing].framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    const int bottom = window_h - y - h;
    clear_bars(x, bottom, w, h, window_w, window_h);
    glBlitFramebuffer(0, 0, screen.width, screen.height, x, bottom, x + w, bottom + h,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    screen.drawing ^= 1;
    bind_drawing_picture();
}

void bind_presented_picture_for_read()
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, screen.pictures[screen.drawing ^ 1].framebuffer);
}

void bind_drawing_picture()
{
    glBindFramebuffer(GL_FRAMEBUFFER, screen.pictures[screen.drawing].framebuffer);
}
