/*
 * values.h - StringValue, the runtime's owning byte-string, and every
 * conversion and comparison between texts and numbers.
 *
 * A StringValue owns its buffer alone (copying always allocates), an empty
 * value points at one shared read-only empty text with capacity 0, and
 * capacity grows only through string_reserve in 16-byte steps with one spare
 * step.  Numbers become text in the "_gcvt at 10 significant digits" shape
 * ('3', '0.5', '5.e-002', '1.e+010').  No operation reads or writes outside
 * a buffer, whatever positions and counts it is given.
 *
 * Callers: the game (texts it draws and compares), the runtime (file names,
 * status texts).  Floats promote to double, which is the conversion every
 * float variant makes first.  Not for: numbers other than text conversion
 * (numbers.h) or constant tables (data.h).
 */
#pragma once

#include <cstdint>

struct StringValue {
    char* buffer;        // NUL-terminated; the shared empty text while capacity is 0
    uint32_t capacity;   // bytes owned at buffer
    uint32_t length;     // bytes before the terminating NUL

    StringValue();                           // the empty value
    StringValue(const char* text);           // string_assign; null gives empty
    StringValue(const StringValue& other);   // string_copy
    StringValue(StringValue&& other) noexcept;
    ~StringValue();   // string_free

    StringValue& operator=(const StringValue& other);
    StringValue& operator=(StringValue&& other) noexcept;
    StringValue& operator=(const char* text);

    StringValue& operator+=(const StringValue& text);
    StringValue& operator+=(const char* text);
    StringValue& operator+=(int number);
    StringValue& operator+=(double number);

    // Never null, also after string_free.
    const char* c_str() const;
    uint32_t size() const { return length; }
    bool empty() const { return length == 0; }
};

// The one process-wide empty text every empty value points at.
const char* string_empty_text();

// --- Storage -------------------------------------------------------------

// Makes room for n characters plus the NUL: capacity becomes (n + 1) rounded
// down to a multiple of 16, plus 16.  keep copies the current text across.
// Leaves length alone.  Throws std::bad_alloc when the memory is not there.
void string_reserve(StringValue& value, uint32_t n, bool keep);

StringValue string_assign(const char* text);
StringValue string_copy(const StringValue& value);
// Frees an owned buffer; leaves buffer null, capacity 0, length 0.
void string_free(StringValue& value);
// Frees an owned buffer; leaves the empty value.
void string_clear(StringValue& value);

// Room for n characters, then the buffer for a platform call to write into
// directly (at most capacity bytes, NUL included); call string_recount after.
char* string_write_buffer(StringValue& value, uint32_t n);
// length := bytes up to the first NUL, cut to capacity - 1 when none is found.
void string_recount(StringValue& value);
// For 0 <= n < capacity: terminate at n; otherwise nothing.
void string_truncate(StringValue& value, int32_t n);

// --- Numbers to text and back ---------------------------------------------

StringValue string_from_number(double number);
StringValue string_from_int(int32_t number);
int number_text_length(double number);
// printf "%*.*f" with width and decimals, cut at 47 characters.
StringValue string_format(double number, int32_t width, int32_t decimals);

// C atof rule: blanks, sign, digits, fraction, exponent; no digits gives 0.
double string_to_number(const char* text);
double string_to_number(const StringValue& text);
// C atoi rule, saturating at the 32-bit limits.
int32_t string_to_int(const char* text);
int32_t string_to_int(const StringValue& text);

// --- Joining --------------------------------------------------------------

StringValue& string_append(StringValue& target, const char* text);
StringValue& string_append(StringValue& target, const StringValue& text);
StringValue& string_append(StringValue& target, int number);
StringValue& string_append(StringValue& target, double number);

StringValue string_concat(const StringValue& left, const StringValue& right);
StringValue string_concat(const StringValue& left, const char* right);
StringValue string_concat(const char* left, const StringValue& right);
StringValue string_concat(const char* left, const char* right);
StringValue string_concat(const StringValue& left, int right);
StringValue string_concat(const StringValue& left, double right);
StringValue string_concat(int left, const StringValue& right);
StringValue string_concat(double left, const StringValue& right);
StringValue string_concat(const char* left, int right);
StringValue string_concat(const char* left, double right);
StringValue string_concat(int left, const char* right);
StringValue string_concat(double left, const char* right);

StringValue operator+(const StringValue& left, const StringValue& right);
StringValue operator+(const StringValue& left, const char* right);
StringValue operator+(const char* left, const StringValue& right);
StringValue operator+(const StringValue& left, int right);
StringValue operator+(const StringValue& left, double right);
StringValue operator+(int left, const StringValue& right);
StringValue operator+(double left, const StringValue& right);

// --- Pieces ---------------------------------------------------------------

// Substring of count bytes from start (0-based); a negative count means to
// the end; anything out of range gives less or the empty value.
StringValue string_mid(const StringValue& text, int32_t start, int32_t count);
// First byte as 0..255; 0 for the empty value.
int asc(const StringValue& text);
// Length 1 whose byte is the low 8 bits of code (also for 0).
StringValue string_chr(int32_t code);
// 0-based position of search at or after start, or -1.  An empty search
// gives start; a start below 0 or past the end gives -1.
int32_t string_instr(const StringValue& text, const StringValue& search, int32_t start = 0);
// Every occurrence of search replaced, left to right, never rescanning the
// inserted text.  An empty search gives a plain copy.
StringValue string_replace(const StringValue& text, const StringValue& search,
                           const StringValue& replacement);
StringValue string_upper(const StringValue& text);
StringValue string_lower(const StringValue& text);
void string_upper_in_place(StringValue& text);
void string_lower_in_place(StringValue& text);

// --- Comparisons ----------------------------------------------------------

// Lengths first, then bytes.
bool string_equals(const StringValue& left, const char* right);
bool string_equals(const StringValue& left, const StringValue& right);
// strcmp order: negative, 0 or positive.
int string_compare(const char* left, const char* right);

// Text against text: strcmp order (equality of two values by length, then
// bytes).  Text against double: the string_to_number value compared
// numerically; against int: the string_to_int value.
#define SNOW_TEXT_COMPARISONS(LEFT, RIGHT)                                                         \
    bool operator==(LEFT left, RIGHT right);                                                       \
    bool operator!=(LEFT left, RIGHT right);                                                       \
    bool operator<(LEFT left, RIGHT right);                                                        \
    bool operator>(LEFT left, RIGHT right);                                                        \
    bool operator<=(LEFT left, RIGHT right);                                                       \
    bool operator>=(LEFT left, RIGHT right);
// Every pair of sides text is compared with; values.cpp defines the same set.
#define SNOW_FOR_EACH_TEXT_COMPARISON(APPLY)                                                       \
    APPLY(const StringValue&, const StringValue&)                                                  \
    APPLY(const StringValue&, const char*)                                                         \
    APPLY(const char*, const StringValue&)                                                         \
    APPLY(const StringValue&, double)                                                              \
    APPLY(double, const StringValue&)                                                              \
    APPLY(const StringValue&, int)                                                                 \
    APPLY(int, const StringValue&)
SNOW_FOR_EACH_TEXT_COMPARISON(SNOW_TEXT_COMPARISONS)
#undef SNOW_TEXT_COMPARISONS
