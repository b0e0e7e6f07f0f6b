// StringValue storage, number texts, joining, pieces and comparisons.
#include "core/values.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>

namespace {

// The shared empty text.  Never written: every writer first gives the value
// a buffer of its own through the growth rule.
char shared_empty_text[1] = {'\0'};

const uint32_t CAPACITY_STEP = 16;
const uint32_t NUMBER_TEXT_CHARS = 63;   // 80-byte buffer for a double's text
const uint32_t INT_TEXT_CHARS = 15;      // 32-byte buffer for an int's text
const int FORMAT_LIMIT = 47;             // string_format cuts its result here
const int SIGNIFICANT_DIGITS = 10;
// Any double's exact decimal expansion ends within this many fraction
// digits, so a larger precision only adds zeros.
const int MAX_USEFUL_DECIMALS = 1100;

void make_empty(StringValue& value)
{
    value.buffer = shared_empty_text;
    value.capacity = 0;
    value.length = 0;
}

bool owns_buffer(const StringValue& value)
{
    return value.buffer != nullptr && value.buffer != shared_empty_text;
}

// Gives value a new buffer with room for n characters when it has less, and
// returns the old buffer for the caller to free once it has read from it
// (the text being appended may live there).  Null when nothing changed.
char* regrow(StringValue& value, uint32_t n, bool keep)
{
    uint64_t needed = static_cast<uint64_t>(n) + 1;
    if (n == 0 || value.capacity >= needed) return nullptr;
    uint64_t capacity = (needed / CAPACITY_STEP) * CAPACITY_STEP + CAPACITY_STEP;
    if (capacity > UINT32_MAX) throw std::bad_alloc();
    char* fresh = new char[capacity]();
    if (keep && value.length != 0) std::memcpy(fresh, value.buffer, value.length);
    char* old = value.buffer;
    value.buffer = fresh;
    value.capacity = static_cast<uint32_t>(capacity);
    return old == shared_empty_text ? nullptr : old;
}

void append_bytes(StringValue& target, const char* bytes, uint64_t n)
{
    if (n == 0) return;
    uint64_t total = target.length + n;
    if (total >= UINT32_MAX) throw std::bad_alloc();
    char* old = regrow(target, static_cast<uint32_t>(total), true);
    std::memmove(target.buffer + target.length, bytes, n);
    delete[] old;
    target.length = static_cast<uint32_t>(total);
    target.buffer[target.length] = '\0';
}

StringValue from_bytes(const char* bytes, uint64_t n)
{
    StringValue value;
    append_bytes(value, bytes, n);
    return value;
}

uint64_t c_length(const char* text)
{
    return text == nullptr ? 0 : std::strlen(text);
}

// The _gcvt shape at 10 significant digits, before the ".0" and trailing
// point fixes.  out needs 32 bytes; returns the length written.
int gcvt_shape(double number, char* out)
{
    if (std::isnan(number)) return std::snprintf(out, 32, "nan");
    if (std::isinf(number)) return std::snprintf(out, 32, number < 0 ? "-inf" : "inf");
    // "%.9e" rounds to 10 significant digits and tells the exponent after
    // rounding: "-d.ddddddddde+XX".
    char scientific[32];
    std::snprintf(scientific, sizeof scientific, "%.*e", SIGNIFICANT_DIGITS - 1, std::fabs(number));
    char digits[SIGNIFICANT_DIGITS];
    digits[0] = scientific[0];
    std::memcpy(digits + 1, scientific + 2, SIGNIFICANT_DIGITS - 1);
    int exponent = std::atoi(scientific + SIGNIFICANT_DIGITS + 2);
    if (number == 0) exponent = 0;

    int used = 0;   // significant digits written
    int pos = 0;
    if (std::signbit(number)) out[pos++] = '-';
    if (exponent >= -1 && exponent <= 9) {
        if (exponent == -1) out[pos++] = '0';
        for (; used <= exponent; ++used) out[pos++] = digits[used];
    } else {
        out[pos++] = digits[used++];
    }
    out[pos++] = '.';
    int last = SIGNIFICANT_DIGITS;
    while (last > used && digits[last - 1] == '0') --last;
    for (; used < last; ++used) out[pos++] = digits[used];
    if (exponent < -1 || exponent > 9)
        pos += std::snprintf(out + pos, 8, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    out[pos] = '\0';
    return pos;
}

// The number's final text (".0" becomes "0", a trailing point goes).
int number_text(double number, char* out)
{
    int n = gcvt_shape(number, out);
    if (std::strcmp(out, ".0") == 0) return std::snprintf(out, 32, "0");
    if (n > 0 && out[n - 1] == '.') out[--n] = '\0';
    return n;
}

int int_text(int32_t number, char* out)
{
    return std::snprintf(out, INT_TEXT_CHARS + 1, "%d", static_cast<int>(number));
}

bool is_blank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the leading "blanks, sign, digits, fraction, exponent" that the
// atof rule reads; 0 when there are no digits.
size_t number_prefix(const char* text)
{
    size_t i = 0;
    while (is_blank(text[i])) ++i;
    if (text[i] == '+' || text[i] == '-') ++i;
    size_t digits = 0;
    for (; is_digit(text[i]); ++i) ++digits;
    if (text[i] == '.') {
        ++i;
        for (; is_digit(text[i]); ++i) ++digits;
    }
    if (digits == 0) return 0;
    size_t mark = i;
    if (text[i] == 'e' || text[i] == 'E') {
        ++i;
        if (text[i] == '+' || text[i] == '-') ++i;
        if (!is_digit(text[i])) return mark;
        while (is_digit(text[i])) ++i;
    }
    return i;
}

// Bytes of text from byte position start on: the first index of search, or -1.
int64_t find_bytes(const StringValue& text, uint64_t start, const StringValue& search)
{
    if (search.length > text.length) return -1;
    uint64_t last = text.length - search.length;
    for (uint64_t i = start; i <= last; ++i)
        if (std::memcmp(text.buffer + i, search.buffer, search.length) == 0)
            return static_cast<int64_t>(i);
    return -1;
}

void change_case(StringValue& text, char from, char to)
{
    for (uint32_t i = 0; i < text.length; ++i)
        if (text.buffer[i] >= from && text.buffer[i] <= from + 25)
            text.buffer[i] = static_cast<char>(text.buffer[i] - from + to);
}

}   // namespace

// --- StringValue ----------------------------------------------------------

StringValue::StringValue()
{
    make_empty(*this);
}

StringValue::StringValue(const char* text)
{
    make_empty(*this);
    append_bytes(*this, text, c_length(text));
}

StringValue::StringValue(const StringValue& other)
{
    make_empty(*this);
    append_bytes(*this, other.buffer, other.length);
}

StringValue::StringValue(StringValue&& other) noexcept
    : buffer(other.buffer), capacity(other.capacity), length(other.length)
{
    make_empty(other);
}

StringValue::~StringValue()
{
    string_free(*this);
}

StringValue& StringValue::operator=(const StringValue& other)
{
    StringValue copy(other);
    std::swap(buffer, copy.buffer);
    std::swap(capacity, copy.capacity);
    std::swap(length, copy.length);
    return *this;
}

StringValue& StringValue::operator=(StringValue&& other) noexcept
{
    std::swap(buffer, other.buffer);
    std::swap(capacity, other.capacity);
    std::swap(length, other.length);
    return *this;
}

StringValue& StringValue::operator=(const char* text)
{
    return *this = StringValue(text);
}

StringValue& StringValue::operator+=(const StringValue& text)
{
    return string_append(*this, text);
}
StringValue& StringValue::operator+=(const char* text)
{
    return string_append(*this, text);
}
StringValue& StringValue::operator+=(int number)
{
    return string_append(*this, number);
}
StringValue& StringValue::operator+=(double number)
{
    return string_append(*this, number);
}

const char* StringValue::c_str() const
{
    return buffer != nullptr ? buffer : shared_empty_text;
}

const char* string_empty_text()
{
    return shared_empty_text;
}

// --- Storage ---------------------------------------------------------------

void string_reserve(StringValue& value, uint32_t n, bool keep)
{
    char* old = regrow(value, n, keep);
    delete[] old;
}

StringValue string_assign(const char* text)
{
    return StringValue(text);
}
StringValue string_copy(const StringValue& value)
{
    return StringValue(value);
}

void string_free(StringValue& value)
{
    if (owns_buffer(value)) delete[] value.buffer;
    value.buffer = nullptr;
    value.capacity = 0;
    value.length = 0;
}

void string_clear(StringValue& value)
{
    string_free(value);
    make_empty(value);
}

char* string_write_buffer(StringValue& value, uint32_t n)
{
    if (value.buffer == nullptr) make_empty(value);
    string_reserve(value, n, true);
    return value.buffer;
}

void string_recount(StringValue& value)
{
    if (value.capacity == 0) {
        value.length = 0;
        return;
    }
    size_t n = strnlen(value.buffer, value.capacity);
    if (n >= value.capacity) n = value.capacity - 1;
    value.buffer[n] = '\0';
    value.length = static_cast<uint32_t>(n);
}

void string_truncate(StringValue& value, int32_t n)
{
    if (n < 0 || static_cast<uint32_t>(n) >= value.capacity) return;
    value.buffer[n] = '\0';
    value.length = static_cast<uint32_t>(n);
}

// --- Numbers to text and back ---------------------------------------------

namespace {

// A value holding what write puts in a buffer of capacity characters.
template <typename Number>
StringValue written_number(Number number, uint32_t capacity, int (*write)(Number, char*))
{
    StringValue value;
    string_reserve(value, capacity, false);
    write(number, value.buffer);
    string_recount(value);
    return value;
}

}   // namespace

StringValue string_from_number(double number)
{
    return written_number(number, NUMBER_TEXT_CHARS, number_text);
}

StringValue string_from_int(int32_t number)
{
    return written_number(number, INT_TEXT_CHARS, int_text);
}

int number_text_length(double number)
{
    char text[32];
    return number_text(number, text);
}

StringValue string_format(double number, int32_t width, int32_t decimals)
{
    int precision = decimals > MAX_USEFUL_DECIMALS ? MAX_USEFUL_DECIMALS : decimals;
    int body = std::snprintf(nullptr, 0, "%.*f", precision, number);
    std::string text(static_cast<size_t>(body) + 1, '\0');
    std::snprintf(&text[0], text.size(), "%.*f", precision, number);
    text.resize(static_cast<size_t>(body));
    // The field width pads with blanks (left for a positive width, right for
    // a negative one); only the first 47 characters are ever kept.
    int64_t field = width < 0 ? -static_cast<int64_t>(width) : width;
    int64_t pad = field > body ? field - body : 0;
    if (pad > FORMAT_LIMIT) pad = FORMAT_LIMIT;
    std::string blanks(static_cast<size_t>(pad), ' ');
    text = width < 0 ? text + blanks : blanks + text;
    if (text.size() > FORMAT_LIMIT) text.resize(FORMAT_LIMIT);
    return from_bytes(text.data(), text.size());
}

double string_to_number(const char* text)
{
    if (text == nullptr) return 0;
    size_t n = number_prefix(text);
    if (n == 0) return 0;
    return std::strtod(std::string(text, n).c_str(), nullptr);
}

double string_to_number(const StringValue& text)
{
    return string_to_number(text.c_str());
}

int32_t string_to_int(const char* text)
{
    if (text == nullptr) return 0;
    size_t i = 0;
    while (is_blank(text[i])) ++i;
    bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-') ++i;
    int64_t magnitude = 0;
    const int64_t limit = static_cast<int64_t>(INT32_MAX) + 1;
    for (; is_digit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) magnitude = limit;
    }
    int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX) result = INT32_MAX;
    return static_cast<int32_t>(result);
}

int32_t string_to_int(const StringValue& text)
{
    return string_to_int(text.c_str());
}

// --- Joining ----------------------------------------------------------------

StringValue& string_append(StringValue& target, const char* text)
{
    append_bytes(target, text, c_length(text));
    return target;
}

StringValue& string_append(StringValue& target, const StringValue& text)
{
    append_bytes(target, text.buffer, text.length);
    return target;
}

StringValue& string_append(StringValue& target, int number)
{
    char text[INT_TEXT_CHARS + 1];
    append_bytes(target, text, static_cast<uint64_t>(int_text(number, text)));
    return target;
}

StringValue& string_append(StringValue& target, double number)
{
    char text[32];
    append_bytes(target, text, static_cast<uint64_t>(number_text(number, text)));
    return target;
}

namespace {
template <typename Left, typename Right>
StringValue concat(const Left& left, const Right& right)
{
    StringValue result;
    string_append(result, left);
    string_append(result, right);
    return result;
}
}   // namespace

StringValue string_concat(const StringValue& l, const StringValue& r)
{
    return concat(l, r);
}
StringValue string_concat(const StringValue& l, const char* r)
{
    return concat(l, r);
}
StringValue string_concat(const char* l, const StringValue& r)
{
    return concat(l, r);
}
StringValue string_concat(const char* l, const char* r)
{
    return concat(l, r);
}
StringValue string_concat(const StringValue& l, int r)
{
    return concat(l, r);
}
StringValue string_concat(const StringValue& l, double r)
{
    return concat(l, r);
}
StringValue string_concat(int l, const StringValue& r)
{
    return concat(l, r);
}
StringValue string_concat(double l, const StringValue& r)
{
    return concat(l, r);
}
StringValue string_concat(const char* l, int r)
{
    return concat(l, r);
}
StringValue string_concat(const char* l, double r)
{
    return concat(l, r);
}
StringValue string_concat(int l, const char* r)
{
    return concat(l, r);
}
StringValue string_concat(double l, const char* r)
{
    return concat(l, r);
}

StringValue operator+(const StringValue& l, const StringValue& r)
{
    return concat(l, r);
}
StringValue operator+(const StringValue& l, const char* r)
{
    return concat(l, r);
}
StringValue operator+(const char* l, const StringValue& r)
{
    return concat(l, r);
}
StringValue operator+(const StringValue& l, int r)
{
    return concat(l, r);
}
StringValue operator+(const StringValue& l, double r)
{
    return concat(l, r);
}
StringValue operator+(int l, const StringValue& r)
{
    return concat(l, r);
}
StringValue operator+(double l, const StringValue& r)
{
    return concat(l, r);
}

// --- Pieces ------------------------------------------------------------------

StringValue string_mid(const StringValue& text, int32_t start, int32_t count)
{
    int64_t length = text.length;
    int64_t n = count < 0 ? length : count;
    if (start + n > length) n = length - start;
    if (n < 1 || start >= length || start < 0) return StringValue();
    return from_bytes(text.buffer + start, static_cast<uint64_t>(n));
}

int asc(const StringValue& text)
{
    return text.length == 0 ? 0 : static_cast<unsigned char>(text.buffer[0]);
}

StringValue string_chr(int32_t code)
{
    char byte = static_cast<char>(code & 0xFF);
    return from_bytes(&byte, 1);
}

int32_t string_instr(const StringValue& text, const StringValue& search, int32_t start)
{
    if (start < 0 || static_cast<uint32_t>(start) > text.length) return -1;
    if (search.length == 0) return start;
    return static_cast<int32_t>(find_bytes(text, static_cast<uint64_t>(start), search));
}

StringValue string_replace(const StringValue& text, const StringValue& search,
                           const StringValue& replacement)
{
    if (search.length == 0) return text;
    StringValue result;
    uint64_t done = 0;
    for (int64_t hit = find_bytes(text, 0, search); hit >= 0;
         hit = find_bytes(text, done, search)) {
        append_bytes(result, text.buffer + done, static_cast<uint64_t>(hit) - done);
        append_bytes(result, replacement.buffer, replacement.length);
        done = static_cast<uint64_t>(hit) + search.length;
    }
    append_bytes(result, text.buffer + done, text.length - done);
    return result;
}

void string_upper_in_place(StringValue& text)
{
    change_case(text, 'a', 'A');
}
void string_lower_in_place(StringValue& text)
{
    change_case(text, 'A', 'a');
}

StringValue string_upper(const StringValue& text)
{
    StringValue copy(text);
    string_upper_in_place(copy);
    return copy;
}

StringValue string_lower(const StringValue& text)
{
    StringValue copy(text);
    string_lower_in_place(copy);
    return copy;
}

// --- Comparisons --------------------------------------------------------------

bool string_equals(const StringValue& left, const char* right)
{
    uint64_t n = c_length(right);
    return left.length == n && std::memcmp(left.c_str(), right == nullptr ? "" : right, n) == 0;
}

bool string_equals(const StringValue& left, const StringValue& right)
{
    return left.length == right.length &&
           std::memcmp(left.c_str(), right.c_str(), left.length) == 0;
}

int string_compare(const char* left, const char* right)
{
    int result = std::strcmp(left == nullptr ? "" : left, right == nullptr ? "" : right);
    return (result > 0) - (result < 0);
}

namespace {
// The two values each comparison weighs: texts by their strcmp order against
// 0, a text against a number by its number value.
std::pair<int, int> sides(const StringValue& l, const StringValue& r)
{
    return {string_compare(l.c_str(), r.c_str()), 0};
}
std::pair<int, int> sides(const StringValue& l, const char* r)
{
    return {string_compare(l.c_str(), r), 0};
}
std::pair<int, int> sides(const char* l, const StringValue& r)
{
    return {string_compare(l, r.c_str()), 0};
}
std::pair<double, double> sides(const StringValue& l, double r)
{
    return {string_to_number(l), r};
}
std::pair<double, double> sides(double l, const StringValue& r)
{
    return {l, string_to_number(r)};
}
std::pair<int32_t, int32_t> sides(const StringValue& l, int r)
{
    return {string_to_int(l), r};
}
std::pair<int32_t, int32_t> sides(int l, const StringValue& r)
{
    return {l, string_to_int(r)};
}

template <typename Left, typename Right>
bool same(Left l, Right r)
{
    auto s = sides(l, r);
    return s.first == s.second;
}
// Two values: lengths first, then bytes.
bool same(const StringValue& l, const StringValue& r)
{
    return string_equals(l, r);
}
}   // namespace

#define SNOW_TEXT_COMPARISONS(LEFT, RIGHT)                                                         \
    bool operator==(LEFT left, RIGHT right)                                                        \
    {                                                                                              \
        return same(left, right);                                                                  \
    }                                                                                              \
    bool operator!=(LEFT left, RIGHT right)                                                        \
    {                                                                                              \
        return !same(left, right);                                                                 \
    }                                                                                              \
    bool operator<(LEFT left, RIGHT right)                                                         \
    {                                                                                              \
        auto s = sides(left, right);                                                               \
        return s.first < s.second;                                                                 \
    }                                                                                              \
    bool operator>(LEFT left, RIGHT right)                                                         \
    {                                                                                              \
        auto s = sides(left, right);                                                               \
        return s.first > s.second;                                                                 \
    }                                                                                              \
    bool operator<=(LEFT left, RIGHT right)                                                        \
    {                                                                                              \
        auto s = sides(left, right);                                                               \
        return s.first <= s.second;                                                                \
    }                                                                                              \
    bool operator>=(LEFT left, RIGHT right)                                                        \
    {                                                                                              \
        auto s = sides(left, right);                                                               \
        return s.first >= s.second;                                                                \
    }
SNOW_FOR_EACH_TEXT_COMPARISON(SNOW_TEXT_COMPARISONS)
#undef SNOW_TEXT_COMPARISONS
#undef SNOW_FOR_EACH_TEXT_COMPARISON
