// The game font's characters, UTF-8 text read as its frames, and the
// letters' spacing.
#include "game/play/glyphs.h"

namespace {

struct LetterSpacing {
    uint32_t character;
    int adjustment;
};

// Letters narrower or wider than the 5-pixel body (one pixel of adjustment
// a pixel of width); every letter after them moves by as much.
constexpr LetterSpacing LETTER_SPACING[] = {
    {'!', -3},      // !
    {'\'', -3},     // '
    {'(', -3},      // (
    {')', -3},      // )
    {'.', -3},      // .
    {'I', -4},      // I
    {'M', +1},      // M
    {'W', +1},      // W
    {'f', -1},      // f
    {'i', -4},      // i
    {'l', -4},      // l
    {'m', +1},      // m
    {'t', -1},      // t
    {'w', +1},      // w
    {0x00A1, -4},   // ¡
    {0x00CC, -3},   // Ì
    {0x00CD, -3},   // Í
    {0x00CE, -2},   // Î
    {0x00CF, -2},   // Ï
    {0x00EC, -3},   // ì
    {0x00ED, -3},   // í
    {0x00EE, -2},   // î
    {0x00EF, -2},   // ï
    {0x0142, -2},   // ł
    {0x0152, +1},   // Œ
    {0x0153, +1},   // œ
};

constexpr uint32_t QUESTION_MARK = '?';

// Where a character's extra frame is among FONT_EXTRA_CHARACTERS, or -1.
int extra_index(uint32_t character)
{
    for (int i = 0; i < FONT_EXTRA_COUNT; ++i)
        if (FONT_EXTRA_CHARACTERS[i] == character) return i;
    return -1;
}

// One decoded character and the bytes it took.
struct Decoded {
    uint32_t character;
    uint32_t length;
};

bool is_continuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The bytes a sequence starting with lead takes and the lowest and highest
// second byte that may follow it (which rules out overlong forms, surrogates
// and values past U+10FFFF); length 0 for a byte that cannot start one.
struct LeadRule {
    uint32_t length;
    unsigned char second_low, second_high;
};

LeadRule lead_rule(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
    if (lead == 0xE0) return {3, 0xA0, 0xBF};
    if (lead == 0xED) return {3, 0x80, 0x9F};
    if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
    if (lead == 0xF0) return {4, 0x90, 0xBF};
    if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
    if (lead == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

// The character at bytes[at]; an invalid sequence takes its valid prefix
// (at least one byte) and stops before the byte that broke it.
Decoded decode_at(const unsigned char* bytes, uint32_t size, uint32_t at)
{
    const unsigned char lead = bytes[at];
    if (lead < 0x80) return {lead, 1};
    const LeadRule rule = lead_rule(lead);
    if (rule.length == 0) return {INVALID_CHARACTER, 1};
    uint32_t character = lead & (0x7F >> rule.length);
    for (uint32_t k = 1; k < rule.length; ++k) {
        if (at + k >= size) return {INVALID_CHARACTER, k};
        const unsigned char byte = bytes[at + k];
        const bool fits =
            k == 1 ? byte >= rule.second_low && byte <= rule.second_high : is_continuation(byte);
        if (!fits) return {INVALID_CHARACTER, k};
        character = character << 6 | (byte & 0x3F);
    }
    return {character, rule.length};
}

}   // namespace

std::vector<uint32_t> text_characters(const StringValue& text)
{
    std::vector<uint32_t> characters;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.c_str());
    for (uint32_t at = 0; at < text.size();) {
        const Decoded d = decode_at(bytes, text.size(), at);
        characters.push_back(d.character);
        at += d.length;
    }
    return characters;
}

bool font_has_character(uint32_t character)
{
    return (character >= FONT_FIRST_ASCII && character <= FONT_LAST_ASCII) ||
           extra_index(character) >= 0;
}

int font_frame(uint32_t character)
{
    if (character >= FONT_FIRST_ASCII && character <= FONT_LAST_ASCII)
        return int(character - FONT_FIRST_ASCII);
    const int extra = extra_index(character);
    return extra >= 0 ? FONT_ASCII_FRAMES + extra : int(QUESTION_MARK - FONT_FIRST_ASCII);
}

uint32_t font_frame_character(int frame)
{
    if (frame < 0 || frame >= FONT_FRAME_COUNT) return 0;
    if (frame < FONT_ASCII_FRAMES) return FONT_FIRST_ASCII + uint32_t(frame);
    return FONT_EXTRA_CHARACTERS[frame - FONT_ASCII_FRAMES];
}

std::vector<int> text_frames(const StringValue& text)
{
    std::vector<int> frames;
    for (uint32_t character : text_characters(text)) frames.push_back(font_frame(character));
    return frames;
}

int font_spacing(int frame)
{
    const uint32_t character = font_frame_character(frame);
    for (const LetterSpacing& entry : LETTER_SPACING)
        if (entry.character == character) return entry.adjustment;
    return 0;
}

int text_width(const StringValue& text)
{
    int width = 0;
    for (int frame : text_frames(text)) width += FONT_ADVANCE + font_spacing(frame);
    return width;
}

std::string utf8_of(uint32_t character)
{
    std::string bytes;
    if (character < 0x80) {
        bytes += char(character);
    } else if (character < 0x800) {
        bytes += char(0xC0 | character >> 6);
        bytes += char(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        bytes += char(0xE0 | character >> 12);
        bytes += char(0x80 | (character >> 6 & 0x3F));
        bytes += char(0x80 | (character & 0x3F));
    } else {
        bytes += char(0xF0 | character >> 18);
        bytes += char(0x80 | (character >> 12 & 0x3F));
        bytes += char(0x80 | (character >> 6 & 0x3F));
        bytes += char(0x80 | (character & 0x3F));
    }
    return bytes;
}
