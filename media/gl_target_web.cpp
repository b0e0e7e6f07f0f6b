/*
 * gl_target_web.cpp - the GL operations of gl_target.h on WebGL 2.
 *
 * WebGL has no glGetTexImage, so every texture uploaded here is also kept
 * as RGBA texels in memory, by GL name; the game only reads back its
 * sprites (collision masks, sprite saves), whose textures are small.  A
 * copy from the screen (the game grabs its whole picture every frame) only
 * marks the kept texels stale: reading pixels back stalls the page until
 * the GPU has drawn, so a stale texture is read through a framebuffer of
 * its own only when the game asks for its texels.  BGRA and BGR become RGBA with the bytes swapped, and
 * the single pixel is a one-pixel scissored clear, which ignores textures,
 * the alpha test and blending just as glDrawPixels did.
 */
#include <GLES3/gl3.h>
#include <SDL.h>
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <unordered_map>

#include "media/gl_target.h"

namespace {

struct KeptTexels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    bool stale = false;   // the texture changed on the GPU since rgba was kept
};
std::unordered_map<uint32_t, KeptTexels> kept;

// Asking a framebuffer for its format waits for the GPU too; the game's
// framebuffers keep theirs for as long as they live.
std::unordered_map<GLint, int> alpha_bits_of_framebuffer;

// The framebuffer through which stale textures are read, made once.
GLuint texture_reader = 0;

void swap_red_blue(std::vector<uint8_t>& pixels)
{
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) std::swap(pixels[i], pixels[i + 2]);
}

void keep_texels(uint32_t name, int w, int h, const uint8_t* rgba)
{
    KeptTexels& texels = kept[name];
    texels.width = w;
    texels.height = h;
    texels.stale = false;
    const std::size_t size = std::size_t(std::max(w, 0)) * std::max(h, 0) * 4;
    if (rgba)
        texels.rgba.assign(rgba, rgba + size);
    else
        texels.rgba.assign(size, 0);
}

std::vector<uint8_t> read_rgba(int x, int y, int w, int h)
{
    std::vector<uint8_t> rgba(std::size_t(std::max(w, 0)) * std::max(h, 0) * 4);
    if (!rgba.empty()) read_pixels_rgba(x, y, w, h, rgba.data());
    return rgba;
}

// Reads a stale texture's texels back from the GPU.
void refresh_texels(uint32_t name, KeptTexels& texels)
{
    texels.stale = false;
    if (texels.rgba.empty()) return;
    GLint bound = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &bound);
    if (texture_reader == 0) glGenFramebuffers(1, &texture_reader);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, texture_reader);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, name, 0);
    read_pixels_rgba(0, 0, texels.width, texels.height, texels.rgba.data());
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(bound));
}

// The texels kept for a texture, brought up to date; null for one not kept.
const KeptTexels* current_texels(uint32_t name)
{
    auto found = kept.find(name);
    if (found == kept.end()) return nullptr;
    if (found->second.stale) refresh_texels(name, found->second);
    return &found->second;
}

}   // namespace

void request_gl_context()
{
    // The drawing program (gl_draw_web.cpp) needs a WebGL 2 context, which
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

int max_texture_side()
{
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}

void upload_texture_rgba(uint32_t name, int w, int h, const uint8_t* rgba)
{
    // Rows are read as they are given: packed, from the first texel on.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    for (GLenum setting : {GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_PIXELS})
        glPixelStorei(setting, 0);
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
    found->second.stale = true;
}

void forget_texture(uint32_t name)
{
    kept.erase(name);
}

void read_pixels_rgba(int x, int y, int w, int h, uint8_t* rgba)
{
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
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
    const KeptTexels* texels = current_texels(name);
    if (!texels) return alpha;
    const std::vector<uint8_t>& rgba = texels->rgba;
    alpha.reserve(rgba.size() / 4);
    for (std::size_t i = 3; i < rgba.size(); i += 4) alpha.push_back(rgba[i]);
    return alpha;
}

void texture_bgr(uint32_t name, int texture_w, int texture_h, uint8_t* bgr)
{
    const std::size_t count = std::size_t(texture_w) * texture_h;
    std::memset(bgr, 0, count * 3);
    const KeptTexels* texels = current_texels(name);
    if (!texels) return;
    const std::vector<uint8_t>& rgba = texels->rgba;
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
    auto known = alpha_bits_of_framebuffer.find(bound);
    if (known != alpha_bits_of_framebuffer.end()) return known->second;
    GLint bits = 0;
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                          GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE, &bits);
    alpha_bits_of_framebuffer[bound] = bits;
    return bits;
}
