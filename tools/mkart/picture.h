/*
 * picture.h - the art tool's in-memory pictures and the few pixel
 * operations every picture builder shares.
 *
 * A Picture is RGBA, rows top first, 4 bytes a pixel; a pixel is either
 * fully transparent (alpha 0) or fully opaque (alpha 255), because the game
 * counts any nonzero alpha as solid in its collision tests.
 *
 * Callers: every builder of the art tool (text sources, scenery, lettering,
 * level, contact sheet).  Not for: the game, which never builds pictures;
 * files (main.cpp writes them through media/image.h).
 */
#pragma once

#include <cstdint>
#include <vector>

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

bool operator==(const Rgba& x, const Rgba& y);
bool operator!=(const Rgba& x, const Rgba& y);

constexpr Rgba CLEAR{0, 0, 0, 0};

// An opaque colour from 0xRRGGBB.
Rgba rgb(uint32_t hex);

// A colour part way between two opaque colours (t from 0 to 1), opaque.
Rgba mix(Rgba from, Rgba to, double t);

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;   // width * height * 4
};

// A transparent picture of the given size.
Picture make_picture(int width, int height);

// CLEAR outside the picture.
Rgba pixel(const Picture& p, int x, int y);
// Ignored outside the picture.
void set_pixel(Picture& p, int x, int y, Rgba c);
bool opaque(const Picture& p, int x, int y);

void fill_rect(Picture& p, int x, int y, int w, int h, Rgba c);

// Copies the opaque pixels of src with its top-left corner at (x, y);
// flip mirrors src left to right first.  Pixels off dst are dropped.
void blit(Picture& dst, const Picture& src, int x, int y, bool flip = false);

// The rectangle (x, y, w, h) of src; parts outside src are transparent.
Picture crop(const Picture& src, int x, int y, int w, int h);

Picture flipped(const Picture& src);

// src enlarged factor times each way, every pixel becoming a factor x factor
// square of its colour (nearest neighbour, so pixel art stays crisp).
Picture enlarged(const Picture& src, int factor);

// Transparent pixels that touch an opaque one (8 neighbours) become c.
void add_outline(Picture& p, Rgba c);

// Every opaque pixel of colour from becomes to.
void recolour(Picture& p, Rgba from, Rgba to);
