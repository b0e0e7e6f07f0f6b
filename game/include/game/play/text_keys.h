/*
 * text_keys.h - the name of every text the player reads, and the room it
 * has on its screen: where it starts, how wide it may grow, or that it is
 * centred.  The screens take their texts' places from these rooms, and the
 * build's check of the language tables (tools/langcheck) measures every
 * text of every language against the same rooms, so a translation that
 * would run off its line stops the build instead.
 *
 * Also the story's layout: its paragraphs' lines and where each falls.
 *
 * Pure: no drawing.  Callers: the screens (through texts.h), the language
 * tables (language_table.h), langcheck, tests.  Not for: the words
 * themselves (assets/lang/<code>.txt) or choosing a language (texts.h).
 */
#pragma once

#include <string>
#include <vector>

// Where a text goes: left-aligned at x with `width` pixels to grow into, or
// centred on the 320-pixel picture within `width`.
struct TextRoom {
    int x;
    int width;
    bool centred;
};

// The rooms, each shared by the screen that draws there and the check.
constexpr TextRoom CENTRED_ROOM = {0, 310, true};
constexpr TextRoom STORY_TITLE_ROOM = {130, 170, false};
constexpr TextRoom STORY_ROOM = {20, 280, false};
constexpr TextRoom MENU_ENTRY_ROOM = {120, 180, false};
constexpr TextRoom CREDIT_ROOM = {5, 310, false};
constexpr TextRoom KEYS_TITLE_ROOM = {100, 200, false};
constexpr TextRoom KEYS_LABEL_ROOM = {80, 63, false};   // up to the key names, less a cell
constexpr TextRoom KEY_NAME_ROOM = {150, 128, false};
constexpr TextRoom KEYS_HINT_ROOM = {20, 280, false};
constexpr TextRoom OPTIONS_LABEL_ROOM = {48, 113, false};   // up to the values, less a cell
constexpr TextRoom OPTIONS_VALUE_ROOM = {168, 132, false};
// The status line's labels end a few pixels before their numbers.
constexpr TextRoom SCORE_LABEL_ROOM = {10, 46, false};
constexpr TextRoom TIME_LABEL_ROOM = {140, 36, false};
constexpr TextRoom LIVES_LABEL_ROOM = {245, 45, false};
constexpr TextRoom GAME_OVER_ROOM = {80, 220, false};

enum class TextKey {
    language_name,
    story_title,
    story_1,
    story_2,
    story_3,
    story_4,
    story_start,
    menu_start,
    menu_keys,
    menu_options,
    menu_exit,
    menu_best,
    menu_volume_keys,
    menu_best_and_volume_keys,
    menu_greeting,
    keys_title,
    keys_up,
    keys_down,
    keys_left,
    keys_right,
    keys_jump,
    keys_pause,
    keys_hint,
    key_space,
    key_enter,
    key_cursor_up,
    key_cursor_down,
    key_cursor_left,
    key_cursor_right,
    options_title,
    options_music,
    options_effects,
    options_display,
    options_fit,
    options_language,
    options_assists,
    options_back,
    options_full_screen,
    options_window,
    options_fill,
    options_whole_pixels,
    options_system_language,
    assists_title,
    assists_greeting,
    assists_speed,
    assists_time_limit,
    assists_lives,
    assists_safe_falls,
    assists_percent,
    assists_seconds,
    assists_no_time_limit,
    assists_unlimited,
    assists_on,
    assists_off,
    round_score,
    round_lives,
    round_time,
    round_paused,
    round_game_over,
    end_results,
    end_assisted,
    end_new_best,
    end_assisted_new_best,
};
constexpr int TEXT_KEY_COUNT = int(TextKey::end_assisted_new_best) + 1;

// A key's name in the tables ("menu.start") and its room.
struct TextKeyInfo {
    TextKey key;
    const char* name;
    TextRoom room;
};
const TextKeyInfo& text_key_info(TextKey key);

// The key of a name; false when no text has that name.
bool text_key_named(const std::string& name, TextKey* key);

// The placeholders the game fills in ("{key}"), each with the widest its
// value may be drawn, in pixels.
struct Placeholder {
    const char* name;
    int widest;
};
extern const Placeholder PLACEHOLDERS[];
extern const int PLACEHOLDER_COUNT;
// The placeholders of a text in order ("{n} s" gives {"{n}"}); anything in
// braces counts, known or not.
std::vector<std::string> placeholders_in(const std::string& text);
// The text with every `placeholder` replaced by value.
std::string filled(std::string text, const std::string& placeholder, const std::string& value);

// The story: paragraphs story_1 to story_4, their lines parted by "|", each
// line STORY_LINE_SPACING below the last.  A paragraph starts at its own
// top, or lower when the one above runs long: PARAGRAPH_STEP below that
// one's last line.  No line may start below STORY_LAST_LINE_Y (the hint
// that names the start key stands under it).
constexpr int STORY_TITLE_Y = 20;
constexpr int STORY_PARAGRAPHS = 4;
constexpr int STORY_PARAGRAPH_TOPS[STORY_PARAGRAPHS] = {50, 70, 103, 190};
constexpr int STORY_LINE_SPACING = 11;
constexpr int STORY_PARAGRAPH_STEP = 20;
constexpr int STORY_LAST_LINE_Y = 212;
constexpr int STORY_START_HINT_Y = 229;
std::vector<std::string> paragraph_lines(const std::string& paragraph);
// The y of every line, paragraph after paragraph, for paragraphs of these
// many lines.
std::vector<int> story_line_tops(const std::vector<int>& lines_per_paragraph);
