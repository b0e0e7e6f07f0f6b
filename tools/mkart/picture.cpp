// Pixel operations on the art tool's RGBA pictures.
#include "picture.h"

#include <cstddef>

bool operator==(const Rgba& x, const Rgba& y)
{
    return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a;
}

bool operator!=(const Rgba& x, const Rgba& y)
{
    return !(x == y);
}

Rgba rgb(uint32_t hex)
{
    return Rgba{uint8_t(hex >> 16), uint8_t(hex >> 8), uint8_t(hex), 255};
}

Rgba mix(Rgba from, Rgba to, double t)
{
    // Channels are never negative, so adding a half rounds to nearest.
    auto channel = [t](uint8_t a, uint8_t b) {
        return uint8_t(a + (b - a) * t + 0.5);   // NOLINT(bugprone-incorrect-roundings)
    };
    return Rgba{channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b), 255};
}

Picture make_picture(int width, int height)
{
    Picture p;
    p.width = width;
    p.height = height;
    p.rgba.assign(std::size_t(width) * height * 4, 0);
    return p;
}

static bool inside(const Picture& p, int x, int y)
{
    return x >= 0 && y >= 0 && x < p.width && y < p.height;
}

static std::size_t offset_of(const Picture& p, int x, int y)
{
    return (std::size_t(y) * p.width + x) * 4;
}

Rgba pixel(const Picture& p, int x, int y)
{
    if (!inside(p, x, y)) return CLEAR;
    const uint8_t* q = &p.rgba[offset_of(p, x, y)];
    return Rgba{q[0], q[1], q[2], q[3]};
}

void set_pixel(Picture& p, int x, int y, Rgba c)
{
    if (!inside(p, x, y)) return;
    uint8_t* q = &p.rgba[offset_of(p, x, y)];
    q[0] = c.r;
    q[1] = c.g;
    q[2] = c.b;
    q[3] = c.a;
}

bool opaque(const Picture& p, int x, int y)
{
    return pixel(p, x, y).a != 0;
}

void fill_rect(Picture& p, int x, int y, int w, int h, Rgba c)
{
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx) set_pixel(p, xx, yy, c);
}

void blit(Picture& dst, const Picture& src, int x, int y, bool flip)
{
    for (int sy = 0; sy < src.height; ++sy)
        for (int sx = 0; sx < src.width; ++sx) {
            const Rgba c = pixel(src, flip ? src.width - 1 - sx : sx, sy);
            if (c.a != 0) set_pixel(dst, x + sx, y + sy, c);
        }
}

Picture crop(const Picture& src, int x, int y, int w, int h)
{
    Picture out = make_picture(w, h);
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx) set_pixel(out, xx, yy, pixel(src, x + xx, y + yy));
    return out;
}

Picture flipped(const Picture& src)
{
    Picture out = make_picture(src.width, src.height);
    blit(out, src, 0, 0, true);
    return out;
}

Picture enlarged(const Picture& src, int factor)
{
    Picture out = make_picture(src.width * factor, src.height * factor);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            set_pixel(out, x, y, pixel(src, x / factor, y / factor));
    return out;
}

void add_outline(Picture& p, Rgba c)
{
    const Picture before = p;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            if (opaque(before, x, y)) continue;
            bool touches = false;
            for (int dy = -1; dy <= 1 && !touches; ++dy)
                for (int dx = -1; dx <= 1 && !touches; ++dx)
                    touches = opaque(before, x + dx, y + dy);
            if (touches) set_pixel(p, x, y, c);
        }
}

void recolour(Picture& p, Rgba from, Rgba to)
{
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (pixel(p, x, y) == from) set_pixel(p, x, y, to);
}
