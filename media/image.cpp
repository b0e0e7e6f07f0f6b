// The shared part of the image readers: size limits, the colour key, the
// order in which the readers are tried, and loading a media name.
#include "media/image.h"

#include <string>

#include "core/archive.h"
#include "core/media_source.h"

bool image_size_allowed(long long width, long long height)
{
    if (width <= 0 || height <= 0 || width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE)
        return false;
    return static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) <=
           MAX_IMAGE_PIXELS;
}

bool image_decode_fits(long long width, long long height, unsigned long long working_bytes)
{
    if (!image_size_allowed(width, height)) return false;
    const unsigned long long pixel_bytes =
        static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) * 4;
    return working_bytes <= MAX_DECODE_BYTES - pixel_bytes;
}

bool allocate_image(DecodedImage& image, long long width, long long height)
{
    image = DecodedImage();
    if (!image_size_allowed(width, height)) return false;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    return true;
}

void apply_colour_key(DecodedImage& image, int key)
{
    if (key == NO_COLOUR_KEY) return;
    const uint8_t red = key & 0xff, green = (key >> 8) & 0xff, blue = (key >> 16) & 0xff;
    for (std::size_t i = 0; i + 3 < image.pixels.size(); i += 4) {
        uint8_t* p = &image.pixels[i];
        if (p[0] == red && p[1] == green && p[2] == blue) p[0] = p[1] = p[2] = p[3] = 0;
    }
}

bool decode_image(DecodedImage& image, const char* name, const unsigned char* data,
                  std::size_t size, int key)
{
    const bool decoded = read_bmp(image, data, size, key) ||
                         read_png(image, name, data, size, key) || read_jpeg(image, data, size);
    if (decoded && image.width > 0 && image.height > 0) return true;
    image = DecodedImage();
    return false;
}

bool load_image(DecodedImage& image, const char* name, int key)
{
    image = DecodedImage();
    std::string path;
    std::vector<unsigned char> bytes;
    if (!name || !resolve_media_path(general_archive(), name, path, true) ||
        !read_whole_media(path.c_str(), bytes))
        return false;
    return decode_image(image, path.c_str(), bytes.data(), bytes.size(), key);
}
