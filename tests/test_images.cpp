/*
 * test_images.cpp - the BMP, PNG and JPEG readers, the reader order, the
 * writers, and hostile files.  Every test file is built here, in memory:
 * BMPs byte by byte, PNGs with libpng, JPEGs with libjpeg's compressor.
 */
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>
#include <string>
#include <vector>

#include "core/media_source.h"
#include "media/image.h"
#include "support/scratch_folder.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int KEY = 8388863;   // red 255, green 0, blue 128

struct Rgba {
    int r, g, b, a;
};

Rgba pixel_at(const DecodedImage& image, int x, int y)
{
    const uint8_t* p = &image.pixels[(std::size_t(y) * image.width + x) * 4];
    return Rgba{p[0], p[1], p[2], p[3]};
}

#define EXPECT_PIXEL(image, x, y, R, G, B, A)                                                      \
    do {                                                                                           \
        const Rgba got_ = pixel_at(image, x, y);                                                   \
        EXPECT_EQ(got_.r, R) << "at " << (x) << "," << (y);                                        \
        EXPECT_EQ(got_.g, G) << "at " << (x) << "," << (y);                                        \
        EXPECT_EQ(got_.b, B) << "at " << (x) << "," << (y);                                        \
        EXPECT_EQ(got_.a, A) << "at " << (x) << "," << (y);                                        \
    } while (0)

// ---- BMP files by hand ------------------------------------------------------

void put16(Bytes& b, std::size_t at, unsigned v)
{
    b[at] = v & 0xff;
    b[at + 1] = (v >> 8) & 0xff;
}

void put32(Bytes& b, std::size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xff;
}

// A BMP with an info header (40) or a core header (12), the palette given as
// raw entry bytes, and the file rows as given (bottom row first for a
// positive height).
Bytes make_bmp(int header_size, int32_t width, int32_t height, int bits, const Bytes& palette,
               const std::vector<Bytes>& rows)
{
    const std::size_t offset = 14 + header_size + palette.size();
    Bytes b(offset, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 10, uint32_t(offset));
    put32(b, 14, uint32_t(header_size));
    if (header_size == 12) {
        put16(b, 18, unsigned(width));
        put16(b, 20, unsigned(height));
        put16(b, 22, 1);
        put16(b, 24, unsigned(bits));
    } else {
        put32(b, 18, uint32_t(width));
        put32(b, 22, uint32_t(height));
        put16(b, 26, 1);
        put16(b, 28, unsigned(bits));
    }
    if (!palette.empty()) std::memcpy(&b[14 + header_size], palette.data(), palette.size());
    for (const Bytes& row : rows) b.insert(b.end(), row.begin(), row.end());
    put32(b, 2, uint32_t(b.size()));
    return b;
}

DecodedImage read_bmp_ok(const Bytes& file, int key = NO_COLOUR_KEY)
{
    DecodedImage image;
    EXPECT_TRUE(read_bmp(image, file.data(), file.size(), key));
    return image;
}

TEST(BmpReader, TwentyFourBitsRowsBottomFirstAndPadded)
{
    // 3 x 2: 9 bytes of pixels and 3 of padding a row.
    const Bytes bottom = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};
    const Bytes top = {10, 20, 30, 40, 50, 60, 70, 80, 90, 0, 0, 0};
    const DecodedImage image = read_bmp_ok(make_bmp(40, 3, 2, 24, {}, {bottom, top}));
    ASSERT_EQ(image.width, 3);
    ASSERT_EQ(image.height, 2);
    EXPECT_PIXEL(image, 0, 0, 30, 20, 10, 255);
    EXPECT_PIXEL(image, 2, 0, 90, 80, 70, 255);
    EXPECT_PIXEL(image, 0, 1, 3, 2, 1, 255);
    EXPECT_PIXEL(image, 2, 1, 9, 8, 7, 255);
}

TEST(BmpReader, ThirtyTwoBitsIgnoresTheFourthByte)
{
    const DecodedImage image =
        read_bmp_ok(make_bmp(40, 2, 1, 32, {}, {{11, 22, 33, 0, 44, 55, 66, 200}}));
    EXPECT_PIXEL(image, 0, 0, 33, 22, 11, 255);
    EXPECT_PIXEL(image, 1, 0, 66, 55, 44, 255);
}

TEST(BmpReader, EightBitPaletteHasFourByteEntries)
{
    const Bytes palette = {0, 0, 0, 0, 10, 20, 30, 0, 40, 50, 60, 0};
    const DecodedImage image = read_bmp_ok(make_bmp(40, 3, 1, 8, palette, {{2, 1, 0, 0}}));
    EXPECT_PIXEL(image, 0, 0, 60, 50, 40, 255);
    EXPECT_PIXEL(image, 1, 0, 30, 20, 10, 255);
    EXPECT_PIXEL(image, 2, 0, 0, 0, 0, 255);
}

TEST(BmpReader, FourBitsTakeTheHighNibbleFirst)
{
    Bytes palette(16 * 4, 0);
    for (int i = 0; i < 16; ++i) palette[i * 4 + 2] = uint8_t(i * 16);   // red = 16 * index
    const DecodedImage image = read_bmp_ok(make_bmp(40, 3, 1, 4, palette, {{0x3A, 0xF0, 0, 0}}));
    EXPECT_PIXEL(image, 0, 0, 0x30, 0, 0, 255);
    EXPECT_PIXEL(image, 1, 0, 0xA0, 0, 0, 255);
    EXPECT_PIXEL(image, 2, 0, 0xF0, 0, 0, 255);
}

TEST(BmpReader, OneBitTakesBitSevenFirst)
{
    const Bytes palette = {0, 0, 0, 0, 255, 255, 255, 0};
    const DecodedImage image = read_bmp_ok(make_bmp(40, 10, 1, 1, palette, {{0xA0, 0x40, 0, 0}}));
    const int expected[10] = {1, 0, 1, 0, 0, 0, 0, 0, 0, 1};
    for (int x = 0; x < 10; ++x) EXPECT_EQ(pixel_at(image, x, 0).r, expected[x] * 255) << x;
}

TEST(BmpReader, CoreHeaderHasThreeBytePaletteEntries)
{
    const Bytes palette = {1, 2, 3, 4, 5, 6};   // 2 entries: blue, green, red
    const DecodedImage image = read_bmp_ok(make_bmp(12, 2, 1, 1, palette, {{0x40, 0, 0, 0}}));
    EXPECT_PIXEL(image, 0, 0, 3, 2, 1, 255);
    EXPECT_PIXEL(image, 1, 0, 6, 5, 4, 255);
}

TEST(BmpReader, NegativeHeightIsReadTopDown)
{
    const Bytes first = {1, 1, 1, 0}, second = {2, 2, 2, 0};
    const DecodedImage image = read_bmp_ok(make_bmp(40, 1, -2, 24, {}, {first, second}));
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(pixel_at(image, 0, 0).r, 1);
    EXPECT_EQ(pixel_at(image, 0, 1).r, 2);
}

TEST(BmpReader, ColourKeyClearsMatchingPixelsOnly)
{
    // (255, 0, 128) and its neighbour colour (255, 0, 129).
    const Bytes row = {128, 0, 255, 129, 0, 255, 0, 0};
    const Bytes file = make_bmp(40, 2, 1, 24, {}, {row});
    const DecodedImage keyed = read_bmp_ok(file, KEY);
    EXPECT_PIXEL(keyed, 0, 0, 0, 0, 0, 0);
    EXPECT_PIXEL(keyed, 1, 0, 255, 0, 129, 255);
    const DecodedImage plain = read_bmp_ok(file, NO_COLOUR_KEY);
    EXPECT_PIXEL(plain, 0, 0, 255, 0, 128, 255);
}

TEST(BmpReader, RefusesOtherFormatsAndDepths)
{
    DecodedImage image;
    Bytes v4 = make_bmp(40, 1, 1, 24, {}, {{1, 2, 3, 0}});
    put32(v4, 14, 108);
    EXPECT_FALSE(read_bmp(image, v4.data(), v4.size(), KEY));
    const Bytes sixteen = make_bmp(40, 1, 1, 16, {}, {{1, 2, 0, 0}});
    EXPECT_FALSE(read_bmp(image, sixteen.data(), sixteen.size(), KEY));
    Bytes not_bm = make_bmp(40, 1, 1, 24, {}, {{1, 2, 3, 0}});
    not_bm[0] = 'X';
    EXPECT_FALSE(read_bmp(image, not_bm.data(), not_bm.size(), KEY));
    EXPECT_EQ(image.width, 0);
    EXPECT_TRUE(image.pixels.empty());
}

// ---- hostile BMPs -------------------------------------------------------------

TEST(BmpHostile, HugeAndNegativeSizesAreRefused)
{
    DecodedImage image;
    const int32_t sizes[][2] = {{0x7fffffff, 1}, {1, INT32_MIN},          {-5, 1},       {0, 1},
                                {1, 0},          {MAX_IMAGE_SIDE + 1, 1}, {16384, 16384}};
    for (const auto& size : sizes) {
        const Bytes file = make_bmp(40, size[0], size[1], 32, {}, {{1, 2, 3, 4}});
        EXPECT_FALSE(read_bmp(image, file.data(), file.size(), KEY)) << size[0] << "x" << size[1];
        EXPECT_EQ(image.width, 0);
    }
}

TEST(BmpHostile, PixelDataShorterThanTheHeaderSays)
{
    DecodedImage image;
    Bytes file = make_bmp(40, 4, 4, 24, {}, {Bytes(12), Bytes(12), Bytes(12), Bytes(12)});
    file.resize(file.size() - 1);
    EXPECT_FALSE(read_bmp(image, file.data(), file.size(), KEY));
}

TEST(BmpHostile, OffsetsOutsideTheFileAreRefused)
{
    DecodedImage image;
    Bytes past_end = make_bmp(40, 1, 1, 24, {}, {{1, 2, 3, 0}});
    put32(past_end, 10, uint32_t(past_end.size() + 100));
    EXPECT_FALSE(read_bmp(image, past_end.data(), past_end.size(), KEY));
    Bytes inside_header = past_end;
    put32(inside_header, 10, 16);   // no room for the header size
    EXPECT_FALSE(read_bmp(image, inside_header.data(), inside_header.size(), KEY));
    Bytes short_header = make_bmp(40, 1, 1, 24, {}, {{1, 2, 3, 0}});
    put32(short_header, 10, 14 + 20);   // the 40-byte header does not fit the block
    EXPECT_FALSE(read_bmp(image, short_header.data(), short_header.size(), KEY));
    const unsigned char tiny[] = {'B', 'M', 0, 0};
    EXPECT_FALSE(read_bmp(image, tiny, sizeof tiny, KEY));
}

TEST(BmpHostile, IndicesPastTheStoredPaletteReadAsBlack)
{
    // An 8-bit file whose palette holds one entry but whose pixels use 200.
    const Bytes palette = {10, 20, 30, 0};
    const DecodedImage image = read_bmp_ok(make_bmp(40, 2, 1, 8, palette, {{0, 200, 0, 0}}));
    EXPECT_PIXEL(image, 0, 0, 30, 20, 10, 255);
    EXPECT_PIXEL(image, 1, 0, 0, 0, 0, 255);
}

// ---- PNG files built with libpng -------------------------------------------------

void append_to(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void flush_nothing(png_structp) {}

struct PngRecipe {
    int width, height, bit_depth, colour_type;
    std::vector<Bytes> rows;
    std::vector<png_color> palette;
    Bytes alpha_of_palette;   // tRNS
};

Bytes make_png(const PngRecipe& recipe)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test file";
        return {};
    }
    png_set_write_fn(png, &out, append_to, flush_nothing);
    png_set_IHDR(png, info, recipe.width, recipe.height, recipe.bit_depth, recipe.colour_type,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!recipe.palette.empty())
        png_set_PLTE(png, info, recipe.palette.data(), int(recipe.palette.size()));
    if (!recipe.alpha_of_palette.empty())
        png_set_tRNS(png, info, recipe.alpha_of_palette.data(), int(recipe.alpha_of_palette.size()),
                     nullptr);
    png_write_info(png, info);
    for (const Bytes& row : recipe.rows) png_write_row(png, row.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

DecodedImage read_png_ok(const Bytes& file, int key = NO_COLOUR_KEY)
{
    DecodedImage image;
    EXPECT_TRUE(read_png(image, "test.png", file.data(), file.size(), key));
    return image;
}

TEST(PngReader, RgbImageGetsTheColourKey)
{
    const Bytes file = make_png({2, 1, 8, PNG_COLOR_TYPE_RGB, {{255, 0, 128, 1, 2, 3}}, {}, {}});
    const DecodedImage image = read_png_ok(file, KEY);
    EXPECT_PIXEL(image, 0, 0, 0, 0, 0, 0);
    EXPECT_PIXEL(image, 1, 0, 1, 2, 3, 255);
}

TEST(PngReader, RgbaImageKeepsItsAlphaAndIgnoresTheKey)
{
    const Bytes file =
        make_png({2, 1, 8, PNG_COLOR_TYPE_RGB_ALPHA, {{255, 0, 128, 255, 9, 8, 7, 6}}, {}, {}});
    const DecodedImage image = read_png_ok(file, KEY);
    EXPECT_PIXEL(image, 0, 0, 255, 0, 128, 255);
    EXPECT_PIXEL(image, 1, 0, 9, 8, 7, 6);
}

TEST(PngReader, PaletteWithTransparencyBecomesAlpha)
{
    PngRecipe recipe = {3, 1, 8, PNG_COLOR_TYPE_PALETTE, {{0, 1, 2}}, {}, {}};
    recipe.palette = {{255, 0, 128}, {10, 20, 30}, {40, 50, 60}};
    recipe.alpha_of_palette = {255, 0, 77};
    const DecodedImage image = read_png_ok(make_png(recipe), KEY);
    // Four channels after expansion: no colour key, the tRNS alpha instead.
    EXPECT_PIXEL(image, 0, 0, 255, 0, 128, 255);
    EXPECT_PIXEL(image, 1, 0, 10, 20, 30, 0);
    EXPECT_PIXEL(image, 2, 0, 40, 50, 60, 77);
}

TEST(PngReader, PaletteWithoutTransparencyIsKeyed)
{
    PngRecipe recipe = {2, 1, 4, PNG_COLOR_TYPE_PALETTE, {{0x01}}, {}, {}};
    recipe.palette = {{255, 0, 128}, {10, 20, 30}};
    const DecodedImage image = read_png_ok(make_png(recipe), KEY);
    EXPECT_PIXEL(image, 0, 0, 0, 0, 0, 0);
    EXPECT_PIXEL(image, 1, 0, 10, 20, 30, 255);
}

TEST(PngReader, SixteenBitSamplesAreCutToEight)
{
    const Bytes row = {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x00, 0x80, 0x01};
    const DecodedImage image =
        read_png_ok(make_png({1, 1, 16, PNG_COLOR_TYPE_RGB_ALPHA, {row}, {}, {}}));
    EXPECT_PIXEL(image, 0, 0, 0x12, 0xAB, 0xFF, 0x80);
}

TEST(PngReader, GreyImagesBecomeGreyRgba)
{
    const DecodedImage eight =
        read_png_ok(make_png({2, 1, 8, PNG_COLOR_TYPE_GRAY, {{0, 200}}, {}, {}}), 0);
    // The key never applies to grey images, even a key of black.
    EXPECT_PIXEL(eight, 0, 0, 0, 0, 0, 255);
    EXPECT_PIXEL(eight, 1, 0, 200, 200, 200, 255);
    const DecodedImage one =
        read_png_ok(make_png({3, 1, 1, PNG_COLOR_TYPE_GRAY, {{0xA0}}, {}, {}}));
    EXPECT_PIXEL(one, 0, 0, 255, 255, 255, 255);
    EXPECT_PIXEL(one, 1, 0, 0, 0, 0, 255);
    EXPECT_PIXEL(one, 2, 0, 255, 255, 255, 255);
}

TEST(PngReader, GreyWithAlphaIsRefusedWithoutAMessage)
{
    const Bytes file = make_png({1, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, {{10, 20}}, {}, {}});
    DecodedImage image;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(read_png(image, "ga.png", file.data(), file.size(), KEY));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(image.width, 0);
}

TEST(PngReader, RowsComeTopFirst)
{
    const Bytes file = make_png({1, 3, 8, PNG_COLOR_TYPE_GRAY, {{1}, {2}, {3}}, {}, {}});
    const DecodedImage image = read_png_ok(file);
    EXPECT_EQ(pixel_at(image, 0, 0).r, 1);
    EXPECT_EQ(pixel_at(image, 0, 2).r, 3);
}

TEST(PngHostile, TruncatedAndCorruptFilesFailQuietly)
{
    const Bytes good =
        make_png({8, 8, 8, PNG_COLOR_TYPE_RGB, std::vector<Bytes>(8, Bytes(24, 7)), {}, {}});
    DecodedImage image;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    for (std::size_t cut : {std::size_t(4), std::size_t(20), good.size() / 2, good.size() - 13}) {
        EXPECT_FALSE(read_png(image, "cut.png", good.data(), cut, KEY)) << cut;
        EXPECT_EQ(image.width, 0);
    }
    Bytes corrupt = good;
    corrupt[40] ^= 0xff;   // inside IHDR or IDAT: the CRC no longer matches
    EXPECT_FALSE(read_png(image, "bad.png", corrupt.data(), corrupt.size(), KEY));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// The PNG chunk checksum (CRC-32, polynomial 0xEDB88320).
uint32_t chunk_crc(const unsigned char* data, std::size_t n)
{
    uint32_t crc = 0xffffffffu;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xffffffffu;
}

TEST(PngHostile, HugeDeclaredSizesAreRefusedBeforeAllocating)
{
    // A 1 x 1 file whose IHDR then claims 100000 x 100000 (CRC fixed up).
    Bytes file = make_png({1, 1, 8, PNG_COLOR_TYPE_RGB, {{1, 2, 3}}, {}, {}});
    const uint32_t stored = uint32_t(file[29]) << 24 | file[30] << 16 | file[31] << 8 | file[32];
    ASSERT_EQ(chunk_crc(&file[12], 17), stored);   // the patch below keeps IHDR valid
    for (uint32_t side : {100000u, uint32_t(MAX_IMAGE_SIDE + 1), 0x7fffffffu}) {
        Bytes patched = file;
        for (int i = 0; i < 4; ++i) {
            patched[16 + i] = (side >> (24 - 8 * i)) & 0xff;
            patched[20 + i] = (side >> (24 - 8 * i)) & 0xff;
        }
        const uint32_t crc = chunk_crc(&patched[12], 17);
        for (int i = 0; i < 4; ++i) patched[29 + i] = (crc >> (24 - 8 * i)) & 0xff;
        DecodedImage image;
        EXPECT_FALSE(read_png(image, "huge.png", patched.data(), patched.size(), KEY)) << side;
    }
}

TEST(PngWriter, WritesRgbaThatReadsBackExactly)
{
    ScratchFolder folder;
    const int w = 5, h = 3;
    Bytes pixels(w * h * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 37 + 11);
    const std::string path = folder.file("out.png");
    write_bytes(path, Bytes(1000, 'x'));   // an older, longer file is replaced
    ASSERT_TRUE(write_png(path.c_str(), pixels.data(), w, h));
    const Bytes file = read_bytes(path);
    const DecodedImage image = read_png_ok(file, KEY);
    ASSERT_EQ(image.width, w);
    ASSERT_EQ(image.height, h);
    EXPECT_EQ(image.pixels, pixels);
}

TEST(PngWriter, FailsForAPathThatCannotBeCreated)
{
    const unsigned char pixel[4] = {1, 2, 3, 4};
    EXPECT_FALSE(write_png("/nonexistent-folder/x.png", pixel, 1, 1));
    EXPECT_FALSE(write_png("/tmp/never.png", pixel, 0, 1));
}

// ---- JPEG files built with libjpeg ----------------------------------------------

struct JpegSink {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

Bytes make_jpeg(int width, int height, int components, const Bytes& samples)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    JpegSink sink;
    jpeg_mem_dest(&info, &sink.buffer, &sink.size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&samples[info.next_scanline * width * components]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(sink.buffer, sink.buffer + sink.size);
    jpeg_destroy_compress(&info);
    free(sink.buffer);
    return out;
}

// A 16 x 16 image: the left half the colour key, the right half green.
Bytes colour_jpeg()
{
    Bytes samples(16 * 16 * 3);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            unsigned char* p = &samples[(y * 16 + x) * 3];
            p[0] = x < 8 ? 255 : 0;
            p[1] = x < 8 ? 0 : 200;
            p[2] = x < 8 ? 128 : 0;
        }
    return make_jpeg(16, 16, 3, samples);
}

TEST(JpegReader, ColourImageIsOpaqueAndNeverKeyed)
{
    const Bytes file = colour_jpeg();
    DecodedImage image;
    ASSERT_TRUE(read_jpeg(image, file.data(), file.size()));
    ASSERT_EQ(image.width, 16);
    ASSERT_EQ(image.height, 16);
    const Rgba key_like = pixel_at(image, 2, 2), green = pixel_at(image, 13, 13);
    EXPECT_NEAR(key_like.r, 255, 6);
    EXPECT_NEAR(key_like.g, 0, 6);
    EXPECT_NEAR(key_like.b, 128, 6);
    EXPECT_EQ(key_like.a, 255);
    EXPECT_NEAR(green.g, 200, 6);
    EXPECT_EQ(green.a, 255);
    // Through the reader order the key is passed but JPEG ignores it.
    DecodedImage decoded;
    ASSERT_TRUE(decode_image(decoded, "c.jpg", file.data(), file.size(), KEY));
    EXPECT_EQ(pixel_at(decoded, 2, 2).a, 255);
}

TEST(JpegReader, GreyImageGivesGreyRgba)
{
    Bytes samples(8 * 8);
    for (int i = 0; i < 64; ++i) samples[i] = uint8_t(i < 32 ? 40 : 220);
    const Bytes file = make_jpeg(8, 8, 1, samples);
    DecodedImage image;
    ASSERT_TRUE(read_jpeg(image, file.data(), file.size()));
    const Rgba top = pixel_at(image, 3, 1), bottom = pixel_at(image, 3, 6);
    EXPECT_NEAR(top.r, 40, 4);
    EXPECT_EQ(top.r, top.g);
    EXPECT_EQ(top.r, top.b);
    EXPECT_EQ(top.a, 255);
    EXPECT_NEAR(bottom.r, 220, 4);
}

TEST(JpegHostile, TruncatedDataFailsTheLoadAndTheProcessRunsOn)
{
    const Bytes file = colour_jpeg();
    DecodedImage image;
    testing::internal::CaptureStderr();
    for (std::size_t cut : {std::size_t(3), std::size_t(30), file.size() / 2, file.size() - 3}) {
        EXPECT_FALSE(read_jpeg(image, file.data(), cut)) << cut;
        EXPECT_EQ(image.width, 0);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // The reader still works afterwards.
    EXPECT_TRUE(read_jpeg(image, file.data(), file.size()));
}

// Position of the byte after the first SOFn marker's length field.
std::size_t start_of_frame(const Bytes& file)
{
    for (std::size_t i = 2; i + 1 < file.size(); ++i)
        if (file[i] == 0xff && file[i + 1] >= 0xc0 && file[i + 1] <= 0xc2) return i + 4;
    return 0;
}

TEST(JpegHostile, CorruptHeadersAndHugeSizesAreRefused)
{
    const Bytes file = colour_jpeg();
    const std::size_t frame = start_of_frame(file);
    ASSERT_GT(frame, 0u);
    DecodedImage image;
    Bytes huge = file;   // precision, then height and width: 60000 x 60000
    huge[frame + 1] = huge[frame + 3] = 0xEA;
    huge[frame + 2] = huge[frame + 4] = 0x60;
    EXPECT_FALSE(read_jpeg(image, huge.data(), huge.size()));
    Bytes zero = file;
    zero[frame + 3] = zero[frame + 4] = 0;   // width 0
    EXPECT_FALSE(read_jpeg(image, zero.data(), zero.size()));
    Bytes garbage = file;
    for (std::size_t i = 2; i < garbage.size(); ++i) garbage[i] = uint8_t(i * 131);
    EXPECT_FALSE(read_jpeg(image, garbage.data(), garbage.size()));
    EXPECT_EQ(image.width, 0);
}

// ---- reader order, names and the BMP writer ----------------------------------

TEST(ImageDecoding, FirstMatchingReaderDecides)
{
    DecodedImage image;
    const Bytes bmp = make_bmp(40, 1, 1, 24, {}, {{128, 0, 255, 0}});
    ASSERT_TRUE(decode_image(image, "a.bmp", bmp.data(), bmp.size(), KEY));
    EXPECT_EQ(pixel_at(image, 0, 0).a, 0);
    const Bytes png = make_png({1, 1, 8, PNG_COLOR_TYPE_GRAY, {{9}}, {}, {}});
    ASSERT_TRUE(decode_image(image, "a.png", png.data(), png.size(), KEY));
    EXPECT_EQ(pixel_at(image, 0, 0).r, 9);
    const Bytes text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
    EXPECT_FALSE(decode_image(image, "t.txt", text.data(), text.size(), KEY));
    EXPECT_FALSE(decode_image(image, "empty", nullptr, 0, KEY));
    EXPECT_EQ(image.width, 0);
}

TEST(ImageDecoding, LoadsPlainFilesAndMemoryNames)
{
    ScratchFolder folder;
    const Bytes png = make_png(
        {2, 2, 8, PNG_COLOR_TYPE_RGB, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}, {}, {}});
    const std::string path = folder.file("pic.png");
    write_bytes(path, png);
    DecodedImage image;
    ASSERT_TRUE(load_image(image, path.c_str(), KEY));
    EXPECT_PIXEL(image, 1, 1, 10, 11, 12, 255);

    const unsigned handle = register_memory_block(png);
    const std::string name = memory_name(handle);
    ASSERT_TRUE(load_image(image, name.c_str(), KEY));
    EXPECT_PIXEL(image, 0, 1, 7, 8, 9, 255);
    release_memory_block(handle);
    EXPECT_FALSE(load_image(image, name.c_str(), KEY));
    EXPECT_FALSE(load_image(image, folder.file("missing.png").c_str(), KEY));
}

TEST(BmpWriter, WritesPaddedRowsThatReadBack)
{
    ScratchFolder folder;
    const int w = 5, h = 2;   // 15 bytes a row, padded to 16
    Bytes bgr(w * h * 3);
    for (std::size_t i = 0; i < bgr.size(); ++i) bgr[i] = uint8_t(i * 7 + 1);
    const std::string path = folder.file("shot.bmp");
    ASSERT_TRUE(write_bmp24(path.c_str(), bgr.data(), w, h));
    const Bytes file = read_bytes(path);
    ASSERT_EQ(file.size(), 54u + 16u * h);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[28], 24);
    const DecodedImage image = read_bmp_ok(file);
    // The first row given is the bottom row.
    EXPECT_PIXEL(image, 0, 1, bgr[2], bgr[1], bgr[0], 255);
    EXPECT_PIXEL(image, 4, 0, bgr[15 + 14], bgr[15 + 13], bgr[15 + 12], 255);
}

}   // namespace
