/*
 * gl_entry_points_windows.cpp - the GL entry points newer than GL 1.1 that
 * the game calls, for Windows.
 *
 * Windows' opengl32.dll exports GL 1.1 alone; everything later comes from
 * the driver through wglGetProcAddress (SDL_GL_GetProcAddress), once a
 * context is current.  Each function of the list below has the name and the
 * signature glext.h gives it and forwards to the driver's, looked up on its
 * first call, so the rest of the game calls GL the same way on every
 * desktop.  The game has one context for its whole life, so a pointer once
 * found stays good.  Built only for Windows, beside gl_target_desktop.cpp
 * and gl_draw_desktop.cpp.
 */
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

namespace {

// The driver's function called name, looked up once.
template <typename Function>
Function driver_function(Function& cached, const char* name)
{
    if (!cached) cached = reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
    return cached;
}

}   // namespace

// The entry points: result, name, parameters, and the arguments passed on.
// clang-format off
#define GL_ENTRY_POINTS(ENTRY) \
    ENTRY(void, glActiveTexture, (GLenum texture), (texture)) \
    ENTRY(void, glWindowPos2i, (GLint x, GLint y), (x, y)) \
    ENTRY(void, glGenFramebuffers, (GLsizei n, GLuint* framebuffers), (n, framebuffers)) \
    ENTRY(void, glDeleteFramebuffers, (GLsizei n, const GLuint* framebuffers), (n, framebuffers)) \
    ENTRY(void, glBindFramebuffer, (GLenum target, GLuint framebuffer), (target, framebuffer)) \
    ENTRY(void, glFramebufferTexture2D, \
          (GLenum target, GLenum attachment, GLenum textarget, GLuint texture, GLint level), \
          (target, attachment, textarget, texture, level)) \
    ENTRY(GLenum, glCheckFramebufferStatus, (GLenum target), (target)) \
    ENTRY(void, glBlitFramebuffer, \
          (GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0, GLint dstY0, \
           GLint dstX1, GLint dstY1, GLbitfield mask, GLenum filter), \
          (srcX0, srcY0, srcX1, srcY1, dstX0, dstY0, dstX1, dstY1, mask, filter)) \
    ENTRY(void, glGetFramebufferAttachmentParameteriv, \
          (GLenum target, GLenum attachment, GLenum pname, GLint* params), \
          (target, attachment, pname, params)) \
    ENTRY(void, glGenRenderbuffers, (GLsizei n, GLuint* renderbuffers), (n, renderbuffers)) \
    ENTRY(void, glDeleteRenderbuffers, (GLsizei n, const GLuint* renderbuffers), \
          (n, renderbuffers)) \
    ENTRY(void, glBindRenderbuffer, (GLenum target, GLuint renderbuffer), (target, renderbuffer)) \
    ENTRY(void, glRenderbufferStorage, \
          (GLenum target, GLenum internalformat, GLsizei width, GLsizei height), \
          (target, internalformat, width, height)) \
    ENTRY(void, glFramebufferRenderbuffer, \
          (GLenum target, GLenum attachment, GLenum renderbuffertarget, GLuint renderbuffer), \
          (target, attachment, renderbuffertarget, renderbuffer))

// One entry point: the driver's function, found on the first call, called.
#define FORWARD_TO_DRIVER(result, name, parameters, arguments) \
    result APIENTRY name parameters \
    { \
        static decltype(&name) driver; \
        return driver_function(driver, #name) arguments; \
    }
// clang-format on

GL_ENTRY_POINTS(FORWARD_TO_DRIVER)
