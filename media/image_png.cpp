// PNG reading and writing over libpng's documented interface.  libpng reports
// errors by longjmp: every function that calls setjmp keeps only plain locals,
// and all C++ objects live in its caller, so no destructor is ever skipped.
#include <cstdio>
#include <cstring>
#include <png.h>

#include "core/media_source.h"
#include "media/image.h"

namespace {

struct MemoryReader {
    const unsigned char* data;
    std::size_t size;
    std::size_t position;
};

// libpng's default error handler prints a message before it jumps; ours only
// jumps, so a broken file fails its load silently.
void png_fail_silently(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void png_ignore_warning(png_structp, png_const_charp) {}

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
    int channels;
    int bit_depth;
    int colour_type;
    std::size_t row_bytes;
};

// Reads the header and sets up the transformations to 8-bit samples.
bool read_png_layout(png_structp png, png_infop info, MemoryReader* reader, PngLayout* layout)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, reader, png_read_from_memory);
    png_set_user_limits(png, MAX_IMAGE_SIDE, MAX_IMAGE_SIDE);
    png_read_info(png, info);
    const int type = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (type == PNG_COLOR_TYPE_PALETTE || (type == PNG_COLOR_TYPE_GRAY && depth < 8) ||
        png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_expand(png);
    if (depth == 16) png_set_strip_16(png);
    if (depth < 8) png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    layout->width = png_get_image_width(png, info);
    layout->height = png_get_image_height(png, info);
    layout->channels = png_get_channels(png, info);
    layout->bit_depth = png_get_bit_depth(png, info);
    layout->colour_type = png_get_color_type(png, info);
    layout->row_bytes = png_get_rowbytes(png, info);
    return true;
}

bool read_png_rows(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    return true;
}

// The checks after the transformations, with the reader's two messages.
bool png_layout_supported(const PngLayout& layout, const char* name)
{
    if (layout.channels != 1 && layout.channels != 3 && layout.channels != 4) return false;
    if (layout.bit_depth != 8) {
        std::printf("File %s has bit depth %d.\n", name, layout.bit_depth);
        std::printf("Only bit depth of 8 is supported.\n");
        return false;
    }
    if (layout.colour_type != PNG_COLOR_TYPE_GRAY && layout.colour_type != PNG_COLOR_TYPE_RGB &&
        layout.colour_type != PNG_COLOR_TYPE_RGB_ALPHA) {
        std::printf("File %s has unsupported color type.\n", name);
        std::printf("Types GRAY, RGB and RGB_ALPHA are supported.\n");
        return false;
    }
    return layout.row_bytes >= std::size_t(layout.width) * layout.channels &&
           image_size_allowed(layout.width, layout.height);
}

void convert_png_rows(DecodedImage& image, const std::vector<unsigned char>& samples,
                      const PngLayout& layout, int key)
{
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* in = samples.data() + std::size_t(y) * layout.row_bytes;
        uint8_t* out = image.pixels.data() + std::size_t(y) * image.width * 4;
        for (int x = 0; x < image.width; ++x, out += 4, in += layout.channels) {
            if (layout.channels == 1) {
                out[0] = out[1] = out[2] = in[0];
                out[3] = 255;
            } else {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                out[3] = layout.channels == 4 ? in[3] : 255;
            }
        }
    }
    if (layout.channels == 3) apply_colour_key(image, key);
}

bool decode_png(DecodedImage& image, const char* name, png_structp png, png_infop info,
                MemoryReader& reader, int key)
{
    PngLayout layout = {};
    if (!read_png_layout(png, info, &reader, &layout) || !png_layout_supported(layout, name))
        return false;
    std::vector<unsigned char> samples(layout.row_bytes * layout.height);
    std::vector<png_bytep> rows(layout.height);
    for (png_uint_32 y = 0; y < layout.height; ++y) rows[y] = samples.data() + y * layout.row_bytes;
    if (!read_png_rows(png, rows.data()) || !allocate_image(image, layout.width, layout.height))
        return false;
    convert_png_rows(image, samples, layout, key);
    return true;
}

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

bool read_png(DecodedImage& image, const char* name, const unsigned char* data, std::size_t size,
              int key)
{
    image = DecodedImage();
    if (size < 4 || std::memcmp(data + 1, "PNG", 3) != 0) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_fail_silently,
                                             png_ignore_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    MemoryReader reader = {data, size, 0};
    const bool decoded = info && decode_png(image, name ? name : "", png, info, reader, key);
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
