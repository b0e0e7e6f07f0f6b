/*
 * gl_target_desktop.cpp - the GL operations of gl_target.h on desktop
 * OpenGL 2.1 with framebuffer objects: every one is a GL call.
 */
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>
#include <algorithm>
#include <initializer_list>

#include "media/gl_target.h"

namespace {

// Rows are read as they are given: packed, from the first texel on.
void set_unpack_state()
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    for (GLenum name : {GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_PIXELS})
        glPixelStorei(name, 0);
}

// Rows are written packed, whatever their width.
void set_pack_state()
{
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
}

}   // namespace

void request_gl_context()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
}

bool gl_offers_framebuffer_objects()
{
    return SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object") == SDL_TRUE;
}

int max_texture_side()
{
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}

void upload_texture_rgba(uint32_t, int w, int h, const uint8_t* rgba)
{
    set_unpack_state();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

void upload_texture_bgra(uint32_t, int w, int h, const uint8_t* bgra)
{
    set_unpack_state();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
}

void copy_screen_to_texture(uint32_t, int, int, int x, int y, int w, int h)
{
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, y, w, h);
}

void forget_texture(uint32_t) {}

void read_pixels_rgba(int x, int y, int w, int h, uint8_t* rgba)
{
    set_pack_state();
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

void read_pixels_bgra(int x, int y, int w, int h, uint8_t* bgra)
{
    set_pack_state();
    glReadPixels(x, y, w, h, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
}

void read_pixels_bgr(int x, int y, int w, int h, uint8_t* bgr)
{
    set_pack_state();
    glReadPixels(x, y, w, h, GL_BGR, GL_UNSIGNED_BYTE, bgr);
}

std::vector<uint8_t> texture_alpha(uint32_t)
{
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<uint8_t> alpha(std::size_t(std::max(width, 0)) * std::max(height, 0), 0);
    set_pack_state();
    if (!alpha.empty()) glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    return alpha;
}

void texture_bgr(uint32_t, int, int, uint8_t* bgr)
{
    set_pack_state();
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR, GL_UNSIGNED_BYTE, bgr);
}

void write_screen_pixel(int x, int y, const uint8_t rgba[4])
{
    glWindowPos2i(x, y);
    glDrawPixels(1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

int screen_alpha_bits()
{
    GLint bits = 0;
    glGetIntegerv(GL_ALPHA_BITS, &bits);
    return bits;
}
