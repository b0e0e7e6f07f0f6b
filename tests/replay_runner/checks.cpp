// Field and picture checks of a replay.
#include "replay_runner/checks.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr const char* EMPTY_VALUE = "none";
constexpr uint8_t DIFF_RED[4] = {255, 0, 0, 255};
constexpr int DIM_SHIFT = 2;   // equal pixels at a quarter of their brightness

bool read_number(const std::string& text, double* value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return *end == '\0';
}

std::string shown(const std::string& value)
{
    return value.empty() ? EMPTY_VALUE : value;
}

std::string check_names_of(const std::string& field, int line)
{
    if (is_state_field(field)) return "";
    return "line " + std::to_string(line) + ": no state field named " + field;
}

std::size_t pixel_bytes(const DecodedImage& image)
{
    return std::size_t(image.width) * image.height * 4;
}

bool write_picture(const std::string& path, const DecodedImage& image)
{
    return write_png(path.c_str(), image.pixels.data(), image.width, image.height);
}

}   // namespace

bool value_matches(const std::string& actual, const std::string& expected)
{
    if (expected == EMPTY_VALUE) return actual.empty();
    double a = 0, e = 0;
    if (read_number(actual, &a) && read_number(expected, &e)) return a == e;
    return actual == expected;
}

std::string check_field(const GameSnapshot& snapshot, const std::string& field,
                        const std::string& expected)
{
    const std::string* actual = snapshot_value(snapshot, field);
    if (!actual) return "no state field named " + field;
    if (value_matches(*actual, expected)) return "";
    return field + " is " + shown(*actual) + ", expected " + expected;
}

std::string check_field_names(const ReplayScript& script)
{
    for (const Expectation& e : script.expectations) {
        std::string why = check_names_of(e.field, e.line);
        if (!why.empty()) return why;
    }
    for (const StopCondition& stop : script.stops) {
        std::string why = check_names_of(stop.field, stop.line);
        if (!why.empty()) return why;
    }
    return "";
}

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
