/*
 * pictures.h - small RGBA pictures for image, sprite, font and grab tests.
 *
 * A Picture is built pixel by pixel in a test, saved as a PNG file (through
 * the runtime's own write_png) and loaded back through the loaders under
 * test; screen_pixel reads the drawing picture back.
 *
 * Callers: test_sprites, test_fonts, test_grabs.  Not for: the runtime.
 */
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;   // rows top first

    Picture(int w, int h);
    void set(int x, int y, int r, int g, int b, int a = 255);
    void fill(int r, int g, int b, int a = 255);
};

struct Colour {
    int r, g, b, a;
    bool operator==(const Colour& other) const
    {
        return r == other.r && g == other.g && b == other.b && a == other.a;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Colour& c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

// The colour of a picture pixel.
Colour picture_pixel(const Picture& picture, int x, int y);

// Writes the picture as an RGBA PNG at path and returns the path.
std::string save_picture(const std::string& path, const Picture& picture);

// Full-screen viewport, textures off, colour buffer cleared to opaque black.
void start_clean_frame();

// A pixel of the drawing picture, y counted from the top.
Colour screen_pixel(int x, int y);

// The whole drawing picture, rows top first.
Picture read_screen();
