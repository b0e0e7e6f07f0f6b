/*
 * baseline.cpp - the floor the game's frame cost is measured against: a bare
 * SDL2 + OpenGL program that draws a frame of the same shape as a round frame
 * and does nothing else.
 *
 * One frame: about 270 textured quads from one texture atlas (a 320 x 240
 * backdrop and 269 small sprites that move) into a 320 x 240 off-screen
 * picture as one client-array draw, then the picture blitted into the window
 * in one scaled pass (by the largest whole multiple that fits, centred, the
 * black bars around it cleared only when the window's size changes) and the
 * swap.  Frames are paced by sleeping to a deadline on a 60 Hz grid, a missed
 * deadline skipped; window events are handled every frame.
 *
 * Usage: bench_baseline --window | --fullscreen | --still
 *   --window opens a 640 x 480 window; --still a small window that draws
 *   nothing and only waits for events: something to move the focus to.
 * Ends on SIGTERM or when the window is closed.
 */
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

constexpr int WINDOW_W = 640, WINDOW_H = 480;     // the window when not full screen
constexpr int PICTURE_W = 320, PICTURE_H = 240;   // the off-screen picture
constexpr int ATLAS_SIDE = 256, ATLAS_CELL = 32;
constexpr int SPRITE_COUNT = 269;
constexpr int BAR_CLEARS = 3;   // presents that clear the bars after a change
constexpr long long FRAME_NS = 1000000000LL / 60;

struct Vertex {
    float x, y, u, v;
};

struct Scene {
    SDL_Window* window = nullptr;
    GLuint atlas = 0;
    GLuint picture = 0;   // frame buffer object
    std::vector<Vertex> quads;
    int placed_w = 0, placed_h = 0;   // the window size the bars were cleared for
    int bar_clears_left = 0;
    int frame = 0;
};

SDL_Window* open_window(bool fullscreen, int width, int height)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window =
        SDL_CreateWindow("baseline", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                         SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) return nullptr;
    SDL_Rect bounds;
    if (fullscreen && SDL_GetDisplayBounds(0, &bounds) == 0) {
        // Covered by hand first: without a window manager nothing else sizes it.
        SDL_SetWindowBordered(window, SDL_FALSE);
        SDL_SetWindowPosition(window, bounds.x, bounds.y);
        SDL_SetWindowSize(window, bounds.w, bounds.h);
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    return window;
}

// A cell of the atlas: a disc of one colour, transparent around it.
void paint_cell(std::vector<unsigned char>& texels, int cell)
{
    const int cells_per_row = ATLAS_SIDE / ATLAS_CELL;
    const int x0 = cell % cells_per_row * ATLAS_CELL, y0 = cell / cells_per_row * ATLAS_CELL;
    const float radius = ATLAS_CELL / 2.0f;
    for (int y = 0; y < ATLAS_CELL; ++y) {
        for (int x = 0; x < ATLAS_CELL; ++x) {
            unsigned char* t = &texels[(std::size_t(y0 + y) * ATLAS_SIDE + x0 + x) * 4];
            const float dx = x + 0.5f - radius, dy = y + 0.5f - radius;
            const bool inside = dx * dx + dy * dy < radius * radius;
            t[0] = static_cast<unsigned char>(cell * 37);
            t[1] = static_cast<unsigned char>(cell * 91);
            t[2] = static_cast<unsigned char>(255 - cell * 13);
            t[3] = inside || cell == 0 ? 255 : 0;   // cell 0: the opaque backdrop
        }
    }
}

GLuint make_texture(int width, int height, const void* texels, GLint filter)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    return name;
}

GLuint make_picture()
{
    GLuint framebuffer = 0, colour = 0;
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, PICTURE_W, PICTURE_H);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    return framebuffer;
}

bool set_up(Scene& scene)
{
    if (!SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object")) return false;
    std::vector<unsigned char> texels(std::size_t(ATLAS_SIDE) * ATLAS_SIDE * 4);
    for (int cell = 0; cell < (ATLAS_SIDE / ATLAS_CELL) * (ATLAS_SIDE / ATLAS_CELL); ++cell)
        paint_cell(texels, cell);
    scene.atlas = make_texture(ATLAS_SIDE, ATLAS_SIDE, texels.data(), GL_LINEAR);
    scene.picture = make_picture();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.05f);
    glEnable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 1);
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, PICTURE_W, PICTURE_H, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    return true;
}

void add_quad(Scene& scene, float x, float y, float w, float h, float u0, float v0, float u1,
              float v1)
{
    scene.quads.push_back({x, y, u0, v0});
    scene.quads.push_back({x + w, y, u1, v0});
    scene.quads.push_back({x + w, y + h, u1, v1});
    scene.quads.push_back({x, y + h, u0, v1});
}

// The backdrop and the sprites, moving a little every frame like snow, as
// one draw.
void draw_sprites(Scene& scene)
{
    const float cell_uv = float(ATLAS_CELL) / ATLAS_SIDE;
    scene.quads.clear();
    add_quad(scene, 0, 0, PICTURE_W, PICTURE_H, 0, 0, cell_uv, cell_uv);
    for (int i = 0; i < SPRITE_COUNT; ++i) {
        const int cell = 1 + i % 63;
        const float u = float(cell % 8) * cell_uv, v = float(cell / 8) * cell_uv;
        const float size = float(8 + (i % 4) * 8);
        const float x = float((i * 53 + scene.frame / 3) % (PICTURE_W + 32)) - 16;
        const float y = float((i * 29 + scene.frame / (1 + i % 5)) % (PICTURE_H + 32)) - 16;
        add_quad(scene, x, y, size, size, u, v, u + cell_uv, v + cell_uv);
    }
    glBindTexture(GL_TEXTURE_2D, scene.atlas);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &scene.quads[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &scene.quads[0].u);
    glDrawArrays(GL_QUADS, 0, GLsizei(scene.quads.size()));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// Black bars around the picture, cleared on the first presents at a window
// size (one for each back buffer the window may swap through).
void clear_bars(Scene& scene, int window_w, int window_h)
{
    if (window_w != scene.placed_w || window_h != scene.placed_h) {
        scene.placed_w = window_w;
        scene.placed_h = window_h;
        scene.bar_clears_left = BAR_CLEARS;
    }
    if (scene.bar_clears_left == 0) return;
    --scene.bar_clears_left;
    glClear(GL_COLOR_BUFFER_BIT);
}

// The picture into the window in one scaled pass.
void show_picture(Scene& scene)
{
    int window_w = 0, window_h = 0;
    SDL_GL_GetDrawableSize(scene.window, &window_w, &window_h);
    const double fit = std::min(double(window_w) / PICTURE_W, double(window_h) / PICTURE_H);
    const double scale = fit < 1 ? fit : std::floor(fit);
    const int w = int(PICTURE_W * scale), h = int(PICTURE_H * scale);
    const int x = (window_w - w) / 2, y = (window_h - h) / 2;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, scene.picture);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    clear_bars(scene, window_w, window_h);
    glBlitFramebuffer(0, 0, PICTURE_W, PICTURE_H, x, y, x + w, y + h, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    SDL_GL_SwapWindow(scene.window);
}

void draw_frame(Scene& scene)
{
    glBindFramebuffer(GL_FRAMEBUFFER, scene.picture);
    glViewport(0, 0, PICTURE_W, PICTURE_H);
    glClear(GL_COLOR_BUFFER_BIT);
    draw_sprites(scene);
    show_picture(scene);
    ++scene.frame;
}

long long monotonic_ns()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Sleeps to the next point of the grid that is still ahead.
void sleep_to_next_deadline(long long& deadline)
{
    deadline += FRAME_NS;
    const long long now = monotonic_ns();
    if (deadline < now) deadline += (now - deadline) / FRAME_NS * FRAME_NS + FRAME_NS;
    const timespec until = {time_t(deadline / 1000000000LL), long(deadline % 1000000000LL)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) != 0) {}
}

bool handle_events()
{
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (event.type == SDL_QUIT) return false;
    return true;
}

int run_frames(bool fullscreen)
{
    Scene scene;
    scene.window = open_window(fullscreen, WINDOW_W, WINDOW_H);
    if (!scene.window || !SDL_GL_CreateContext(scene.window) || !set_up(scene)) {
        std::fprintf(stderr, "bench_baseline: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetSwapInterval(0);
    long long deadline = monotonic_ns();
    while (handle_events()) {
        draw_frame(scene);
        sleep_to_next_deadline(deadline);
    }
    return 0;
}

int wait_still()
{
    SDL_Window* window = open_window(false, 160, 120);
    SDL_Event event;
    while (window && SDL_WaitEvent(&event))
        if (event.type == SDL_QUIT) break;
    return window ? 0 : 1;
}

}   // namespace

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "";
    const bool still = std::strcmp(mode, "--still") == 0;
    const bool fullscreen = std::strcmp(mode, "--fullscreen") == 0;
    if (!still && !fullscreen && std::strcmp(mode, "--window") != 0) {
        std::fprintf(stderr, "usage: bench_baseline --window | --fullscreen | --still\n");
        return 2;
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "bench_baseline: %s\n", SDL_GetError());
        return 1;
    }
    const int code = still ? wait_still() : run_frames(fullscreen);
    SDL_Quit();
    return code;
}
