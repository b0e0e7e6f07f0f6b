/*
 * gl_entry_points_windows.cpp - the GL entry points newer than GL 1.1 that
 * the game calls, for Windows.
 *
 * Windows' opengl32.dll exports GL 1.1 alone; everything later comes from
 * the driver through wglGetProcAddress (SDL_GL_GetProcAddress), once a
 * context is current.  Each function here has the name and the signature
 * glext.h gives it and forwards to the driver's, looked up on its first
 * call, so the rest of the game calls GL the same way on every desktop.
 * The game has one context for its whole life, so a pointer once found
 * stays good.  Built only for Windows, beside gl_target_desktop.cpp.
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

void APIENTRY glActiveTexture(GLenum texture)
{
    static PFNGLACTIVETEXTUREPROC f;
    driver_function(f, "glActiveTexture")(texture);
}

void APIENTRY glWindowPos2i(GLint x, GLint y)
{
    static PFNGLWINDOWPOS2IPROC f;
    driver_function(f, "glWindowPos2i")(x, y);
}

void APIENTRY glGenFramebuffers(GLsizei n, GLuint* framebuffers)
{
    static PFNGLGENFRAMEBUFFERSPROC f;
    driver_function(f, "glGenFramebuffers")(n, framebuffers);
}

void APIENTRY glDeleteFramebuffers(GLsizei n, const GLuint* framebuffers)
{
    static PFNGLDELETEFRAMEBUFFERSPROC f;
    driver_function(f, "glDeleteFramebuffers")(n, framebuffers);
}

void APIENTRY glBindFramebuffer(GLenum target, GLuint framebuffer)
{
    static PFNGLBINDFRAMEBUFFERPROC f;
    driver_function(f, "glBindFramebuffer")(target, framebuffer);
}

void APIENTRY glFramebufferTexture2D(GLenum target, GLenum attachment, GLenum textarget,
                                     GLuint texture, GLint level)
{
    static PFNGLFRAMEBUFFERTEXTURE2DPROC f;
    driver_function(f, "glFramebufferTexture2D")(target, attachment, textarget, texture, level);
}

GLenum APIENTRY glCheckFramebufferStatus(GLenum target)
{
    static PFNGLCHECKFRAMEBUFFERSTATUSPROC f;
    return driver_function(f, "glCheckFramebufferStatus")(target);
}

void APIENTRY glBlitFramebuffer(GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0,
                                GLint dstY0, GLint dstX1, GLint dstY1, GLbitfield mask,
                                GLenum filter)
{
    static PFNGLBLITFRAMEBUFFERPROC f;
    driver_function(f, "glBlitFramebuffer")(srcX0, srcY0, srcX1, srcY1, dstX0, dstY0, dstX1, dstY1,
                                            mask, filter);
}

void APIENTRY glGetFramebufferAttachmentParameteriv(GLenum target, GLenum attachment, GLenum pname,
                                                    GLint* params)
{
    static PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVPROC f;
    driver_function(f, "glGetFramebufferAttachmentParameteriv")(target, attachment, pname, params);
}

void APIENTRY glGenRenderbuffers(GLsizei n, GLuint* renderbuffers)
{
    static PFNGLGENRENDERBUFFERSPROC f;
    driver_function(f, "glGenRenderbuffers")(n, renderbuffers);
}

void APIENTRY glDeleteRenderbuffers(GLsizei n, const GLuint* renderbuffers)
{
    static PFNGLDELETERENDERBUFFERSPROC f;
    driver_function(f, "glDeleteRenderbuffers")(n, renderbuffers);
}

void APIENTRY glBindRenderbuffer(GLenum target, GLuint renderbuffer)
{
    static PFNGLBINDRENDERBUFFERPROC f;
    driver_function(f, "glBindRenderbuffer")(target, renderbuffer);
}

void APIENTRY glRenderbufferStorage(GLenum target, GLenum internalformat, GLsizei width,
                                    GLsizei height)
{
    static PFNGLRENDERBUFFERSTORAGEPROC f;
    driver_function(f, "glRenderbufferStorage")(target, internalformat, width, height);
}

void APIENTRY glFramebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbuffertarget,
                                        GLuint renderbuffer)
{
    static PFNGLFRAMEBUFFERRENDERBUFFERPROC f;
    driver_function(f, "glFramebufferRenderbuffer")(target, attachment, renderbuffertarget,
                                                    renderbuffer);
}
