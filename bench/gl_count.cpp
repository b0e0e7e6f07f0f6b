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
#include <unistd.h>

#include "preload.h"

namespace {

struct Counts {
    int fd = -1;
    long draws = 0, binds = 0, blits = 0, copies = 0;
};
Counts counts;

}   // namespace

__attribute__((constructor)) static void open_count_file()
{
    counts.fd = open_log_named("BENCH_GL_COUNT");
}

extern "C" void SDL_GL_SwapWindow(SDL_Window* window)
{
    CALL_NEXT_DEFINITION(SDL_GL_SwapWindow, window);
    if (counts.fd >= 0)
        dprintf(counts.fd, "%ld %ld %ld %ld\n", counts.draws, counts.binds, counts.blits,
                counts.copies);
    counts.draws = counts.binds = counts.blits = counts.copies = 0;
}

extern "C" void glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    CALL_NEXT_DEFINITION(glDrawArrays, mode, first, count);
    ++counts.draws;
}

extern "C" void glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices)
{
    CALL_NEXT_DEFINITION(glDrawElements, mode, count, type, indices);
    ++counts.draws;
}

extern "C" void glBegin(GLenum mode)
{
    CALL_NEXT_DEFINITION(glBegin, mode);
    ++counts.draws;
}

extern "C" void glBindTexture(GLenum target, GLuint texture)
{
    CALL_NEXT_DEFINITION(glBindTexture, target, texture);
    ++counts.binds;
}

extern "C" void glBlitFramebuffer(GLint sx0, GLint sy0, GLint sx1, GLint sy1, GLint dx0, GLint dy0,
                                  GLint dx1, GLint dy1, GLbitfield mask, GLenum filter)
{
    CALL_NEXT_DEFINITION(glBlitFramebuffer, sx0, sy0, sx1, sy1, dx0, dy0, dx1, dy1, mask, filter);
    ++counts.blits;
}

extern "C" void glCopyTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset,
                                    GLint x, GLint y, GLsizei width, GLsizei height)
{
    CALL_NEXT_DEFINITION(glCopyTexSubImage2D, target, level, xoffset, yoffset, x, y, width, height);
    ++counts.copies;
}
