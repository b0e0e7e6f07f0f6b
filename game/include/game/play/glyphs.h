/*
 * glyphs.h - the game font's characters and text measures: which frame of
 * the font strip draws each character, how far each letter moves the next,
 * and UTF-8 text read as the font's frames.
 *
 * Plain data and arithmetic, no drawing: the text routine (draw.h), the
 * screens that centre text, the language tables' width check and the art
 * tool (which lays the font strip out in this order) all use it.  Not for:
 * drawing text (draw_text in draw.h).
 */
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/values.h"

// Character cell advance of the game font before the per-letter spacing.
constexpr int FONT_ADVANCE = 7;

// The font strip's first frames are printable ASCII, 32 (the blank) to 126.
constexpr uint32_t FONT_FIRST_ASCII = 32;
constexpr uint32_t FONT_LAST_ASCII = 126;
constexpr int FONT_ASCII_FRAMES = FONT_LAST_ASCII - FONT_FIRST_ASCII + 1;

// The letters beyond ASCII, in frame order from frame FONT_ASCII_FRAMES on:
// what German, French, Spanish, Italian, Portuguese and Polish need.
constexpr uint32_t FONT_EXTRA_CHARACTERS[] = {
    0x00A1, 0x00BF,                                   // ¡ ¿
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C7,   // À Á Â Ã Ä Ç
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD,   // È É Ê Ë Ì Í
    0x00CE, 0x00CF, 0x00D1, 0x00D2, 0x00D3, 0x00D4,   // Î Ï Ñ Ò Ó Ô
    0x00D5, 0x00D6, 0x00D9, 0x00DA, 0x00DB, 0x00DC,   // Õ Ö Ù Ú Û Ü
    0x00DF, 0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4,   // ß à á â ã ä
    0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC,   // ç è é ê ë ì
    0x00ED, 0x00EE, 0x00EF, 0x00F1, 0x00F2, 0x00F3,   // í î ï ñ ò ó
    0x00F4, 0x00F5, 0x00F6, 0x00F9, 0x00FA, 0x00FB,   // ô õ ö ù ú û
    0x00FC, 0x00FF, 0x0104, 0x0105, 0x0106, 0x0107,   // ü ÿ Ą ą Ć ć
    0x0118, 0x0119, 0x0141, 0x0142, 0x0143, 0x0144,   // Ę ę Ł ł Ń ń
    0x0152, 0x0153, 0x015A, 0x015B, 0x0178, 0x0179,   // Œ œ Ś ś Ÿ Ź
    0x017A, 0x017B, 0x017C,                           // ź Ż ż
};
constexpr int FONT_EXTRA_COUNT = sizeof FONT_EXTRA_CHARACTERS / sizeof FONT_EXTRA_CHARACTERS[0];
constexpr int FONT_FRAME_COUNT = FONT_ASCII_FRAMES + FONT_EXTRA_COUNT;

// What text that is not UTF-8 reads as: one per invalid byte or cut-short
// sequence.  The font lacks it, so it draws as '?' like any missing letter.
constexpr uint32_t INVALID_CHARACTER = 0xFFFD;

// The characters of UTF-8 text in order.  A byte that cannot start a
// character, a sequence cut short (by the end of the text or by a byte that
// cannot continue it), an overlong form, a surrogate or a value past
// U+10FFFF each give one INVALID_CHARACTER.  Reads only text.size() bytes.
std::vector<uint32_t> text_characters(const StringValue& text);

bool font_has_character(uint32_t character);

// The frame that draws character: the frame of '?' for one the font lacks.
int font_frame(uint32_t character);

// The character frame draws; 0 for a frame outside the font.
uint32_t font_frame_character(int frame);

// The font frame of each character of UTF-8 text, in order (see
// text_characters and font_frame).
std::vector<int> text_frames(const StringValue& text);

// The x shift a font frame gives to every later letter (0 for most): letters
// narrower or wider than the 5-pixel body.
int font_spacing(int frame);

// How far draw_text's letters reach across: a cell per character and the
// letters' shifts.
int text_width(const StringValue& text);

// The UTF-8 bytes of one character (the art tool names the font's parts so).
std::string utf8_of(uint32_t character);
