/*
 * fuzz_text.cpp - text of any bytes on its way to the screen, as a language
 * table's line or a hand-edited settings file may give it: read as UTF-8,
 * measured and drawn.  Every byte is read within the text (the value
 * holds exactly the input, no NUL after it); each character is one the font
 * draws, a stand-in, or a real scalar value; valid text comes back from its
 * characters; and decoding does not look across a byte that starts a
 * character, so a text split there decodes as its two halves.  The drawing
 * runs without a window: it reads the characters, picks each one's frame and
 * logs what the font lacks, and finds no font to put on a screen.
 */
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "game/play/draw.h"
#include "game/play/glyphs.h"
#include "support/exact_text.h"

namespace {

constexpr const char* READER = "text decoding";
constexpr uint32_t LAST_SCALAR = 0x10FFFF;
constexpr uint32_t FIRST_SURROGATE = 0xD800;
constexpr uint32_t LAST_SURROGATE = 0xDFFF;
constexpr std::size_t LONGEST_SEQUENCE = 4;
// The narrowest letter pulls what follows 4 pixels in, the widest pushes 1 out.
constexpr int NARROWEST_CELL = FONT_ADVANCE - 4;
constexpr int WIDEST_CELL = FONT_ADVANCE + 1;
// Splits tried a text: enough to reach each part of a long one.
constexpr std::size_t SPLITS = 4;
// Where the screens draw text: a corner and the middle.
constexpr double TEXT_X = 4, TEXT_Y = 120;

std::vector<uint32_t> characters_of(const std::string& bytes)
{
    if (bytes.empty()) return text_characters(StringValue());
    return text_characters(exact_text(bytes));
}

bool is_scalar(uint32_t character)
{
    return character <= LAST_SCALAR && (character < FIRST_SURROGATE || character > LAST_SURROGATE);
}

bool is_continuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Each character: the stand-in, or a scalar value that reads back alone.
void check_characters(const std::string& bytes, const std::vector<uint32_t>& characters)
{
    fuzz_check(characters.size() <= bytes.size(), READER, "more characters than bytes");
    fuzz_check(characters.size() * LONGEST_SEQUENCE >= bytes.size(), READER,
               "a character took more than four bytes");
    std::string again;
    bool valid = true;
    for (uint32_t character : characters) {
        if (character == INVALID_CHARACTER) valid = false;
        fuzz_check(is_scalar(character), READER, "a character past U+10FFFF or a surrogate");
        const std::string own = utf8_of(character);
        again += own;
        fuzz_check(characters_of(own) == std::vector<uint32_t>{character}, READER,
                   "a character does not read back from its own bytes");
    }
    if (valid) fuzz_check(again == bytes, READER, "valid text does not come back");
}

// Splits before bytes that start a character, spread over the text.
void check_splits(const std::string& bytes, const std::vector<uint32_t>& characters)
{
    for (std::size_t k = 1; k <= SPLITS; ++k) {
        std::size_t at = bytes.size() * k / (SPLITS + 1);
        while (at < bytes.size() && is_continuation(static_cast<unsigned char>(bytes[at]))) ++at;
        std::vector<uint32_t> halves = characters_of(bytes.substr(0, at));
        const std::vector<uint32_t> second = characters_of(bytes.substr(at));
        halves.insert(halves.end(), second.begin(), second.end());
        fuzz_check(halves == characters, READER, "a split before a lead byte changes the text");
    }
}

void check_frames(const StringValue& text, const std::vector<uint32_t>& characters)
{
    const std::vector<int> frames = text_frames(text);
    fuzz_check(frames.size() == characters.size(), READER, "not one frame a character");
    for (std::size_t i = 0; i < frames.size(); ++i) {
        fuzz_check(frames[i] >= 0 && frames[i] < FONT_FRAME_COUNT, READER, "a frame past the font");
        const uint32_t drawn = font_has_character(characters[i]) ? characters[i] : '?';
        fuzz_check(font_frame_character(frames[i]) == drawn, READER, "the wrong frame");
    }
    const long long width = text_width(text);
    const auto count = static_cast<long long>(characters.size());
    fuzz_check(width >= NARROWEST_CELL * count && width <= WIDEST_CELL * count, READER,
               "a width beyond the letters' cells");
}

void read_text(const std::uint8_t* data, std::size_t size)
{
    use_private_temp_folder();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.empty()) {
        fuzz_check(characters_of(bytes).empty(), READER, "characters in no text");
        return;
    }
    const StringValue text = exact_text(bytes);
    const std::vector<uint32_t> characters = text_characters(text);
    check_characters(bytes, characters);
    check_splits(bytes, characters);
    check_frames(text, characters);
    draw_text(TEXT_X, TEXT_Y, text);
}

}   // namespace

SNOW_FUZZ_TARGET(read_text)
