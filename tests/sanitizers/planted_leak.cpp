/*
 * planted_leak.cpp - a program that leaks on purpose, for the sanitizer
 * suite only: LeakSanitizer must still find a leak of ours after Mesa's GL
 * driver has been loaded into the program, with the sanitizer options the
 * test command runs every test under.  It opens a GL window as the game's
 * tests do, drops the only pointer to a block of its own, and ends.
 */
#include <SDL.h>
#include <cstdio>

namespace {

const int LEAKED_BYTES = 4096;

// The block's only pointer goes when this returns: nothing can free it.
void drop_a_block()
{
    char* volatile block = new char[LEAKED_BYTES];
    block[0] = 1;
}

}   // namespace

int main(int, char**)
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "planted_leak: no video: %s\n", SDL_GetError());
        return 2;
    }
    SDL_Window* window =
        SDL_CreateWindow("planted leak", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        std::fprintf(stderr, "planted_leak: no GL context: %s\n", SDL_GetError());
        return 2;
    }
    drop_a_block();
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
