// Animation strips: frames laid out row by row in one picture.
#include "strip.h"

Strip make_strip(const std::string& file, int frame_width, int frame_height, int per_row,
                 int frame_count)
{
    Strip s;
    s.file = file;
    s.frame_width = frame_width;
    s.frame_height = frame_height;
    s.per_row = per_row;
    s.frame_count = frame_count;
    const int rows = (frame_count + per_row - 1) / per_row;
    s.picture = make_picture(per_row * frame_width, rows * frame_height);
    return s;
}

// Top-left corner of frame n inside the strip's picture.
static int frame_x(const Strip& s, int n)
{
    return (n % s.per_row) * s.frame_width;
}

static int frame_y(const Strip& s, int n)
{
    return (n / s.per_row) * s.frame_height;
}

Picture frame_picture(const Strip& s, int n)
{
    return crop(s.picture, frame_x(s, n), frame_y(s, n), s.frame_width, s.frame_height);
}

void draw_in_frame(Strip& s, int n, const Picture& src, int x, int y, bool flip)
{
    Picture frame = frame_picture(s, n);
    blit(frame, src, x, y, flip);
    set_frame(s, n, frame);
}

void set_frame(Strip& s, int n, const Picture& src)
{
    const int x0 = frame_x(s, n), y0 = frame_y(s, n);
    for (int y = 0; y < s.frame_height; ++y)
        for (int x = 0; x < s.frame_width; ++x)
            set_pixel(s.picture, x0 + x, y0 + y, pixel(src, x, y));
}
