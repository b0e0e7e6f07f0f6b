/*
 * gl_target_web.cpp - the GL operations of gl_target.h on WebGL 2, through
 * Emscripten's emulation of the fixed pipeline.
 *
 * WebGL cannot read a texture back, so every texture uploaded or copied
 * into here is also kept as RGBA texels in memory, by GL name; the game
 * only reads back its sprites (collision masks, sprite saves), whose
 * textures are small.  BGRA and BGR become RGBA with the bytes swapped, and
 * the single pixel is a one-pixel scissored clear, which ignores textures,
 * the alpha test and blending just as glDrawPixels did.
 */
#include <GLES3/gl3.h>
#include <SDL.h>
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "media/gl_target.h"

namespace {

struct KeptTexels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};
std::unordered_map<uint32_t, KeptTexels> kept;

void swap_red_blue(std::vector<uint8_t>& pixels)
{
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) std::swap(pixels[i], pixels[i + 2]);
}

void keep_texels(uint32_t name, int w, int h, const uint8_t* rgba)
{
    KeptTexels& texels = kept[name];
    texels.width = w;
    texels.height = h;
    const std::size_t size = std::size_t(std::max(w, 0)) * std::max(h, 0) * 4;
    if (rgba)
        texels.rgba.assign(rgba, rgba + size);
    else
        texels.rgba.assign(size, 0);
}

std::vector<uint8_t> read_rgba(int x, int y, int w, int h)
{
    std::vector<uint8_t> rgba(std::size_t(std::max(w, 0)) * std::max(h, 0) * 4);
    if (!rgba.empty()) {
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    }
    return rgba;
}

}   // namespace

void request_gl_context()
{
    // Emscripten's fixed-pipeline emulation runs on a WebGL 2 context, which
    // SDL makes only when asked for OpenGL ES 3.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
}

bool gl_offers_framebuffer_objects()
{
    return true;   // part of WebGL 2 itself
}

void upload_texture_rgba(uint32_t name, int w, int h, const uint8_t* rgba)
{
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    if (rgba)
        keep_texels(name, w, h, rgba);
    else
        kept.erase(name);
}

void upload_texture_bgra(uint32_t name, int w, int h, const uint8_t* bgra)
{
    if (!bgra) return upload_texture_rgba(name, w, h, nullptr);
    std::vector<uint8_t> rgba(bgra, bgra + std::size_t(w) * h * 4);
    swap_red_blue(rgba);
    upload_texture_rgba(name, w, h, rgba.data());
}

void copy_screen_to_texture(uint32_t name, int texture_w, int texture_h, int x, int y, int w, int h)
{
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, y, w, h);
    auto found = kept.find(name);
    if (found == kept.end() || found->second.width != texture_w ||
        found->second.height != texture_h) {
        keep_texels(name, texture_w, texture_h, nullptr);
        found = kept.find(name);
    }
    const std::vector<uint8_t> rgba = read_rgba(x, y, w, h);
    KeptTexels& texels = found->second;
    for (int row = 0; row < h && row < texture_h; ++row) {
        std::memcpy(&texels.rgba[std::size_t(row) * texture_w * 4], &rgba[std::size_t(row) * w * 4],
                    std::size_t(std::min(w, texture_w)) * 4);
    }
}

void forget_texture(uint32_t name)
{
    kept.erase(name);
}

void read_pixels_bgra(int x, int y, int w, int h, uint8_t* bgra)
{
    std::vector<uint8_t> rgba = read_rgba(x, y, w, h);
    swap_red_blue(rgba);
    std::memcpy(bgra, rgba.data(), rgba.size());
}

void read_pixels_bgr(int x, int y, int w, int h, uint8_t* bgr)
{
    const std::vector<uint8_t> rgba = read_rgba(x, y, w, h);
    for (std::size_t i = 0, o = 0; i + 3 < rgba.size(); i += 4, o += 3) {
        bgr[o] = rgba[i + 2];
        bgr[o + 1] = rgba[i + 1];
        bgr[o + 2] = rgba[i];
    }
}

std::vector<uint8_t> texture_alpha(uint32_t name)
{
    std::vector<uint8_t> alpha;
    auto found = kept.find(name);
    if (found == kept.end()) return alpha;
    const std::vector<uint8_t>& rgba = found->second.rgba;
    alpha.reserve(rgba.size() / 4);
    for (std::size_t i = 3; i < rgba.size(); i += 4) alpha.push_back(rgba[i]);
    return alpha;
}

void texture_bgr(uint32_t name, int texture_w, int texture_h, uint8_t* bgr)
{
    const std::size_t count = std::size_t(texture_w) * texture_h;
    std::memset(bgr, 0, count * 3);
    auto found = kept.find(name);
    if (found == kept.end()) return;
    const std::vector<uint8_t>& rgba = found->second.rgba;
    for (std::size_t i = 0; i < count && i * 4 + 3 < rgba.size(); ++i) {
        bgr[i * 3] = rgba[i * 4 + 2];
        bgr[i * 3 + 1] = rgba[i * 4 + 1];
        bgr[i * 3 + 2] = rgba[i * 4];
    }
}

void write_screen_pixel(int x, int y, const uint8_t rgba[4])
{
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    GLint box[4];
    glGetIntegerv(GL_SCISSOR_BOX, box);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, 1, 1);
    glClearColor(rgba[0] / 255.0f, rgba[1] / 255.0f, rgba[2] / 255.0f, rgba[3] / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    glScissor(box[0], box[1], box[2], box[3]);
    if (!scissor) glDisable(GL_SCISSOR_TEST);
}

int screen_alpha_bits()
{
    // The canvas says 0 whatever it keeps; the game's own pictures are
    // framebuffer objects, which answer for their colour attachment.
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    if (bound == 0) return 0;
    GLint bits = 0;
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                          GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE, &bits);
    return bits;
}
