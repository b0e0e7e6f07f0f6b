/*
 * langcheck - the build's check of the language tables: every text English
 * has is in every table, with the same placeholders, and every text fits
 * the room its screen gives it (text_keys.h), measured in the game's own
 * font (glyphs.h), whose letters it is all written in; the story's lines
 * stay above its foot line.
 *
 *   langcheck <folder>/en.txt <folder>/<code>.txt ...
 *
 * English comes first.  Prints one line per fault and exits 1 when there is
 * any, which stops the build; prints nothing and exits 0 otherwise.
 */
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/play/glyphs.h"
#include "game/play/language_table.h"
#include "game/play/placeholders.h"
#include "game/play/story_layout.h"
#include "game/play/text_keys.h"

namespace {

struct Table {
    std::string name;   // "de.txt"
    LanguageTable texts;
};

int faults = 0;

void fault(const Table& table, const std::string& what)
{
    std::printf("langcheck: %s: %s\n", table.name.c_str(), what.c_str());
    ++faults;
}

bool read_table(const std::string& path, Table* table)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    table->name = path.substr(path.find_last_of('/') + 1);
    std::vector<std::string> complaints;
    table->texts = language_table_from_text(bytes.str(), &complaints);
    for (const std::string& complaint : complaints) fault(*table, complaint);
    return true;
}

std::vector<std::string> sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

const Placeholder* placeholder_named(const std::string& name)
{
    for (int i = 0; i < PLACEHOLDER_COUNT; ++i)
        if (name == PLACEHOLDERS[i].name) return &PLACEHOLDERS[i];
    return nullptr;
}

// The width of a line with every placeholder as wide as its value may be.
int widest_width(const std::string& line)
{
    std::string bare = line;
    int width = 0;
    for (const std::string& name : placeholders_in(line)) {
        const Placeholder* placeholder = placeholder_named(name);
        width += placeholder ? placeholder->widest : 0;
        bare = filled(bare, name, "");
    }
    return width + text_width(bare.c_str());
}

void check_placeholders(const Table& table, const Table& english, TextKey key)
{
    const std::string& text = table.texts.texts[int(key)];
    const std::string& original = english.texts.texts[int(key)];
    for (const std::string& name : placeholders_in(text))
        if (!placeholder_named(name))
            fault(table, std::string(text_key_info(key).name) + ": the game fills no " + name);
    if (sorted(placeholders_in(text)) != sorted(placeholders_in(original)))
        fault(table, std::string(text_key_info(key).name) +
                         ": its placeholders differ from English's (\"" + original + "\")");
}

void check_width(const Table& table, TextKey key)
{
    const TextKeyInfo& info = text_key_info(key);
    for (const std::string& line : paragraph_lines(table.texts.texts[int(key)])) {
        const int width = widest_width(line);
        if (width <= info.room.width) continue;
        fault(table, std::string(info.name) + ": \"" + line + "\" is " + std::to_string(width) +
                         " pixels wide; its room is " + std::to_string(info.room.width));
    }
}

// Every letter is one the font draws (it would show as '?'), and the text
// is UTF-8.
void check_letters(const Table& table, TextKey key)
{
    const std::string& text = table.texts.texts[int(key)];
    for (uint32_t character : text_characters(text.c_str())) {
        if (font_has_character(character)) continue;
        const std::string shown = character == INVALID_CHARACTER ? "a byte that is not UTF-8"
                                                                 : "\"" + utf8_of(character) + "\"";
        fault(table, std::string(text_key_info(key).name) + ": the font has no " + shown);
    }
}

void check_story_height(const Table& table)
{
    std::vector<int> lines;
    for (int p = 0; p < STORY_PARAGRAPHS; ++p) {
        const TextKey key = TextKey(int(TextKey::story_1) + p);
        lines.push_back(int(paragraph_lines(table.texts.texts[int(key)]).size()));
    }
    const std::vector<int> tops = story_line_tops(lines);
    if (!tops.empty() && tops.back() > STORY_LAST_LINE_Y)
        fault(table, "the story's last line starts at y " + std::to_string(tops.back()) +
                         ", below " + std::to_string(STORY_LAST_LINE_Y));
}

void check_table(const Table& table, const Table& english)
{
    for (int k = 0; k < TEXT_KEY_COUNT; ++k) {
        const TextKey key = TextKey(k);
        if (!table.texts.has[k]) {
            fault(table, std::string(text_key_info(key).name) + " is missing");
            continue;
        }
        check_placeholders(table, english, key);
        check_width(table, key);
        check_letters(table, key);
    }
    check_story_height(table);
}

}   // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: langcheck en.txt [other tables...]\n");
        return 2;
    }
    std::vector<Table> tables(std::size_t(argc - 1));
    for (int i = 1; i < argc; ++i) {
        if (read_table(argv[i], &tables[std::size_t(i - 1)])) continue;
        std::printf("langcheck: cannot read %s\n", argv[i]);
        return 1;
    }
    for (const Table& table : tables) check_table(table, tables[0]);
    return faults == 0 ? 0 : 1;
}
