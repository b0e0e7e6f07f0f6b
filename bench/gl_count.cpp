/*
 * gl_count.cpp - a preloaded library that counts, per buffer swap, the GL
 * calls a frame's cost grows with: draws, texture binds, blits and copies
 * from the frame buffer, so the game and the baseline can be compared call
 * for call without a line of either knowing.
 *
 *   BENCH_GL_COUNT=FILE LD_PRELOAD=libgl_count.so PROGRAM
 *
 * Each line is "<draws> <binds> <blits> <copies>" for one SDL_GL_SwapWindow,
 * written straight to the file.  Draws are glDrawArrays, glDrawElements and
 * glBegin (one immediate-mode primitive); binds are glBindTexture calls;
 * blits glBlitFramebuffer; copies glCopyTexSubImage2D.  It can be preloaded
 * beside frame_log.cpp: each passes every call on to the next definition.
 */
#include <GL/gl.h>
#include <SDL.h>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct Counts {
    int fd = -1;
    long draws = 0, binds = 0, blits = 0, copies = 0;
};
Counts counts;

template <typename Function>
Function next_definition(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}   // namespace

__attribute__((constructor)) static void open_count_file()
{
    if (const char* path = std::getenv("BENCH_GL_COUNT"))
        counts.fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
}

extern "C" void SDL_GL_SwapWindow(SDL_Window* window)
{
    using Swap = void (*)(SDL_Window*);
    static const Swap swap = next_definition<Swap>("SDL_GL_SwapWindow");
    swap(window);
    if (counts.fd >= 0)
        dprintf(counts.fd, "%ld %ld %ld %ld\n", counts.draws, counts.binds, counts.blits,
                counts.copies);
    counts.draws = counts.binds = counts.blits = counts.copies = 0;
}

extern "C" void glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    using Draw = void (*)(GLenum, GLint, GLsizei);
    static const Draw draw = next_definition<Draw>("glDrawArrays");
    draw(mode, first, count);
    ++counts.draws;
}

extern "C" void glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices)
{
    using Draw = void (*)(GLenum, GLsizei, GLenum, const void*);
    static const Draw draw = next_definition<Draw>("glDrawElements");
    draw(mode, count, type, indices);
    ++counts.draws;
}

extern "C" void glBegin(GLenum mode)
{
    using Begin = void (*)(GLenum);
    static const Begin begin = next_definition<Begin>("glBegin");
    begin(mode);
    ++counts.draws;
}

extern "C" void glBindTexture(GLenum target, GLuint texture)
{
    using Bind = void (*)(GLenum, GLuint);
    static const Bind bind = next_definition<Bind>("glBindTexture");
    bind(target, texture);
    ++counts.binds;
}

extern "C" void glBlitFramebuffer(GLint sx0, GLint sy0, GLint sx1, GLint sy1, GLint dx0, GLint dy0,
                                  GLint dx1, GLint dy1, GLbitfield mask, GLenum filter)
{
    using Blit =
        void (*)(GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLbitfield, GLenum);
    static const Blit blit = next_definition<Blit>("glBlitFramebuffer");
    blit(sx0, sy0, sx1, sy1, dx0, dy0, dx1, dy1, mask, filter);
    ++counts.blits;
}

extern "C" void glCopyTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset,
                                    GLint x, GLint y, GLsizei width, GLsizei height)
{
    using Copy = void (*)(GLenum, GLint, GLint, GLint, GLint, GLint, GLsizei, GLsizei);
    static const Copy copy = next_definition<Copy>("glCopyTexSubImage2D");
    copy(target, level, xoffset, yoffset, x, y, width, height);
    ++counts.copies;
}
