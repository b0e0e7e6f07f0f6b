/*
 * gl_target.h - the few GL operations that desktop OpenGL and a browser's
 * WebGL 2 do differently, each behind one call.
 *
 * Owns the context request, the largest texture, the pixel formats and
 * row packing of uploads and read-backs, the single-pixel write, the frame
 * buffer's alpha depth, and reading a texture back.  WebGL has no glGetTexImage, glDrawPixels, glWindowPos nor
 * BGRA formats, so the browser build keeps a copy of the texels it uploads
 * and swaps bytes on the CPU.  The build picks one implementation:
 * gl_target_desktop.cpp or gl_target_web.cpp.  Windows builds the desktop
 * one, with gl_entry_points_windows.cpp for the entry points its GL library
 * lacks.
 *
 * Callers: the window (context, framebuffer objects), sprites (uploads,
 * collision masks), grabs (copies, read-backs, saves), screen_picture.h
 * (read-backs), quad_batch.h (texture deletion).  Not for: drawing, which is
 * gl_draw.h's.
 */
#pragma once

#include <cstdint>
#include <vector>

// Sets the SDL attributes of the GL context the window is about to make.
void request_gl_context();

// Whether the current context can make framebuffer objects.
bool gl_offers_framebuffer_objects();

// The side of the largest texture the GL takes.
int max_texture_side();

// The bound texture, named `name`, gets w x h texels (rows bottom first,
// packed); null texels leave its contents undefined, for copies from the
// screen.
void upload_texture_rgba(uint32_t name, int w, int h, const uint8_t* rgba);
void upload_texture_bgra(uint32_t name, int w, int h, const uint8_t* bgra);

// Copies w x h pixels at (x, y) of the frame buffer to the corner of the
// bound texture `name`, which is texture_w x texture_h texels.
void copy_screen_to_texture(uint32_t name, int texture_w, int texture_h, int x, int y, int w,
                            int h);

// The texture is gone (its name may come back for another one).
void forget_texture(uint32_t name);

// Pixels of the frame buffer bound for reading, rows bottom first, packed.
void read_pixels_rgba(int x, int y, int w, int h, uint8_t* rgba);
void read_pixels_bgra(int x, int y, int w, int h, uint8_t* bgra);
void read_pixels_bgr(int x, int y, int w, int h, uint8_t* bgr);

// The alpha of every texel of the bound texture `name`, rows bottom first.
std::vector<uint8_t> texture_alpha(uint32_t name);

// The texels of the bound texture `name` (texture_w x texture_h) as BGR,
// packed.
void texture_bgr(uint32_t name, int texture_w, int texture_h, uint8_t* bgr);

// Writes one pixel at frame buffer position (x, y) as it is, whatever the
// texture, alpha test and blending (the caller turns the last two off).
void write_screen_pixel(int x, int y, const uint8_t rgba[4]);

// The bits of alpha the frame buffer being drawn keeps.
int screen_alpha_bits();
