// The font's characters and UTF-8 text read as its frames: a sample word of
// every language, letters the font lacks, broken UTF-8 (read only up to the
// text's last byte) and the widths the screens centre text by.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "game/play/glyphs.h"
#include "support/exact_text.h"

namespace {

constexpr int QUESTION = '?' - 32;

int ascii(char c)
{
    return c - 32;
}

std::vector<int> frames_of(const std::string& bytes)
{
    return text_frames(exact_text(bytes));
}

}   // namespace

// --- every language's letters -----------------------------------------------------------

TEST(TextFrames, EveryLanguageDrawsItsOwnLetters)
{
    // The extra letters' frames are fixed: the font strip and the language
    // tables written before it are laid out by them.
    EXPECT_EQ(frames_of("Größe"), (std::vector<int>{ascii('G'), ascii('r'), 141, 121, ascii('e')}));
    EXPECT_EQ(frames_of("Übel"), (std::vector<int>{120, ascii('b'), ascii('e'), ascii('l')}));
    EXPECT_EQ(frames_of("Noël à Œ"), (std::vector<int>{ascii('N'), ascii('o'), 131, ascii('l'),
                                                       ascii(' '), 122, ascii(' '), 157}));
    EXPECT_EQ(frames_of("¡Año! ¿Sí?"),
              (std::vector<int>{95, ascii('A'), 136, ascii('o'), ascii('!'), ascii(' '), 96,
                                ascii('S'), 133, ascii('?')}));
    EXPECT_EQ(frames_of("Città È"), (std::vector<int>{ascii('C'), ascii('i'), ascii('t'),
                                                      ascii('t'), 122, ascii(' '), 103}));
    EXPECT_EQ(frames_of("São Ação"), (std::vector<int>{ascii('S'), 125, ascii('o'), ascii(' '),
                                                       ascii('A'), 127, 125, ascii('o')}));
    EXPECT_EQ(frames_of("Łódź Święta"),
              (std::vector<int>{153, 138, ascii('d'), 163, ascii(' '), 159, ascii('w'), ascii('i'),
                                152, ascii('t'), ascii('a')}));
}

TEST(TextFrames, EachFrameDrawsOneCharacterAndEachCharacterOneFrame)
{
    for (int frame = 0; frame < FONT_FRAME_COUNT; ++frame) {
        const uint32_t character = font_frame_character(frame);
        EXPECT_TRUE(font_has_character(character)) << frame;
        EXPECT_EQ(font_frame(character), frame) << frame;
        EXPECT_EQ(text_frames(exact_text(utf8_of(character))), std::vector<int>{frame}) << frame;
    }
    EXPECT_EQ(FONT_FRAME_COUNT, 95 + 71);
    EXPECT_EQ(font_frame_character(-1), 0u);
    EXPECT_EQ(font_frame_character(FONT_FRAME_COUNT), 0u);
}

// --- what the font lacks ----------------------------------------------------------------

TEST(TextFrames, ALetterTheFontLacksIsAQuestionMark)
{
    EXPECT_FALSE(font_has_character(0x20AC));   // €
    EXPECT_EQ(frames_of("5€"), (std::vector<int>{ascii('5'), QUESTION}));
    EXPECT_EQ(frames_of("日本"), (std::vector<int>{QUESTION, QUESTION}));
    EXPECT_EQ(frames_of("\xF0\x9F\x8E\x84!"), (std::vector<int>{QUESTION, ascii('!')}));   // a tree
    EXPECT_EQ(frames_of("a\tb\x7f"),
              (std::vector<int>{ascii('a'), QUESTION, ascii('b'), QUESTION}));
    EXPECT_FALSE(font_has_character(0x7F));
    EXPECT_FALSE(font_has_character(0x1F));
    EXPECT_TRUE(font_has_character(' '));
}

// --- text that is not UTF-8 -------------------------------------------------------------

TEST(TextCharacters, BrokenSequencesAreOneInvalidCharacterEach)
{
    const uint32_t X = INVALID_CHARACTER;
    const struct {
        const char* bytes;
        std::vector<uint32_t> characters;
    } cases[] = {
        {"\x80", {X}},   // a lone continuation byte
        {"a\xBF"
         "b",
         {'a', X, 'b'}},             // another, between letters
        {"ab\xC3", {'a', 'b', X}},   // cut short by the end
        {"\xE2\x82", {X}},           // three bytes, two there
        {"\xF0\x9F\x8E", {X}},       // four bytes, three there
        {"\xC3"
         "A",
         {X, 'A'}},                           // cut short by a letter, kept
        {"\xC0\xAF", {X, X}},                 // an overlong '/'
        {"\xE0\x80\xAF", {X, X, X}},          // overlong in three bytes
        {"\xED\xA0\x80", {X, X, X}},          // a surrogate
        {"\xF4\x90\x80\x80", {X, X, X, X}},   // past U+10FFFF
        {"\xFF\xFE", {X, X}},                 // never in UTF-8
        {"\xC3\xA9\xC3", {0xE9, X}},          // é, then a cut
        {"\xF0\x9F\x8E\x84", {0x1F384}},      // a whole four-byte one
        {"\xEF\xBF\xBD", {0xFFFD}},           // the replacement character itself
    };
    for (const auto& c : cases) {
        // Bytes that end at the cut: reading one more is outside the buffer.
        EXPECT_EQ(text_characters(exact_text(c.bytes)), c.characters) << c.bytes;
    }
    EXPECT_FALSE(font_has_character(INVALID_CHARACTER));
    EXPECT_EQ(frames_of("ab\xC3"), (std::vector<int>{ascii('a'), ascii('b'), QUESTION}));
    EXPECT_TRUE(text_characters(StringValue()).empty());
}

TEST(TextCharacters, EncodingAndDecodingAgree)
{
    for (uint32_t character : {0x41u, 0x7Fu, 0x80u, 0xE9u, 0x7FFu, 0x800u, 0x20ACu, 0xFFFFu,
                               0x10000u, 0x1F384u, 0x10FFFFu}) {
        const std::string bytes = utf8_of(character);
        EXPECT_EQ(bytes.size(), character < 0x80      ? 1u
                                : character < 0x800   ? 2u
                                : character < 0x10000 ? 3u
                                                      : 4u);
        EXPECT_EQ(text_characters(exact_text(bytes)), std::vector<uint32_t>{character})
            << character;
    }
}

// --- widths -----------------------------------------------------------------------------

TEST(TextWidth, ACellPerCharacterAndTheLettersShifts)
{
    // ASCII as it has always measured, narrow and wide letters included.
    EXPECT_EQ(text_width("Hi!"), 7 + 3 + 4);
    EXPECT_EQ(text_width("Wall"), 8 + 7 + 3 + 3);
    EXPECT_EQ(text_width("Mit"), 8 + 3 + 6);
    EXPECT_EQ(text_width(""), 0);
    // One cell a character, not a byte, and the new narrow and wide letters.
    EXPECT_EQ(text_width("Łódź"), 4 * 7);
    EXPECT_EQ(text_width("Œuf"), 8 + 7 + 6);
    EXPECT_EQ(text_width("¡Sí!"), 3 + 7 + 4 + 4);
    EXPECT_EQ(text_width("Ïle"), 5 + 3 + 7);
    EXPECT_EQ(text_width("ał"), 7 + 5);
    // A broken byte measures as the '?' that stands for it.
    EXPECT_EQ(text_width(exact_text("a\xC3")), 7 + 7);
}

TEST(TextWidth, SpacingTableOfTheNewLetters)
{
    EXPECT_EQ(font_spacing(font_frame(0x00A1)), -4);   // ¡ as narrow as I
    EXPECT_EQ(font_spacing(font_frame(0x00ED)), -3);   // í
    EXPECT_EQ(font_spacing(font_frame(0x00CE)), -2);   // Î
    EXPECT_EQ(font_spacing(font_frame(0x0142)), -2);   // ł
    EXPECT_EQ(font_spacing(font_frame(0x0152)), 1);    // Œ as wide as M
    EXPECT_EQ(font_spacing(font_frame(0x00E9)), 0);    // é like e
    EXPECT_EQ(font_spacing(font_frame(0x00DF)), 0);    // ß
}
