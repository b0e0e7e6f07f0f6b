/*
 * strip.h - an animation strip as the game loads it: one picture holding a
 * grid of equal frames, numbered row by row from the top-left, saved under
 * the file name the game asks for.
 *
 * Callers: every builder of the art tool, the contact sheet, main.cpp.
 * Not for: drawing inside a frame (picture.h does that).
 */
#pragma once

#include <string>

#include "picture.h"

struct Strip {
    std::string file;   // e.g. "santa2.png"
    int frame_width = 0;
    int frame_height = 0;
    int per_row = 1;       // frames in one row of the picture
    int frame_count = 0;   // frames that exist (the last row may be short)
    Picture picture;
};

// A transparent strip of frame_count frames, per_row to a row.
Strip make_strip(const std::string& file, int frame_width, int frame_height, int per_row,
                 int frame_count);

Picture frame_picture(const Strip& s, int n);

// Draws src into frame n with its top-left corner at (x, y) of the frame,
// clipped to the frame.
void draw_in_frame(Strip& s, int n, const Picture& src, int x, int y, bool flip = false);

// Replaces frame n by src (which has the frame's size).
void set_frame(Strip& s, int n, const Picture& src);
