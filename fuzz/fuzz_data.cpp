/*
 * fuzz_data.cpp - the runtime's readers of text as numbers: every line of
 * the input is one DATA item (a text, or after a leading '=' a number item
 * holding what the rest reads as), read in order as a number, a whole number
 * or a text, as the level data is; and each text goes through the text to
 * number conversions and the text operations the game uses on what it reads.
 */
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/data.h"
#include "core/numbers.h"
#include "core/values.h"
#include "fuzz_support.h"

namespace {

constexpr std::size_t MAX_ITEMS = 256;
constexpr double ROUND_TRIP_ERROR = 1e-9;   // ten significant digits are written
constexpr int FORMAT_LIMIT = 47;

void check(bool holds, const char* what, const std::string& text)
{
    if (holds) return;
    std::fprintf(stderr, "%s: \"%s\"\n", what, text.c_str());
    std::abort();
}

std::vector<std::string> lines_of(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < size && lines.size() <= MAX_ITEMS; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else
            lines.back() += char(data[i]);
    }
    if (lines.size() > MAX_ITEMS) lines.pop_back();
    return lines;
}

// The atoi rule is strtoll's, saturated to 32 bits.
void check_whole_number(const std::string& text)
{
    long long wide = std::strtoll(text.c_str(), nullptr, 10);
    if (wide > INT32_MAX) wide = INT32_MAX;
    if (wide < INT32_MIN) wide = INT32_MIN;
    check(string_to_int(text.c_str()) == wide, "whole number misread", text);
}

// A number written as text reads back as the same number, to ten digits.
void check_round_trip(double number, const std::string& text)
{
    const StringValue written = string_from_number(number);
    check(int(written.size()) == number_text_length(number), "text length misjudged", text);
    if (!std::isfinite(number)) return;
    const double back = string_to_number(written);
    check(std::fabs(back - number) <= std::fabs(number) * ROUND_TRIP_ERROR, "round trip lost",
          text);
}

void check_text_operations(const std::string& text, double number)
{
    const StringValue value(text.c_str());
    const int32_t whole = to_int(number);
    check(string_mid(value, whole, whole / 2).size() <= value.size(), "piece too long", text);
    check(string_format(number, whole, whole % 64).size() <= FORMAT_LIMIT, "format too long", text);
    const int32_t found = string_instr(value, string_mid(value, 1, 2), whole);
    check(found >= -1 && found < int32_t(value.size()) + 1, "search outside the text", text);
    (void)(value == number);
    (void)(value < whole);
}

bool same_number(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

// Reads the next item the way the reading order asks (number, whole number,
// text) and checks it against what the item holds.
void check_item_read(std::size_t way, const DataItem& item, double expected,
                     const std::string& line)
{
    if (way == 0) {
        double number = 0;
        read_data(number);
        check(same_number(number, expected), "item misread as a number", line);
    } else if (way == 1) {
        int32_t whole = 0;
        read_data_int(whole);
        check(whole == to_int(expected), "item misread as a whole number", line);
    } else {
        StringValue text;
        read_data_text(text);
        const StringValue wanted =
            item.text ? StringValue(item.text) : string_from_number(expected);
        check(string_equals(text, wanted), "item misread as a text", line);
    }
}

void read_items(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> lines = lines_of(data, size);
    std::vector<DataItem> items;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == '=')
            items.push_back(DataItem{string_to_number(line.c_str() + 1), nullptr});
        else
            items.push_back(DataItem{0, line.c_str()});
    }
    DataBlock block{items.data(), int32_t(items.size()), 0};
    restore_data(block);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const DataItem& item = items[i];
        const double expected = item.text ? string_to_number(item.text) : item.number;
        check_item_read(i % 3, item, expected, lines[i]);
        check_whole_number(lines[i]);
        const double value = string_to_number(lines[i].c_str());
        check_round_trip(value, lines[i]);
        check_text_operations(lines[i], value);
    }
}

}   // namespace

SNOW_FUZZ_TARGET(read_items)
