// PNG reading and writing over libpng's documented interface.  libpng reports
// errors by longjmp: every function that calls setjmp keeps only plain locals,
// and all C++ objects live in its caller, so no destructor is ever skipped.
//
// A file to read is untrusted.  Its ancillary chunks are skipped unread (the
// game uses none, and libpng would first allocate whatever length one
// claims); every warning and "benign" error of libpng fails the load, as
// they tell of damaged or surplus data; the file must be long enough to hold
// the image data its header claims; and the rows are decoded straight into
// the picture, so a decode needs little more than the picture itself.
#include <cstring>
#include <png.h>

#include "core/media_source.h"
#include "media/image.h"

namespace {

// Deflate makes at most 1032 bytes of one (a 258-byte match coded in two
// bits), so no file holds more image data than this many times its size.
constexpr unsigned long long DEFLATE_MAX_EXPANSION = 1032;
// libpng's buffers besides its two rows: the zlib window and state.
constexpr unsigned long long PNG_FIXED_WORKING_BYTES = 64ull * 1024;

struct MemoryReader {
    const unsigned char* data;
    std::size_t size;
    std::size_t position;
};

// libpng's default handlers print before they jump or go on; ours jump, so a
// damaged file fails its load silently.
void png_fail_silently(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void png_read_from_memory(png_structp png, png_bytep out, png_size_t count)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->size - reader->position) png_error(png, "read past the end of the data");
    std::memcpy(out, reader->data + reader->position, count);
    reader->position += count;
}

struct PngLayout {
    png_uint_32 width;
    png_uint_32 height;
    bool keyed;   // no alpha of its own: the colour key applies
};

// The bytes of one row of the stored image data: a filter byte, then the
// packed samples.
unsigned long long stored_row_bytes(png_structp png, png_infop info)
{
    const unsigned long long bits_per_pixel =
        static_cast<unsigned long long>(png_get_bit_depth(png, info)) * png_get_channels(png, info);
    return (png_get_image_width(png, info) * bits_per_pixel + 7) / 8 + 1;
}

// Whether the file can hold the image its header claims, and the picture
// with libpng's buffers (two rows) and the row table fits the decode cap.
bool image_data_believable(png_structp png, png_infop info, std::size_t file_size)
{
    const unsigned long long row = stored_row_bytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (row * height > file_size * DEFLATE_MAX_EXPANSION) return false;
    const unsigned long long working =
        2 * row + height * sizeof(png_bytep) + PNG_FIXED_WORKING_BYTES;
    return image_decode_fits(png_get_image_width(png, info), height, working);
}

// Asks for 8-bit RGBA rows: palettes, low bit depths and tRNS expanded,
// 16 bits cut to 8, grey spread to RGB, opaque alpha added where there is
// none.  False for grey with alpha, which the game does not take.
bool request_rgba(png_structp png, png_infop info, PngLayout* layout)
{
    const int type = png_get_color_type(png, info);
    const bool colour = (type & PNG_COLOR_MASK_COLOR) != 0;
    const bool alpha =
        (type & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (!colour && alpha) return false;
    png_set_expand(png);
    png_set_strip_16(png);
    if (!colour) png_set_gray_to_rgb(png);
    if (!alpha) png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    // Grey pictures keep every pixel, whatever the key.
    layout->keyed = colour && !alpha;
    return true;
}

// Reads the header and the chunks before the image data, and sets up the
// transformations.
bool read_png_layout(png_structp png, png_infop info, MemoryReader* reader, PngLayout* layout)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, reader, png_read_from_memory);
    png_set_user_limits(png, MAX_IMAGE_SIDE, MAX_IMAGE_SIDE);
    png_set_benign_errors(png, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, info);
    if (!image_data_believable(png, info, reader->size) || !request_rgba(png, info, layout))
        return false;
    png_read_update_info(png, info);
    layout->width = png_get_image_width(png, info);
    layout->height = png_get_image_height(png, info);
    return png_get_channels(png, info) == 4 && png_get_bit_depth(png, info) == 8 &&
           png_get_rowbytes(png, info) == std::size_t(layout->width) * 4;
}

// The image data, then the chunks after it up to IEND, so that data that is
// cut short, surplus or damaged anywhere fails the load.
bool read_png_rows(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

bool decode_png(DecodedImage& image, png_structp png, png_infop info, MemoryReader& reader, int key)
{
    PngLayout layout = {};
    if (!read_png_layout(png, info, &reader, &layout) ||
        !allocate_image(image, layout.width, layout.height))
        return false;
    std::vector<png_bytep> rows(layout.height);
    for (png_uint_32 y = 0; y < layout.height; ++y)
        rows[y] = image.pixels.data() + std::size_t(y) * layout.width * 4;
    if (!read_png_rows(png, rows.data())) return false;
    if (layout.keyed) apply_colour_key(image, key);
    return true;
}

// Warnings while writing our own pixels tell of nothing we could mend.
void png_ignore_warning(png_structp, png_const_charp) {}

void png_write_to_memory(png_structp png, png_bytep data, png_size_t count)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void png_flush_nothing(png_structp) {}

bool encode_png(png_structp png, png_infop info, std::vector<unsigned char>* out, png_bytepp rows,
                int width, int height)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, png_write_to_memory, png_flush_nothing);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

}   // namespace

bool read_png(DecodedImage& image, const char* /*name*/, const unsigned char* data,
              std::size_t size, int key)
{
    image = DecodedImage();
    if (!data || size < 4 || std::memcmp(data + 1, "PNG", 3) != 0) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_fail_silently,
                                             png_fail_silently);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    MemoryReader reader = {data, size, 0};
    const bool decoded = info && decode_png(image, png, info, reader, key);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!decoded) image = DecodedImage();
    return decoded;
}

bool write_png(const char* path, const unsigned char* rgba, int width, int height)
{
    if (!path || !rgba || !image_size_allowed(width, height)) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, png_fail_silently,
                                              png_ignore_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<unsigned char> encoded;
    std::vector<png_bytep> rows(height);
    for (int y = 0; y < height; ++y)
        rows[y] = const_cast<png_bytep>(rgba + std::size_t(y) * width * 4);
    const bool encoded_ok = info && encode_png(png, info, &encoded, rows.data(), width, height);
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return encoded_ok && write_whole_file(path, encoded.data(), encoded.size(), false);
}
