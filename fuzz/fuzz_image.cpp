/*
 * fuzz_image.cpp - pictures as the sprite, font and background loaders read
 * them: a media name resolved through the general archive (here a memory
 * block, as an extracted entry is), read whole, and decoded by the first
 * reader that takes it, with the colour key of sprites, of fonts or none.
 *
 * Built as fuzz_bmp, fuzz_png and fuzz_jpeg: the same code, explored from
 * the seeds and words of one format each.
 */

#include "fuzz_support.h"
#include "media/image.h"
#include "media/renderer.h"

namespace {

// The keys the loaders use: sprites', fonts' (black) and none (backgrounds).
constexpr int KEYS[] = {DEFAULT_SPRITE_KEY, 0, NO_COLOUR_KEY};

void check(bool holds, const char* what)
{
    fuzz_check(holds, "decoded picture", what);
}

void load(const std::uint8_t* data, std::size_t size)
{
    InputBlock input(data, size);
    DecodedImage image;
    const int key = KEYS[size % (sizeof KEYS / sizeof KEYS[0])];
    if (!load_image(image, input.name.c_str(), key)) {
        check(image.width == 0 && image.pixels.empty(), "a refused picture is not empty");
        return;
    }
    check(image_size_allowed(image.width, image.height), "its size is beyond the limits");
    check(image.pixels.size() == std::size_t(image.width) * std::size_t(image.height) * 4,
          "its pixels do not match its size");
}

}   // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    use_private_temp_folder();
    return 0;
}

SNOW_FUZZ_TARGET(load)
