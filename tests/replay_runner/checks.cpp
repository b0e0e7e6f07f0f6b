// Picture checks of a replay.
#include "replay_runner/checks.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr uint8_t DIFF_RED[4] = {255, 0, 0, 255};
constexpr int DIM_SHIFT = 2;   // equal pixels at a quarter of their brightness

std::size_t pixel_bytes(const DecodedImage& image)
{
    return std::size_t(image.width) * image.height * 4;
}

bool write_picture(const std::string& path, const DecodedImage& image)
{
    return write_png(path.c_str(), image.pixels.data(), image.width, image.height);
}

}   // namespace

PictureDifference compare_pictures(const DecodedImage& actual, const DecodedImage& reference)
{
    if (actual.width != reference.width || actual.height != reference.height) {
        return PictureDifference{false, 0};
    }
    long differing = 0;
    for (std::size_t i = 0; i < pixel_bytes(actual); i += 4) {
        for (int c = 0; c < 4; ++c) {
            if (actual.pixels[i + c] != reference.pixels[i + c]) {
                ++differing;
                break;
            }
        }
    }
    return PictureDifference{true, differing};
}

DecodedImage difference_picture(const DecodedImage& actual, const DecodedImage& reference)
{
    DecodedImage diff;
    if (!compare_pictures(actual, reference).same_size ||
        !allocate_image(diff, actual.width, actual.height)) {
        return DecodedImage{};
    }
    for (std::size_t i = 0; i < pixel_bytes(actual); i += 4) {
        bool same = std::equal(&actual.pixels[i], &actual.pixels[i] + 4, &reference.pixels[i]);
        for (int c = 0; c < 4; ++c) {
            diff.pixels[i + c] =
                same ? (c == 3 ? 255 : reference.pixels[i + c] >> DIM_SHIFT) : DIFF_RED[c];
        }
    }
    return diff;
}

bool read_png_file(const std::string& path, DecodedImage* image)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    return read_png(*image, path.c_str(), bytes.data(), bytes.size(), NO_COLOUR_KEY);
}

std::string check_picture(const std::string& actual_path, const std::string& reference_path,
                          const std::string& output_stem, long tolerance)
{
    DecodedImage actual, reference;
    if (!read_png_file(actual_path, &actual)) return "the screen was not saved";
    const std::string actual_copy = output_stem + ".actual.png";
    if (!read_png_file(reference_path, &reference)) {
        write_picture(actual_copy, actual);
        return "no reference picture " + reference_path + "; the screen is in " + actual_copy;
    }
    PictureDifference difference = compare_pictures(actual, reference);
    if (difference.same_size && difference.differing <= tolerance) return "";
    write_picture(actual_copy, actual);
    if (!difference.same_size) {
        return "the screen is " + std::to_string(actual.width) + "x" +
               std::to_string(actual.height) + ", the reference " +
               std::to_string(reference.width) + "x" + std::to_string(reference.height) +
               "; the screen is in " + actual_copy;
    }
    const std::string diff_path = output_stem + ".diff.png";
    write_picture(diff_path, difference_picture(actual, reference));
    return std::to_string(difference.differing) + " pixels differ from " + reference_path + " (" +
           std::to_string(tolerance) + " allowed); see " + actual_copy + " and " + diff_path;
}
