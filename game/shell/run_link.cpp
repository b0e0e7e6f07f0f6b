/*
 * run_link.cpp - base64url and zlib's deflate and inflate, for a replay
 * script carried in a link.
 *
 * Needs: zlib.
 */
#include "game/shell/run_link.h"

#include <array>
#include <cctype>
#include <vector>
#include <zlib.h>

const char* const RUN_LINK_KEY = "watch=";

namespace {

constexpr const char* FRAGMENT_KEY = "#watch=";
constexpr const char* ALPHABET = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr int BITS_PER_LETTER = 6;
constexpr int BITS_PER_BYTE = 8;
constexpr unsigned LETTER_MASK = 0x3F;
constexpr unsigned BYTE_MASK = 0xFF;
constexpr int NOT_A_LETTER = -1;

// zlib's compressBound for the largest script: the stream of any script a
// link may hold is no longer, so no longer link need be decoded.
constexpr std::size_t MAX_STREAM_BYTES = MAX_LINK_SCRIPT_BYTES + (MAX_LINK_SCRIPT_BYTES >> 12) +
                                         (MAX_LINK_SCRIPT_BYTES >> 14) +
                                         (MAX_LINK_SCRIPT_BYTES >> 25) + 13;
constexpr std::size_t MAX_LINK_LETTERS = (MAX_STREAM_BYTES + 2) / 3 * 4;
constexpr std::size_t INFLATE_PIECE = std::size_t{16} * 1024;

std::string base64url(const std::vector<unsigned char>& bytes)
{
    std::string letters;
    unsigned bits = 0;
    int held = 0;
    for (unsigned char byte : bytes) {
        bits = (bits << BITS_PER_BYTE) | byte;
        held += BITS_PER_BYTE;
        while (held >= BITS_PER_LETTER) {
            held -= BITS_PER_LETTER;
            letters += ALPHABET[(bits >> held) & LETTER_MASK];
        }
    }
    if (held > 0) letters += ALPHABET[(bits << (BITS_PER_LETTER - held)) & LETTER_MASK];
    return letters;
}

int letter_value(char letter)
{
    if (letter >= 'A' && letter <= 'Z') return letter - 'A';
    if (letter >= 'a' && letter <= 'z') return letter - 'a' + 26;
    if (letter >= '0' && letter <= '9') return letter - '0' + 52;
    if (letter == '-') return 62;
    if (letter == '_') return 63;
    return NOT_A_LETTER;
}

// False for a letter outside the alphabet, or a length no bytes encode to.
bool from_base64url(const std::string& letters, std::vector<unsigned char>* bytes)
{
    if (letters.size() % 4 == 1) return false;
    unsigned bits = 0;
    int held = 0;
    for (char letter : letters) {
        const int value = letter_value(letter);
        if (value == NOT_A_LETTER) return false;
        bits = (bits << BITS_PER_LETTER) | unsigned(value);
        held += BITS_PER_LETTER;
        if (held >= BITS_PER_BYTE) {
            held -= BITS_PER_BYTE;
            bytes->push_back(static_cast<unsigned char>((bits >> held) & BYTE_MASK));
        }
    }
    return true;
}

// The script of one whole zlib stream, inflated a piece at a time and no
// further than one byte past the bound.
LinkFault inflate_script(std::vector<unsigned char>& stream, std::string* script)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return LinkFault::damaged;
    z.next_in = stream.data();
    z.avail_in = static_cast<uInt>(stream.size());
    std::array<unsigned char, INFLATE_PIECE> piece;
    int result = Z_OK;
    while (result == Z_OK && script->size() <= MAX_LINK_SCRIPT_BYTES) {
        const std::size_t room = MAX_LINK_SCRIPT_BYTES + 1 - script->size();
        z.next_out = piece.data();
        z.avail_out = static_cast<uInt>(room < piece.size() ? room : piece.size());
        result = inflate(&z, Z_NO_FLUSH);
        script->append(reinterpret_cast<const char*>(piece.data()),
                       static_cast<std::size_t>(z.next_out - piece.data()));
    }
    const bool whole = result == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    if (script->size() > MAX_LINK_SCRIPT_BYTES) return LinkFault::too_long;
    return whole ? LinkFault::none : LinkFault::damaged;
}

bool is_blank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string trimmed(const std::string& text)
{
    std::size_t first = 0, last = text.size();
    while (first < last && is_blank(text[first])) ++first;
    while (last > first && is_blank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// The letters after the key: the fragment's, or the bare payload's.
std::string letters_of(const std::string& link)
{
    const std::string text = trimmed(link);
    const std::size_t fragment = text.find(FRAGMENT_KEY);
    if (fragment != std::string::npos)
        return text.substr(fragment + std::string(FRAGMENT_KEY).size());
    return text.substr(std::string(RUN_LINK_KEY).size());
}

}   // namespace

std::string run_link_payload(const std::string& script)
{
    uLongf size = compressBound(static_cast<uLong>(script.size()));
    std::vector<unsigned char> stream(size);
    compress2(stream.data(), &size, reinterpret_cast<const Bytef*>(script.data()),
              static_cast<uLong>(script.size()), Z_BEST_COMPRESSION);
    stream.resize(size);
    return RUN_LINK_KEY + base64url(stream);
}

bool is_run_link(const std::string& text)
{
    const std::string link = trimmed(text);
    return link.find(FRAGMENT_KEY) != std::string::npos || link.rfind(RUN_LINK_KEY, 0) == 0;
}

LinkFault decode_run_link(const std::string& link, std::string* script)
{
    script->clear();
    if (!is_run_link(link)) return LinkFault::bad_letters;
    const std::string letters = letters_of(link);
    if (letters.size() > MAX_LINK_LETTERS) return LinkFault::too_long;
    std::vector<unsigned char> stream;
    if (!from_base64url(letters, &stream)) return LinkFault::bad_letters;
    const LinkFault fault = inflate_script(stream, script);
    if (fault != LinkFault::none) script->clear();
    return fault;
}
