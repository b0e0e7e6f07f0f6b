/*
 * window.cpp - the SDL window, the GL context and the display modes.
 *
 * Needs: SDL2 for the window and context, screen_picture.h for the picture
 * the game draws into, renderer.h for the screen size and the 2D state,
 * frame.h for the settings and show_screen.
 */
#include "engine/window.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/clock.h"
#include "core/log.h"
#include "engine/frame.h"
#include "media/gl_target.h"
#include "media/image.h"
#include "media/input.h"
#include "media/renderer.h"
#include "media/screen_picture.h"

namespace {

struct WindowState {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    bool fullscreen = false;
    bool stand_in = false;
    bool stand_in_fullscreen = false;
    bool software_checked = false;
    std::string caption;
};
WindowState win;

// Software OpenGL works, but slowly: say so once per process.
void check_software_gl()
{
    if (win.software_checked) return;
    win.software_checked = true;
    const char* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (!name) return;
    if (std::strstr(name, "llvmpipe") || std::strstr(name, "softpipe") ||
        std::strstr(name, "Software Rasterizer") || std::strstr(name, "swrast")) {
        std::fprintf(stderr,
                     "snowbelter: OpenGL is software-rendered (%s); "
                     "update the graphics driver for hardware rendering\n",
                     name);
        log_line("OpenGL Software Emulation");
    }
}

// A window of a comfortable size for the display it is on, centred.
void centre_window()
{
    int width = renderer->screen_width, height = renderer->screen_height;
    SDL_Rect usable;
    int display = SDL_GetWindowDisplayIndex(win.window);
    if (display >= 0 && SDL_GetDisplayUsableBounds(display, &usable) == 0)
        windowed_size(width, height, usable.w, usable.h, &width, &height);
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

}   // namespace

bool create_window(int width, int height, double frame_rate, const char** why)
{
    frame_pacing.interval = frame_interval_for(frame_rate);
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        *why = SDL_GetError();
        return false;
    }
    request_gl_context();
    win.window =
        SDL_CreateWindow("Morvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                         SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!win.window) {
        *why = SDL_GetError();
        return false;
    }
    win.context = SDL_GL_CreateContext(win.window);
    attach_screen_window(win.window);
    if (!win.context || SDL_GL_MakeCurrent(win.window, win.context) != 0) {
        *why = SDL_GetError();
        return false;
    }
    SDL_GL_SetSwapInterval(0);   // the runtime paces frames itself
    if (!gl_offers_framebuffer_objects()) {
        *why = "the OpenGL driver offers no framebuffer objects";
        return false;
    }
    check_software_gl();
    renderer->screen_width = width;
    renderer->screen_height = height;
    renderer->context_alive = 1;
    if (!size_screen_pictures(width, height)) {
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
    centre_window();
    SDL_ShowWindow(win.window);
    SDL_RaiseWindow(win.window);
    set_viewport(0, 0, 0, 0);
    return true;
}

void destroy_window()
{
    if (!win.window) return;
    if (win.context) {
        delete_screen_pictures();
        SDL_GL_DeleteContext(win.context);
    }
    SDL_DestroyWindow(win.window);
    attach_screen_window(nullptr);
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
    size_screen_pictures(renderer->screen_width, renderer->screen_height);
    if (fullscreen)
        enter_fullscreen();
    else
        enter_windowed();
    show_mouse_cursor(mouse_cursor_visible());
    // These frames count like any other (recorded and scripted key timings
    // are numbered from the first), but nothing is drawn in them that needs
    // a frame's time, so none waits for a deadline.
    for (int cycle = 0; cycle < SET_SCREEN_CYCLES; ++cycle) {
        frame_pacing.next_deadline = now_ms();
        show_screen();
    }
}

void windowed_size(int screen_width, int screen_height, int usable_width, int usable_height,
                   int* width, int* height)
{
    // Whole steps of half the screen keep the picture's pixels square and
    // even; the window is never smaller than the screen itself.
    const int step_w = screen_width / 2, step_h = screen_height / 2;
    int steps = 2;
    if (step_w > 0 && step_h > 0) {
        int fit = std::min(usable_width * 9 / 10 / step_w, usable_height * 9 / 10 / step_h);
        steps = std::max(steps, fit);
    }
    *width = step_w * steps;
    *height = step_h * steps;
}

void toggle_fullscreen()
{
    if (win.stand_in) {
        win.stand_in_fullscreen = !win.stand_in_fullscreen;
        return;
    }
    bool fullscreen = !win.fullscreen;
    project_settings.fullscreen = fullscreen;
    if (fullscreen)
        enter_fullscreen();
    else
        enter_windowed();
}

bool has_gl_extension(const char* name)
{
    return SDL_GL_ExtensionSupported(name) == SDL_TRUE;
}

void set_window_icon(const char* media_name)
{
    DecodedImage image;
    if (!win.window || !load_image(image, media_name, NO_COLOUR_KEY)) {
        log_line("No window icon");
        return;
    }
    SDL_Surface* icon =
        SDL_CreateRGBSurfaceWithFormatFrom(image.pixels.data(), image.width, image.height, 32,
                                           image.width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    SDL_SetWindowIcon(win.window, icon);
    SDL_FreeSurface(icon);
}

bool window_is_fullscreen()
{
    return win.stand_in ? win.stand_in_fullscreen : win.fullscreen;
}

void stand_in_for_display(bool on)
{
    win.stand_in = on;
    win.stand_in_fullscreen = win.fullscreen;
}

bool display_switch_offered()
{
    return std::strcmp(SDL_GetPlatform(), "Emscripten") != 0;
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

void window_present()
{
    present_screen_picture();
    SDL_GL_SwapWindow(win.window);
}
