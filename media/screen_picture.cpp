/*
 * screen_picture.cpp - two framebuffer objects and the scaled copy into the
 * window.
 *
 * Needs: OpenGL framebuffer objects and glBlitFramebuffer; SDL2 only for the
 * size of the window's drawable; gl_target.h for read-backs; quad_batch.h to
 * draw waiting quads before the picture changes.
 */
#include "media/screen_picture.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <vector>

#include "media/gl_target.h"
#include "media/quad_batch.h"

namespace {

// Colour only: the game draws flat 2D with depth and stencil tests off, so a
// depth buffer would only be cleared every frame and never read.
struct Picture {
    GLuint framebuffer = 0;
    GLuint colour = 0;
};

// The top-left part of a picture that is shown, scaled up to the picture's
// size; 0 x 0 stands for the whole picture.
struct Corner {
    int width = 0;
    int height = 0;
};

// Where the shown picture went in the window, to know when the bars change.
struct Placement {
    int window_w = 0, window_h = 0, x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Placement& other) const
    {
        return window_w == other.window_w && window_h == other.window_h && x == other.x &&
               y == other.y && width == other.width && height == other.height;
    }
};

// Bars are cleared on this many presents after the placement changes: one
// for each back buffer a double- or triple-buffered window swaps through.
constexpr int BAR_CLEARS = 3;

struct ScreenPictureState {
    SDL_Window* window = nullptr;
    Picture pictures[2];
    int drawing = 0;   // index of the picture being drawn
    int width = 0;
    int height = 0;
    Corner shown;              // of the picture being drawn
    Corner presented;          // of the last presented picture
    Placement placement;       // of the last present
    int bar_clears_left = 0;   // presents that still clear the bars
    PictureFit fit = PictureFit::whole_pixels;
    // Fill's sharp whole multiple of the shown part, before the smooth step.
    Picture staging;
    int staging_w = 0, staging_h = 0;
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

// Black around the picture, rows from the bottom of the window.  The picture
// is blitted over every frame and the bars stay black in every back buffer
// once cleared, so they are cleared only on the presents after the placement
// changes, and never when the picture fills the window.  A scissor box
// someone else has set (the replay runner's way of not drawing) is left as it
// is, with the whole window cleared under it.
void clear_bars(const Placement& at)
{
    if (glIsEnabled(GL_SCISSOR_TEST)) {
        glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    if (!(at == screen.placement)) screen.bar_clears_left = BAR_CLEARS;
    screen.placement = at;
    if (screen.bar_clears_left == 0) return;
    --screen.bar_clears_left;
    const int right = at.x + at.width, top = at.y + at.height;
    glEnable(GL_SCISSOR_TEST);
    clear_window_area(0, 0, at.window_w, at.y);
    clear_window_area(0, top, at.window_w, at.window_h - top);
    clear_window_area(0, at.y, at.x, at.height);
    clear_window_area(right, at.y, at.window_w - right, at.height);
    glDisable(GL_SCISSOR_TEST);
}

// The corner in force, in pixels of the picture.
Corner whole_or(const Corner& corner)
{
    if (corner.width <= 0 || corner.height <= 0) return Corner{screen.width, screen.height};
    return Corner{std::min(corner.width, screen.width), std::min(corner.height, screen.height)};
}

// The staging picture at exactly width x height, bound for drawing (and,
// when it is made anew, for reading).
void bind_staging(int width, int height)
{
    if (width != screen.staging_w || height != screen.staging_h) {
        delete_picture(screen.staging);
        make_picture(screen.staging, width, height);
        screen.staging_w = width;
        screen.staging_h = height;
    }
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, screen.staging.framebuffer);
}

// The nearest source pixel of `to` pixels scaled from `from`.
int nearest(int i, int to, int from)
{
    return int((2LL * i + 1) * from / (2LL * to));
}

// The shown part of the drawing picture, scaled into `into` of the
// framebuffer bound for drawing, which is `framebuffer`.
void blit_shown_picture(unsigned framebuffer, const PictureRect& into)
{
    const Corner corner = whole_or(screen.shown);
    const int top = screen.height;
    const GLuint shown = screen.pictures[screen.drawing].framebuffer;
    const int whole = std::min(into.width / corner.width, into.height / corner.height);
    const bool fractional =
        into.width != whole * corner.width || into.height != whole * corner.height;
    if (screen.fit == PictureFit::fill && fractional && whole >= 1) {
        // Sharp up to the whole multiple, then smooth over the last fraction
        // only: every pixel stays as wide as its neighbours, give or take
        // one window pixel, with at most a pixel of blend at its edges.
        bind_staging(whole * corner.width, whole * corner.height);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, shown);
        glBlitFramebuffer(0, top - corner.height, corner.width, top, 0, 0, screen.staging_w,
                          screen.staging_h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, screen.staging.framebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
        glBlitFramebuffer(0, 0, screen.staging_w, screen.staging_h, into.x, into.y,
                          into.x + into.width, into.y + into.height, GL_COLOR_BUFFER_BIT,
                          GL_LINEAR);
        return;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, shown);
    glBlitFramebuffer(0, top - corner.height, corner.width, top, into.x, into.y,
                      into.x + into.width, into.y + into.height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
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
    flush_quads();
    if (width == screen.width && height == screen.height && screen.pictures[0].framebuffer)
        return true;
    for (Picture& picture : screen.pictures) delete_picture(picture);
    bool ok = make_picture(screen.pictures[0], width, height) &&
              make_picture(screen.pictures[1], width, height);
    screen.width = width;
    screen.height = height;
    screen.drawing = 0;
    screen.presented = Corner();
    bind_drawing_picture();
    return ok;
}

void delete_screen_pictures()
{
    flush_quads();
    for (Picture& picture : screen.pictures) delete_picture(picture);
    delete_picture(screen.staging);
    screen = ScreenPictureState();
}

PictureRect fit_picture(int window_w, int window_h, int picture_w, int picture_h, PictureFit fit)
{
    double scale = std::min(double(window_w) / picture_w, double(window_h) / picture_h);
    // Whole steps of one half keep the game's doubled pixels square and even.
    const double half_steps = std::floor(scale * 2) / 2;
    if (fit == PictureFit::whole_pixels && half_steps >= 0.5) scale = half_steps;
    PictureRect rect;
    rect.width = static_cast<int>(picture_w * scale);
    rect.height = static_cast<int>(picture_h * scale);
    rect.x = (window_w - rect.width) / 2;
    rect.y = (window_h - rect.height) / 2;
    return rect;
}

void screen_rect_in_window(int* x, int* y, int* width, int* height)
{
    int window_w, window_h;
    drawable_size(&window_w, &window_h);
    const PictureRect rect =
        fit_picture(window_w, window_h, screen.width, screen.height, screen.fit);
    *x = rect.x;
    *y = rect.y;
    *width = rect.width;
    *height = rect.height;
}

void set_picture_fit(PictureFit fit)
{
    screen.fit = fit;
}

PictureFit picture_fit()
{
    return screen.fit;
}

void show_picture_corner(int width, int height)
{
    screen.shown = Corner{width, height};
}

void present_screen_picture()
{
    flush_quads();
    Placement at;
    screen_rect_in_window(&at.x, &at.y, &at.width, &at.height);
    drawable_size(&at.window_w, &at.window_h);
    at.y = at.window_h - at.y - at.height;   // GL counts rows from the bottom
    // Neither the clear nor the blits depend on the viewport, so the game's
    // stays set for the next frame's background.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    clear_bars(at);
    blit_shown_picture(0, PictureRect{at.x, at.y, at.width, at.height});
    screen.presented = whole_or(screen.shown);
    screen.drawing ^= 1;
    bind_drawing_picture();
}

void draw_shown_picture(unsigned framebuffer, const PictureRect& into)
{
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    blit_shown_picture(framebuffer, into);
}

void drawing_pixel_shown_at(int x, int y, int* picture_x, int* picture_y)
{
    const Corner corner = whole_or(screen.shown);
    const int from_top = nearest(screen.height - 1 - y, screen.height, corner.height);
    *picture_x = nearest(x, screen.width, corner.width);
    *picture_y = screen.height - 1 - from_top;
}

void read_presented_picture_bgr(uint8_t* bgr)
{
    flush_quads();
    const Corner corner = screen.presented.width > 0 ? screen.presented : whole_or(Corner());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, screen.pictures[screen.drawing ^ 1].framebuffer);
    const int w = screen.width, h = screen.height;
    if (corner.width == w && corner.height == h) {
        read_pixels_bgr(0, 0, w, h, bgr);
    } else {
        // Rows bottom first: the corner's top row is the picture's top row.
        std::vector<uint8_t> part(std::size_t(corner.width) * corner.height * 3);
        read_pixels_bgr(0, h - corner.height, corner.width, corner.height, part.data());
        for (int row = 0; row < h; ++row) {
            const int from_top = nearest(h - 1 - row, h, corner.height);
            const uint8_t* in = &part[std::size_t(corner.height - 1 - from_top) * corner.width * 3];
            uint8_t* out = bgr + std::size_t(row) * w * 3;
            for (int x = 0; x < w; ++x)
                std::copy_n(in + std::size_t(nearest(x, w, corner.width)) * 3, 3,
                            out + std::size_t(x) * 3);
        }
    }
    bind_drawing_picture();
}

void bind_drawing_picture()
{
    flush_quads();
    glBindFramebuffer(GL_FRAMEBUFFER, screen.pictures[screen.drawing].framebuffer);
}
