// StringValue: storage and growth, number texts, conversions, joining,
// pieces and comparisons.
#include <climits>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "core/values.h"

namespace {

std::string text_of(const StringValue& value)
{
    return std::string(value.c_str(), value.length);
}

// The invariant every value with a buffer of its own keeps.
void expect_well_formed(const StringValue& value)
{
    if (value.capacity == 0) {
        EXPECT_EQ(value.buffer, string_empty_text());
        EXPECT_EQ(value.length, 0u);
    } else {
        EXPECT_LT(value.length, value.capacity);
        EXPECT_EQ(value.buffer[value.length], '\0');
    }
}

// --- Storage and growth -------------------------------------------------------

TEST(StringStorage, EmptyValuesShareTheOneEmptyText)
{
    StringValue a;
    StringValue b = string_assign("");
    StringValue c = string_assign(nullptr);
    for (const StringValue* v : {&a, &b, &c}) {
        EXPECT_EQ(v->buffer, string_empty_text());
        EXPECT_EQ(v->capacity, 0u);
        EXPECT_EQ(v->length, 0u);
    }
    EXPECT_STREQ(string_empty_text(), "");
}

TEST(StringStorage, ReserveRoundsToSixteenWithOneSpareStep)
{
    const uint32_t cases[][2] = {{1, 16},  {6, 16},  {14, 16}, {15, 32},
                                 {16, 32}, {31, 48}, {63, 80}};
    for (const auto& c : cases) {
        StringValue value;
        string_reserve(value, c[0], false);
        EXPECT_EQ(value.capacity, c[1]) << "n = " << c[0];
        EXPECT_EQ(value.buffer[0], '\0');
    }
}

TEST(StringStorage, ReserveOfZeroOrLessThanCapacityChangesNothing)
{
    StringValue value;
    string_reserve(value, 0, true);
    EXPECT_EQ(value.buffer, string_empty_text());
    value = "hello";
    char* before = value.buffer;
    string_reserve(value, 15, true);   // needs 16 bytes, has 16
    EXPECT_EQ(value.buffer, before);
    EXPECT_EQ(value.capacity, 16u);
}

TEST(StringStorage, ReserveKeepsTextOnlyWhenAsked)
{
    StringValue kept = "snow";
    string_reserve(kept, 40, true);
    EXPECT_EQ(kept.capacity, 48u);
    EXPECT_STREQ(kept.buffer, "snow");
    StringValue dropped = "snow";
    string_reserve(dropped, 40, false);
    EXPECT_EQ(dropped.buffer[0], '\0');
}

TEST(StringStorage, AppendingToAFullBufferGrowsOneStepAndKeepsText)
{
    StringValue value = "abcdefghijklmn";   // 14 characters: capacity 16
    string_append(value, "o");              // 15 still fit
    ASSERT_EQ(value.capacity, 16u);
    ASSERT_EQ(value.length, 15u);
    string_append(value, "p");
    EXPECT_EQ(value.capacity, 32u);
    EXPECT_EQ(text_of(value), "abcdefghijklmnop");
    expect_well_formed(value);
}

TEST(StringStorage, AppendingEmptyTextAllocatesNothing)
{
    StringValue empty;
    string_append(empty, "");
    string_append(empty, StringValue());
    EXPECT_EQ(empty.buffer, string_empty_text());
    StringValue value = "x";
    char* before = value.buffer;
    string_append(value, "");
    EXPECT_EQ(value.buffer, before);
    EXPECT_EQ(text_of(value), "x");
}

TEST(StringStorage, CopiesOwnTheirBuffers)
{
    StringValue original = "present";
    StringValue copy = string_copy(original);
    StringValue assigned;
    assigned = original;
    EXPECT_NE(copy.buffer, original.buffer);
    EXPECT_NE(assigned.buffer, original.buffer);
    copy.buffer[0] = 'P';
    EXPECT_EQ(text_of(original), "present");
    EXPECT_EQ(text_of(assigned), "present");
}

TEST(StringStorage, FreeLeavesNullAndClearLeavesEmpty)
{
    StringValue freed = "reindeer";
    string_free(freed);
    EXPECT_EQ(freed.buffer, nullptr);
    EXPECT_EQ(freed.capacity, 0u);
    EXPECT_EQ(freed.length, 0u);
    EXPECT_STREQ(freed.c_str(), "");
    string_append(freed, "again");   // a freed value is still usable
    EXPECT_EQ(text_of(freed), "again");

    StringValue cleared = "sleigh";
    string_clear(cleared);
    EXPECT_EQ(cleared.buffer, string_empty_text());
    EXPECT_EQ(cleared.capacity, 0u);
    string_clear(cleared);   // never frees the shared text
    EXPECT_EQ(cleared.buffer, string_empty_text());
}

TEST(StringStorage, AssignmentFromCStringAndSelfAppend)
{
    StringValue value = "ho";
    value = value.c_str();   // text taken from the target's own buffer
    EXPECT_EQ(text_of(value), "ho");
    value += value;
    value += value;
    EXPECT_EQ(text_of(value), "hohohoho");
    for (int i = 0; i < 3; ++i) value += value;   // grows across several steps
    EXPECT_EQ(value.length, 64u);
    EXPECT_EQ(value.capacity, 80u);
    expect_well_formed(value);
    value = "";
    EXPECT_EQ(value.buffer, string_empty_text());
}

TEST(StringStorage, MovedFromValueIsEmpty)
{
    StringValue source = "gift";
    StringValue target(std::move(source));
    EXPECT_EQ(text_of(target), "gift");
    EXPECT_EQ(source.buffer, string_empty_text());   // NOLINT(bugprone-use-after-move)
}

TEST(StringStorage, TextStopsAtFirstNul)
{
    StringValue value = string_assign("ab\0cd");
    EXPECT_EQ(value.length, 2u);
}

// --- Direct writes ------------------------------------------------------------

TEST(StringDirectWrite, WriteBufferThenRecount)
{
    StringValue value = "old";
    char* buffer = string_write_buffer(value, 20);
    EXPECT_EQ(value.capacity, 32u);
    EXPECT_STREQ(buffer, "old");   // keep is set
    std::strcpy(buffer, "media/gfx/santa2.png");
    string_recount(value);
    EXPECT_EQ(value.length, 20u);
    EXPECT_EQ(text_of(value), "media/gfx/santa2.png");
}

TEST(StringDirectWrite, RecountWithoutNulCutsBeforeCapacity)
{
    StringValue value;
    char* buffer = string_write_buffer(value, 10);
    std::memset(buffer, 'z', value.capacity);
    string_recount(value);
    EXPECT_EQ(value.length, value.capacity - 1);
    expect_well_formed(value);
}

TEST(StringDirectWrite, RecountOfTheEmptyValueStaysEmpty)
{
    StringValue value;
    string_recount(value);
    EXPECT_EQ(value.length, 0u);
    EXPECT_EQ(value.buffer, string_empty_text());
}

TEST(StringDirectWrite, TruncateOnlyInsideTheCapacity)
{
    StringValue value = "0123456789";
    string_truncate(value, 4);
    EXPECT_EQ(text_of(value), "0123");
    string_truncate(value, -1);
    string_truncate(value, static_cast<int32_t>(value.capacity));
    string_truncate(value, INT32_MAX);
    EXPECT_EQ(text_of(value), "0123");
    expect_well_formed(value);
    StringValue empty;
    string_truncate(empty, 0);   // capacity 0: nothing to write into
    EXPECT_EQ(empty.buffer, string_empty_text());
}

// --- Number texts -------------------------------------------------------------

TEST(NumberText, WholeNumbersAndShortFractions)
{
    const struct {
        double number;
        const char* text;
    } cases[] = {
        {3.0, "3"},
        {-12.0, "-12"},
        {0.5, "0.5"},
        {0.1, "0.1"},
        {250.0, "250"},
        {0.0, "0"},
        {7.0, "7"},
        {-0.25, "-0.25"},
        {12.5, "12.5"},
        {100000, "100000"},
        {1234567890, "1234567890"},
        {0.123456789012, "0.123456789"},
        {2.0 / 3.0, "0.6666666667"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text_of(string_from_number(c.number)), c.text) << c.number;
}

TEST(NumberText, ExponentFormOutsideMinusOneToNine)
{
    const struct {
        double number;
        const char* text;
    } cases[] = {
        {0.05, "5.e-002"},         {1e10, "1.e+010"},
        {-1e10, "-1.e+010"},       {12345678901.0, "1.23456789e+010"},
        {1e-5, "1.e-005"},         {2.5e-300, "2.5e-300"},
        {9999999999.5, "1.e+010"},   // rounds up to the next exponent
    };
    for (const auto& c : cases)
        EXPECT_EQ(text_of(string_from_number(c.number)), c.text) << c.number;
}

TEST(NumberText, BuffersAreEightyAndThirtyTwoBytes)
{
    StringValue number = string_from_number(1.5);
    EXPECT_EQ(number.capacity, 80u);
    StringValue integer = string_from_int(42);
    EXPECT_EQ(integer.capacity, 32u);
    EXPECT_EQ(text_of(integer), "42");
    EXPECT_EQ(text_of(string_from_int(-7)), "-7");
    EXPECT_EQ(text_of(string_from_int(INT32_MIN)), "-2147483648");
}

TEST(NumberText, FloatsAreConvertedToDoubleFirst)
{
    EXPECT_EQ(text_of(string_from_number(0.5f)), "0.5");
    // 0.1f is 0.100000001490116... as a double.
    EXPECT_EQ(text_of(string_from_number(0.1f)), "0.1000000015");
}

TEST(NumberText, LengthMatchesTheText)
{
    for (double number : {0.0, -12.0, 0.05, 1e10, 123.25})
        EXPECT_EQ(number_text_length(number), static_cast<int>(string_from_number(number).length));
}

TEST(NumberText, FormatWithWidthAndDecimals)
{
    EXPECT_EQ(text_of(string_format(3.14159, 8, 2)), "    3.14");
    EXPECT_EQ(text_of(string_format(-2.5, -6, 1)), "-2.5  ");
    EXPECT_EQ(text_of(string_format(2.0, 0, 0)), "2");
    EXPECT_EQ(text_of(string_format(1.5f, 1, 3)), "1.500");
}

TEST(NumberText, FormatIsCutAtFortySevenCharacters)
{
    EXPECT_EQ(text_of(string_format(1.0, 100, 2)), std::string(47, ' '));
    StringValue long_fraction = string_format(1.0 / 3.0, 0, 60);
    EXPECT_EQ(long_fraction.length, 47u);
    EXPECT_EQ(text_of(long_fraction).substr(0, 8), "0.333333");
    EXPECT_EQ(string_format(1e300, INT32_MIN, INT32_MAX).length, 47u);
    EXPECT_EQ(text_of(string_format(5.0, INT32_MAX, 0)), std::string(47, ' '));
}

// --- Text to numbers ----------------------------------------------------------

TEST(TextToNumber, FollowsTheAtofRule)
{
    EXPECT_DOUBLE_EQ(string_to_number("  -12.5e1xyz"), -125.0);
    EXPECT_DOUBLE_EQ(string_to_number(StringValue(".5")), 0.5);
    EXPECT_DOUBLE_EQ(string_to_number("7."), 7.0);
    EXPECT_DOUBLE_EQ(string_to_number("1e"), 1.0);
    EXPECT_DOUBLE_EQ(string_to_number("2E+2"), 200.0);
    EXPECT_DOUBLE_EQ(string_to_number("\t\n+3"), 3.0);
}

TEST(TextToNumber, NoDigitsGivesZero)
{
    for (const char* text : {"", "abc", "+", "-.", ".e5", "0x1A", "inf", "nan"})
        EXPECT_EQ(string_to_number(text), 0.0) << text;
    EXPECT_EQ(string_to_number(nullptr), 0.0);
    EXPECT_EQ(string_to_number(StringValue()), 0.0);
}

TEST(TextToNumber, IntegersFollowTheAtoiRuleAndSaturate)
{
    EXPECT_EQ(string_to_int(" 42abc"), 42);
    EXPECT_EQ(string_to_int("-7"), -7);
    EXPECT_EQ(string_to_int("3.9"), 3);
    EXPECT_EQ(string_to_int("x1"), 0);
    EXPECT_EQ(string_to_int("99999999999"), INT32_MAX);
    EXPECT_EQ(string_to_int("-99999999999"), INT32_MIN);
    EXPECT_EQ(string_to_int("-2147483648"), INT32_MIN);
    EXPECT_EQ(string_to_int(StringValue("+15")), 15);
}

// --- Joining ------------------------------------------------------------------

TEST(StringJoin, AppendEveryOperandKind)
{
    StringValue value = "T";
    string_append(value, "ime ");
    string_append(value, 300);
    string_append(value, StringValue(" / "));
    string_append(value, 0.5);
    string_append(value, 2.5f);
    EXPECT_EQ(text_of(value), "Time 300 / 0.52.5");
    EXPECT_EQ(&string_append(value, ""), &value);
}

TEST(StringJoin, ConcatLeavesOperandsAlone)
{
    StringValue left = "Lives ";
    StringValue right = "left";
    EXPECT_EQ(text_of(string_concat(left, right)), "Lives left");
    EXPECT_EQ(text_of(string_concat(left, 5)), "Lives 5");
    EXPECT_EQ(text_of(string_concat(left, 0.05)), "Lives 5.e-002");
    EXPECT_EQ(text_of(string_concat(3, right)), "3left");
    EXPECT_EQ(text_of(string_concat(1.5, right)), "1.5left");
    EXPECT_EQ(text_of(string_concat("a", "b")), "ab");
    EXPECT_EQ(text_of(string_concat("x", 2)), "x2");
    EXPECT_EQ(text_of(string_concat(2.0, "y")), "2y");
    EXPECT_EQ(text_of(left), "Lives ");
    EXPECT_EQ(text_of(right), "left");
}

TEST(StringJoin, OperatorsChainLikeGameText)
{
    double score = 1250;
    StringValue line = StringValue("Score ") + score + " Lives " + 3;
    EXPECT_EQ(text_of(line), "Score 1250 Lives 3");
    EXPECT_EQ(text_of("[" + line + "]"), "[Score 1250 Lives 3]");
    EXPECT_EQ(text_of(7 + StringValue("x") + 0.25), "7x0.25");
}

// --- Pieces -------------------------------------------------------------------

TEST(StringPieces, MidFollowsTheClampRules)
{
    StringValue s = "ABCDEF";
    EXPECT_EQ(text_of(string_mid(s, 2, -1)), "CDEF");
    EXPECT_EQ(text_of(string_mid(s, 4, 10)), "EF");
    EXPECT_EQ(text_of(string_mid(s, 0, 6)), "ABCDEF");
    EXPECT_EQ(text_of(string_mid(s, 1, 2)), "BC");
    EXPECT_EQ(string_mid(s, 6, 1).length, 0u);
    EXPECT_EQ(string_mid(s, -1, 2).length, 0u);
    EXPECT_EQ(string_mid(s, 2, 0).length, 0u);
}

TEST(StringPieces, MidWithExtremePositionsStaysInside)
{
    StringValue s = "ABCDEF";
    EXPECT_EQ(text_of(string_mid(s, 3, INT32_MAX)), "DEF");
    EXPECT_EQ(string_mid(s, INT32_MAX, INT32_MAX).length, 0u);
    EXPECT_EQ(string_mid(s, INT32_MIN, INT32_MAX).length, 0u);
    EXPECT_EQ(string_mid(s, INT32_MIN, -1).length, 0u);
    EXPECT_EQ(string_mid(StringValue(), 0, -1).length, 0u);
    EXPECT_EQ(string_mid(s, 0, INT32_MIN).length, 6u);   // negative count: to the end
}

TEST(StringPieces, AscIsUnsigned)
{
    EXPECT_EQ(asc(StringValue()), 0);
    EXPECT_EQ(asc(StringValue("A")), 65);
    EXPECT_EQ(asc(StringValue("\xe9t\xe9")), 0xe9);
    EXPECT_EQ(asc(string_chr(255)), 255);
}

TEST(StringPieces, ChrKeepsTheLowByteEvenZero)
{
    StringValue nul = string_chr(0);
    EXPECT_EQ(nul.length, 1u);
    EXPECT_EQ(nul.buffer[0], '\0');
    EXPECT_EQ(text_of(string_chr(321)), "A");   // 321 = 256 + 65
    EXPECT_EQ(asc(string_chr(-1)), 255);
}

TEST(StringPieces, InstrFindsFromTheStart)
{
    StringValue s = "snow on snow";
    EXPECT_EQ(string_instr(s, "snow"), 0);
    EXPECT_EQ(string_instr(s, "snow", 1), 8);
    EXPECT_EQ(string_instr(s, "on", 0), 5);
    EXPECT_EQ(string_instr(s, "ice"), -1);
    EXPECT_EQ(string_instr(s, "snow on snow!"), -1);
}

TEST(StringPieces, InstrEdgePositions)
{
    StringValue s = "abc";
    EXPECT_EQ(string_instr(s, "", 2), 2);
    EXPECT_EQ(string_instr(s, "", 3), 3);
    EXPECT_EQ(string_instr(s, "", 4), -1);
    EXPECT_EQ(string_instr(s, "c", 3), -1);
    EXPECT_EQ(string_instr(s, "a", -1), -1);
    EXPECT_EQ(string_instr(s, "a", INT32_MAX), -1);
    EXPECT_EQ(string_instr(s, "a", INT32_MIN), -1);
    EXPECT_EQ(string_instr(StringValue(), "a"), -1);
    EXPECT_EQ(string_instr(StringValue("a") + string_chr(0) + "b", "b"), 2);
}

TEST(StringPieces, ReplaceNeverRescansInsertedText)
{
    EXPECT_EQ(text_of(string_replace("aaa", "a", "aa")), "aaaaaa");
    EXPECT_EQ(text_of(string_replace("abcabc", "bc", "X")), "aXaX");
    EXPECT_EQ(text_of(string_replace("aaaa", "aa", "b")), "bb");
    EXPECT_EQ(text_of(string_replace("aaa", "aa", "b")), "ba");
    EXPECT_EQ(text_of(string_replace("a-b-c", "-", "")), "abc");
    EXPECT_EQ(text_of(string_replace("x", "x", "")), "");
}

TEST(StringPieces, ReplaceWithEmptySearchOrNoHitCopies)
{
    EXPECT_EQ(text_of(string_replace("abc", "", "Z")), "abc");
    EXPECT_EQ(text_of(string_replace("abc", "abcd", "Z")), "abc");
    EXPECT_EQ(text_of(string_replace(StringValue(), "a", "Z")), "");
}

TEST(StringPieces, CaseChangesOnlyAsciiLetters)
{
    StringValue mixed = "Merry Xmas, 24.12 \xe9z[`{@";
    EXPECT_EQ(text_of(string_upper(mixed)), "MERRY XMAS, 24.12 \xe9Z[`{@");
    EXPECT_EQ(text_of(string_lower(mixed)), "merry xmas, 24.12 \xe9z[`{@");
    EXPECT_EQ(text_of(mixed), "Merry Xmas, 24.12 \xe9z[`{@");
    string_upper_in_place(mixed);
    EXPECT_EQ(text_of(mixed), "MERRY XMAS, 24.12 \xe9Z[`{@");
    string_lower_in_place(mixed);
    EXPECT_EQ(text_of(mixed), "merry xmas, 24.12 \xe9z[`{@");
}

// --- Comparisons ----------------------------------------------------------------

TEST(StringCompare, TextsInStrcmpOrder)
{
    StringValue abc = "abc";
    EXPECT_TRUE(abc < "abd");
    EXPECT_TRUE(StringValue("ab") < abc);     // a prefix sorts first
    EXPECT_TRUE("B" < StringValue("a"));      // case-sensitive bytes
    EXPECT_TRUE(StringValue("\xe9") > "z");   // bytes compare unsigned
    EXPECT_TRUE(abc >= "abc");
    EXPECT_TRUE(abc <= "abc");
    EXPECT_FALSE(abc != "abc");
    EXPECT_TRUE(abc == StringValue("abc"));
    EXPECT_FALSE(StringValue("10") > StringValue("9"));
    EXPECT_FALSE(StringValue("10") > "9");
    EXPECT_EQ(string_compare("a", "b"), -1);
    EXPECT_EQ(string_compare("b", "a"), 1);
    EXPECT_EQ(string_compare(nullptr, ""), 0);
}

TEST(StringCompare, EqualityOfValuesComparesLengthsFirst)
{
    StringValue nul = string_chr(0);
    EXPECT_FALSE(nul == StringValue());
    EXPECT_TRUE(nul != StringValue());
    EXPECT_FALSE(string_equals(StringValue("ab"), "abc"));
    EXPECT_TRUE(string_equals(StringValue("abc"), "abc"));
    EXPECT_TRUE(string_equals(StringValue(), nullptr));
}

TEST(StringCompare, TextAgainstNumberComparesNumbers)
{
    EXPECT_TRUE(StringValue("10") > 9.5);
    EXPECT_TRUE(StringValue("12abc") == 12);
    EXPECT_TRUE(StringValue("12abc") == 12.0);
    EXPECT_TRUE(StringValue() == 0);
    EXPECT_TRUE(StringValue() == 0.0);
    EXPECT_TRUE(9.5 < StringValue("10"));
    EXPECT_TRUE(StringValue(" 3.5") >= 3.5f);
    EXPECT_TRUE(StringValue("-1") <= -1);
    EXPECT_TRUE(2 != StringValue("3"));
}

TEST(StringCompare, IntComparesTheAtoiValue)
{
    StringValue text = "3.9";
    EXPECT_TRUE(text == 3);      // atoi gives 3
    EXPECT_FALSE(text == 3.0);   // atof gives 3.9
    EXPECT_TRUE(text > 3.0);
    EXPECT_FALSE(text > 3);
}

TEST(StringCompare, NotANumberIsUnordered)
{
    StringValue one = "1";
    EXPECT_FALSE(one < NAN);
    EXPECT_FALSE(one >= NAN);
    EXPECT_FALSE(one == NAN);
    EXPECT_TRUE(one != NAN);
}

}   // namespace
