// Our own BMP reader (core and info headers; 1, 4, 8, 24 and 32 bits,
// uncompressed) and the 24-bit BMP writer.  Every field is read through a
// bounds-checked cursor, so a header that lies about sizes can only make the
// load fail.
#include <cstring>

#include "core/media_source.h"
#include "media/image.h"

namespace {

constexpr std::size_t FILE_HEADER_SIZE = 14;
constexpr uint32_t CORE_HEADER_SIZE = 12;
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr uint32_t UNCOMPRESSED = 0;   // BI_RGB; run-length and bit-field pixels are not read

uint16_t read_u16(const unsigned char* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t read_u32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void put_u16(unsigned char* p, uint16_t v)
{
    p[0] = v & 0xff;
    p[1] = v >> 8;
}

void put_u32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = (v >> (8 * i)) & 0xff;
}

struct BmpLayout {
    long long width;
    long long height;
    bool top_down;   // negative height in the info header
    int bits;
    const unsigned char* palette;
    std::size_t palette_entries;   // entries actually present in the data
    std::size_t entry_size;        // 3 (core header) or 4 (info header)
    const unsigned char* pixels;
    std::size_t row_size;
};

// Reads the headers; the palette is bounded by the header block.
bool read_bmp_headers(const unsigned char* data, std::size_t size, BmpLayout& layout)
{
    if (size < FILE_HEADER_SIZE + 4 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t offset = read_u32(data + 10);
    if (offset < FILE_HEADER_SIZE + 4 || offset > size) return false;
    const unsigned char* header = data + FILE_HEADER_SIZE;
    const std::size_t block = offset - FILE_HEADER_SIZE;
    const uint32_t header_size = read_u32(header);
    if ((header_size != CORE_HEADER_SIZE && header_size != INFO_HEADER_SIZE) || block < header_size)
        return false;
    if (header_size == CORE_HEADER_SIZE) {
        layout.width = read_u16(header + 4);
        layout.height = read_u16(header + 6);
        layout.bits = read_u16(header + 10);
        layout.entry_size = 3;
    } else {
        layout.width = int32_t(read_u32(header + 4));
        layout.height = int32_t(read_u32(header + 8));
        layout.bits = read_u16(header + 14);
        layout.entry_size = 4;
        if (read_u32(header + 16) != UNCOMPRESSED) return false;
    }
    layout.top_down = layout.height < 0;
    if (layout.top_down) layout.height = -layout.height;
    layout.palette = header + header_size;
    layout.palette_entries = (block - header_size) / layout.entry_size;
    layout.pixels = data + offset;
    return true;
}

// Checks the sizes and that the pixel data is all there.
bool bmp_layout_valid(BmpLayout& layout, std::size_t available)
{
    const int bits = layout.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    if (!image_size_allowed(layout.width, layout.height)) return false;
    const unsigned long long row_bits = (unsigned long long)layout.width * bits;
    layout.row_size = std::size_t((row_bits + 31) / 32 * 4);
    return (unsigned long long)layout.row_size * layout.height <= available;
}

// Palette entry (blue, green, red[, reserved]); an index past the entries
// the file holds reads as black.
void set_from_palette(uint8_t* out, const BmpLayout& layout, unsigned index)
{
    if (index < layout.palette_entries) {
        const unsigned char* entry = layout.palette + index * layout.entry_size;
        out[0] = entry[2];
        out[1] = entry[1];
        out[2] = entry[0];
    } else {
        out[0] = out[1] = out[2] = 0;
    }
    out[3] = 255;
}

void convert_bmp_row(const unsigned char* row, uint8_t* out, const BmpLayout& layout)
{
    for (long long x = 0; x < layout.width; ++x, out += 4) {
        switch (layout.bits) {
        case 1: set_from_palette(out, layout, (row[x / 8] >> (7 - x % 8)) & 1); break;
        case 4:
            set_from_palette(out, layout, x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0f);
            break;
        case 8: set_from_palette(out, layout, row[x]); break;
        default: {
            const unsigned char* p = row + x * (layout.bits / 8);
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
            out[3] = 255;
        }
        }
    }
}

}   // namespace

bool read_bmp(DecodedImage& image, const unsigned char* data, std::size_t size, int key)
{
    image = DecodedImage();
    BmpLayout layout = {};
    if (!data || !read_bmp_headers(data, size, layout) ||
        !bmp_layout_valid(layout, size - (layout.pixels - data)) ||
        !allocate_image(image, layout.width, layout.height))
        return false;
    // Files store rows bottom first unless their height is negative.
    for (int y = 0; y < image.height; ++y) {
        const int file_row = layout.top_down ? y : image.height - 1 - y;
        convert_bmp_row(layout.pixels + std::size_t(file_row) * layout.row_size,
                        image.pixels.data() + std::size_t(y) * image.width * 4, layout);
    }
    apply_colour_key(image, key);
    return true;
}

bool write_bmp24(const char* path, const unsigned char* bgr, int width, int height)
{
    if (!path || !bgr || !image_size_allowed(width, height)) return false;
    const std::size_t row_size = (std::size_t(width) * 3 + 3) / 4 * 4;
    const std::size_t data_offset = FILE_HEADER_SIZE + INFO_HEADER_SIZE;
    std::vector<unsigned char> file(data_offset + row_size * height, 0);
    unsigned char* h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    put_u32(h + 2, uint32_t(file.size()));
    put_u32(h + 10, uint32_t(data_offset));
    put_u32(h + 14, INFO_HEADER_SIZE);
    put_u32(h + 18, uint32_t(width));
    put_u32(h + 22, uint32_t(height));
    put_u16(h + 26, 1);       // planes
    put_u16(h + 28, 24);      // bits per pixel
    put_u32(h + 38, 10000);   // horizontal resolution
    put_u32(h + 42, 10000);   // vertical resolution
    for (int y = 0; y < height; ++y)
        std::memcpy(h + data_offset + y * row_size, bgr + std::size_t(y) * width * 3,
                    std::size_t(width) * 3);
    return write_whole_file(path, file.data(), file.size(), false);
}
