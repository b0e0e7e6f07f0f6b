#include "support/pictures.h"

#include <GL/gl.h>
#include <algorithm>

#include "media/image.h"
#include "media/quad_batch.h"
#include "media/renderer.h"

Picture::Picture(int w, int h) : width(w), height(h), rgba(std::size_t(w) * h * 4, 0) {}

void Picture::set(int x, int y, int r, int g, int b, int a)
{
    uint8_t* p = &rgba[(std::size_t(y) * width + x) * 4];
    p[0] = uint8_t(r);
    p[1] = uint8_t(g);
    p[2] = uint8_t(b);
    p[3] = uint8_t(a);
}

void Picture::fill(int r, int g, int b, int a)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) set(x, y, r, g, b, a);
}

Colour picture_pixel(const Picture& picture, int x, int y)
{
    const uint8_t* p = &picture.rgba[(std::size_t(y) * picture.width + x) * 4];
    return Colour{p[0], p[1], p[2], p[3]};
}

std::string save_picture(const std::string& path, const Picture& picture)
{
    write_png(path.c_str(), picture.rgba.data(), picture.width, picture.height);
    return path;
}

void start_clean_frame()
{
    set_viewport(0, 0, 0, 0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

Colour screen_pixel(int x, int y)
{
    uint8_t p[4] = {0, 0, 0, 0};
    flush_quads();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, renderer->screen_height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Colour{p[0], p[1], p[2], p[3]};
}

Picture read_screen()
{
    const int w = renderer->screen_width, h = renderer->screen_height;
    Picture bottom_up(w, h), picture(w, h);
    flush_quads();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.rgba.data());
    const std::size_t row = std::size_t(w) * 4;
    for (int y = 0; y < h; ++y)
        std::copy_n(&bottom_up.rgba[(h - 1 - y) * row], row, &picture.rgba[y * row]);
    return picture;
}
