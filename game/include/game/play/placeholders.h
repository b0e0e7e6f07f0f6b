/*
 * placeholders.h - the placeholders the game fills into its texts ("{key}",
 * "{time}", "{lives}", "{score}", "{n}", "{why}"), how wide each value may
 * be drawn, and the filling itself.
 *
 * Pure: no drawing.  Callers: the screens that fill a text, langcheck (which
 * holds every translation to English's placeholders and to their widest
 * values), tests.  Not for: the texts (text_keys.h, texts.h).
 */
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The placeholders the game fills in ("{key}"), each with the widest its
// value may be drawn, in pixels.
struct Placeholder {
    const char* name;
    int widest;
};
extern const Placeholder PLACEHOLDERS[];
// A "{why}" (a failed check, "score=5000") is cut to this many characters.
constexpr std::size_t WHY_CHARACTERS = 20;
extern const int PLACEHOLDER_COUNT;
// The placeholders of a text in order ("{n} s" gives {"{n}"}); anything in
// braces counts, known or not.
std::vector<std::string> placeholders_in(const std::string& text);
// The text with every `placeholder` replaced by value.
std::string filled(std::string text, const std::string& placeholder, const std::string& value);
