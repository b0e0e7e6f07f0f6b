/*
 * image.h - image files to RGBA pixels, and RGBA pixels to image files.
 *
 * Owns the decoded-image record, the three readers (our own BMP reader, PNG
 * over libpng, JPEG over libjpeg), the order in which loaders try them, and
 * the two writers (PNG, 24-bit BMP).  Every reader works on bytes already in
 * memory and checks every read against the buffer: hostile or truncated data
 * is refused, never trusted, and no image grows past MAX_IMAGE_SIDE a side.
 * A header that claims more pixels than the bytes after it could describe is
 * refused before anything is allocated, so a small file always costs little;
 * what the decoding libraries warn about (damaged or surplus data) fails the
 * load like their errors do.
 *
 * Callers: the sprite, font and background loaders (load_image), the screen
 * and sprite savers (write_png, write_bmp24), build tools (write_png).
 * Not for: textures (sprites.h) or finding media in archives (archive.h).
 */
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum : int {
    NO_COLOUR_KEY = -1,
    MAX_IMAGE_SIDE = 16384,   // larger images are refused by every reader
};
// Also refused: images of more pixels than this (256 MiB of RGBA).
constexpr std::size_t MAX_IMAGE_PIXELS = std::size_t(64) << 20;
// The most bytes one decode holds: the picture and the decoding library's
// buffers together stay within the bytes of the largest picture allowed.
constexpr unsigned long long MAX_DECODE_BYTES = MAX_IMAGE_PIXELS * 4ull;

// RGBA, 8 bits a channel, rows top first; width 0 means no image.
struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;   // width * height * 4 bytes
};

// Sizes the image for width x height pixels, all bytes 0; false (image left
// empty) when a side is 0 or less, above MAX_IMAGE_SIDE, or the pixel count
// is above MAX_IMAGE_PIXELS.  Readers call it before they allocate anything
// that depends on the header's sizes.
bool allocate_image(DecodedImage& image, long long width, long long height);
bool image_size_allowed(long long width, long long height);

// True when the image is allowed and its RGBA pixels plus working_bytes, the
// decoding library's buffers beside them, stay within MAX_DECODE_BYTES.
// Readers ask before the library allocates what the header's sizes call for.
bool image_decode_fits(long long width, long long height, unsigned long long working_bytes);

// Pixels whose red, green and blue equal the key become (0, 0, 0, 0).
void apply_colour_key(DecodedImage& image, int key);

// Each reader returns false and leaves the image empty when the bytes do not
// carry its signature or cannot be decoded.  key: a colour red + 256 * green
// + 65536 * blue whose pixels become (0, 0, 0, 0), or NO_COLOUR_KEY; it
// applies to pictures without alpha of their own (not to grey PNGs, nor to
// JPEGs).  The readers print nothing; the name is the caller's label.
bool read_bmp(DecodedImage& image, const unsigned char* data, std::size_t size, int key);
bool read_png(DecodedImage& image, const char* name, const unsigned char* data, std::size_t size,
              int key);
bool read_jpeg(DecodedImage& image, const unsigned char* data, std::size_t size);

// Tries BMP, PNG and JPEG in that order; the first reader that accepts the
// bytes decides.  Fails as well for an image of width or height 0.
bool decode_image(DecodedImage& image, const char* name, const unsigned char* data,
                  std::size_t size, int key);

// Resolves a media name through the general archive (a plain file wins,
// else an archive entry unpacked to memory), reads it and decodes it.  Sets
// no run-time status: the loaders do that.
bool load_image(DecodedImage& image, const char* name, int key);

// Writes an 8-bit RGBA PNG, rows top first, replacing any existing file.
bool write_png(const char* path, const unsigned char* rgba, int width, int height);

// Writes a 24-bit BMP from tightly packed rows of width * 3 bytes (blue,
// green, red), bottom row first, replacing any existing file.
bool write_bmp24(const char* path, const unsigned char* bgr, int width, int height);
