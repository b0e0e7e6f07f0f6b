/*
 * window.cpp - the SDL window, the GL context and the presented picture.
 *
 * Needs: SDL2 for the window and context, OpenGL (framebuffer objects and
 * glBlitFramebuffer) for the off-screen picture, renderer.h for the screen
 * size and the 2D state, frame.h for the settings and show_screen.
 *
 * Why an off-screen picture: the game reads back what it drew (grabs, pixel
 * reads, screenshots) in its own screen coordinates, while the real window
 * may be any size, full screen on any monitor.  Drawing always goes into one
 * of two framebuffer objects of exactly the game's screen size; presenting
 * copies it scaled into the window and makes the other one the drawing
 * picture, so the last presented frame stays readable for screenshots.
 */
#include "runtime/window.h"

#include <SDL.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "media/input.h"
#include "media/renderer.h"
#include "runtime/clock.h"
#include "runtime/frame.h"
#include "runtime/log.h"

namespace {

const int SET_SCREEN_CYCLES = 5;

struct Picture {
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depth_stencil = 0;
};

struct WindowState {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    bool fullscreen = false;
    bool software_checked = false;
    std::string caption;
    Picture pictures[2];
    int drawing = 0;            // index of the picture being drawn
    int picture_width = 0;
    int picture_height = 0;
};
WindowState win;

void delete_picture(Picture& picture)
{
    if (picture.framebuffer) glDeleteFramebuffers(1, &picture.framebuffer);
    if (picture.colour) glDeleteRenderbuffers(1, &picture.colour);
    if (picture.depth_stencil) glDeleteRenderbuffers(1, &picture.depth_stencil);
    picture = Picture();
}

bool make_picture(Picture& picture, int width, int height)
{
    glGenFramebuffers(1, &picture.framebuffer);
    glGenRenderbuffers(1, &picture.colour);
    glGenRenderbuffers(1, &picture.depth_stencil);
    glBindRenderbuffer(GL_RENDERBUFFER, picture.colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, picture.depth_stencil);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, picture.framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, picture.colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                              picture.depth_stencil);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              picture.depth_stencil);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

// (Re)makes both pictures when the game's screen size changed.
bool size_pictures(int width, int height)
{
    if (width == win.picture_width && height == win.picture_height && win.pictures[0].framebuffer)
        return true;
    for (Picture& picture : win.pictures) delete_picture(picture);
    bool ok = make_picture(win.pictures[0], width, height) &&
              make_picture(win.pictures[1], width, height);
    win.picture_width = width;
    win.picture_height = height;
    win.drawing = 0;
    window_bind_drawing();
    return ok;
}

// Software OpenGL works, but slowly: say so once per process.
void check_software_gl()
{
    if (win.software_checked) return;
    win.software_checked = true;
    const char* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (!name) return;
    if (std::strstr(name, "llvmpipe") || std::strstr(name, "softpipe") ||
        std::strstr(name, "Software Rasterizer") || std::strstr(name, "swrast")) {
        std::fprintf(stderr, "snowbelter: OpenGL is software-rendered (%s); "
                             "update the graphics driver for hardware rendering\n", name);
        log_line("OpenGL Software Emulation");
    }
}

void set_gl_attributes()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
}

void centre_window(int width, int height)
{
    SDL_SetWindowSize(win.window, width, height);
    SDL_SetWindowPosition(win.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

// Desktop full screen: the monitor keeps its mode and the window covers it.
// The window is first made borderless and sized to the display by hand,
// because SDL leaves that sizing to the window manager and nothing happens
// without one; with one, the full-screen request then does the rest.
bool cover_the_display()
{
    SDL_Rect bounds;
    int display = SDL_GetWindowDisplayIndex(win.window);
    if (display < 0 || SDL_GetDisplayBounds(display, &bounds) != 0) return false;
    SDL_SetWindowBordered(win.window, SDL_FALSE);
    SDL_SetWindowPosition(win.window, bounds.x, bounds.y);
    SDL_SetWindowSize(win.window, bounds.w, bounds.h);
    return SDL_SetWindowFullscreen(win.window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

} // namespace

bool create_window(int width, int height, double frame_rate, const char** why)
{
    frame_pacing.interval = frame_interval_for(frame_rate);
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        *why = SDL_GetError();
        return false;
    }
    set_gl_attributes();
    win.window = SDL_CreateWindow("Morvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  width, height,
                                  SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!win.window) {
        *why = SDL_GetError();
        return false;
    }
    win.context = SDL_GL_CreateContext(win.window);
    if (!win.context || SDL_GL_MakeCurrent(win.window, win.context) != 0) {
        *why = SDL_GetError();
        return false;
    }
    SDL_GL_SetSwapInterval(0);   // the runtime paces frames itself
    if (!has_gl_extension("GL_ARB_framebuffer_object")) {
        *why = "the OpenGL driver offers no framebuffer objects";
        return false;
    }
    check_software_gl();
    renderer->screen_width = width;
    renderer->screen_height = height;
    renderer->context_alive = 1;
    if (!size_pictures(width, height)) {
        *why = "the OpenGL driver cannot make an off-screen picture";
        return false;
    }
    frame_pacing.next_deadline = now_ms();
    setup_gl_state();
    set_viewport(0, 0, 0, 0);
    return true;
}

bool enter_fullscreen()
{
    if (!cover_the_display()) {
        log_line("No Fullscreen Mode available");
        enter_windowed();
        return false;
    }
    SDL_ShowWindow(win.window);
    SDL_RaiseWindow(win.window);
    win.fullscreen = true;
    set_viewport(0, 0, 0, 0);
    return true;
}

bool enter_windowed()
{
    if (win.fullscreen) {
        SDL_SetWindowFullscreen(win.window, 0);
        SDL_SetWindowBordered(win.window, SDL_TRUE);
    }
    win.fullscreen = false;
    centre_window(renderer->screen_width, renderer->screen_height);
    SDL_ShowWindow(win.window);
    SDL_RaiseWindow(win.window);
    set_viewport(0, 0, 0, 0);
    return true;
}

void destroy_window()
{
    if (!win.window) return;
    if (win.context) {
        for (Picture& picture : win.pictures) delete_picture(picture);
        SDL_GL_DeleteContext(win.context);
    }
    SDL_DestroyWindow(win.window);
    win = WindowState();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

void set_screen(int width, int height, int fullscreen)
{
    project_settings.screen_width = width;
    project_settings.screen_height = height;
    project_settings.fullscreen = fullscreen;
    if (width > 0) renderer->screen_width = width;
    if (height > 0) renderer->screen_height = height;
    size_pictures(renderer->screen_width, renderer->screen_height);
    if (fullscreen) enter_fullscreen();
    else enter_windowed();
    show_mouse_cursor(mouse_cursor_visible());
    for (int cycle = 0; cycle < SET_SCREEN_CYCLES; ++cycle) show_screen();
}

bool has_gl_extension(const char* name)
{
    return SDL_GL_ExtensionSupported(name) == SDL_TRUE;
}

SDL_Window* main_window()
{
    return win.window;
}

bool window_is_fullscreen()
{
    return win.fullscreen;
}

void set_window_caption(const char* text)
{
    win.caption = text;
    if (win.window) SDL_SetWindowTitle(win.window, text);
}

const char* window_caption()
{
    return win.caption.c_str();
}

void window_screen_rect(int* x, int* y, int* width, int* height)
{
    int window_w = 0, window_h = 0;
    if (win.window) SDL_GL_GetDrawableSize(win.window, &window_w, &window_h);
    double fit = std::min(double(window_w) / win.picture_width, double(window_h) / win.picture_height);
    // Whole steps of one half keep the game's doubled pixels square and even.
    double scale = std::floor(fit * 2) / 2;
    if (scale < 0.5) scale = fit;
    *width = static_cast<int>(win.picture_width * scale);
    *height = static_cast<int>(win.picture_height * scale);
    *x = (window_w - *width) / 2;
    *y = (window_h - *height) / 2;
}

void window_present()
{
    int x, y, w, h, window_w = 0, window_h = 0;
    window_screen_rect(&x, &y, &w, &h);
    SDL_GL_GetDrawableSize(win.window, &window_w, &window_h);
    GLint game_viewport[4];   // the next frame's background is drawn under it
    glGetIntegerv(GL_VIEWPORT, game_viewport);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, win.pictures[win.drawing].framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, window_w, window_h);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBlitFramebuffer(0, 0, win.picture_width, win.picture_height,
                      x, window_h - y - h, x + w, window_h - y, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    SDL_GL_SwapWindow(win.window);
    win.drawing ^= 1;
    window_bind_drawing();
    glViewport(game_viewport[0], game_viewport[1], game_viewport[2], game_viewport[3]);
}

void window_bind_presented_for_read()
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, win.pictures[win.drawing ^ 1].framebuffer);
}

void window_bind_drawing()
{
    glBindFramebuffer(GL_FRAMEBUFFER, win.pictures[win.drawing].framebuffer);
}
