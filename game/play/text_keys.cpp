// The names and rooms of the player's texts, and the story's layout.
#include "game/play/text_keys.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace {

// In TextKey's order.
constexpr TextKeyInfo TEXT_KEYS[] = {
    {TextKey::language_name, "language.name", OPTIONS_VALUE_ROOM},
    {TextKey::story_title, "story.title", STORY_TITLE_ROOM},
    {TextKey::story_1, "story.1", STORY_ROOM},
    {TextKey::story_2, "story.2", STORY_ROOM},
    {TextKey::story_3, "story.3", STORY_ROOM},
    {TextKey::story_4, "story.4", STORY_ROOM},
    {TextKey::story_start, "story.start", CENTRED_ROOM},
    {TextKey::menu_start, "menu.start", MENU_ENTRY_ROOM},
    {TextKey::menu_keys, "menu.keys", MENU_ENTRY_ROOM},
    {TextKey::menu_options, "menu.options", MENU_ENTRY_ROOM},
    {TextKey::menu_exit, "menu.exit", MENU_ENTRY_ROOM},
    {TextKey::menu_best, "menu.best", CREDIT_ROOM},
    {TextKey::menu_volume_keys, "menu.volume_keys", CREDIT_ROOM},
    {TextKey::menu_best_and_volume_keys, "menu.best_and_volume_keys", CREDIT_ROOM},
    {TextKey::menu_greeting, "menu.greeting", CREDIT_ROOM},
    {TextKey::keys_title, "keys.title", KEYS_TITLE_ROOM},
    {TextKey::keys_up, "keys.up", KEYS_LABEL_ROOM},
    {TextKey::keys_down, "keys.down", KEYS_LABEL_ROOM},
    {TextKey::keys_left, "keys.left", KEYS_LABEL_ROOM},
    {TextKey::keys_right, "keys.right", KEYS_LABEL_ROOM},
    {TextKey::keys_jump, "keys.jump", KEYS_LABEL_ROOM},
    {TextKey::keys_pause, "keys.pause", KEYS_LABEL_ROOM},
    {TextKey::keys_hint, "keys.hint", KEYS_HINT_ROOM},
    {TextKey::key_space, "key.space", KEY_NAME_ROOM},
    {TextKey::key_enter, "key.enter", KEY_NAME_ROOM},
    {TextKey::key_cursor_up, "key.cursor_up", KEY_NAME_ROOM},
    {TextKey::key_cursor_down, "key.cursor_down", KEY_NAME_ROOM},
    {TextKey::key_cursor_left, "key.cursor_left", KEY_NAME_ROOM},
    {TextKey::key_cursor_right, "key.cursor_right", KEY_NAME_ROOM},
    {TextKey::options_title, "options.title", CENTRED_ROOM},
    {TextKey::options_music, "options.music", OPTIONS_LABEL_ROOM},
    {TextKey::options_effects, "options.effects", OPTIONS_LABEL_ROOM},
    {TextKey::options_display, "options.display", OPTIONS_LABEL_ROOM},
    {TextKey::options_fit, "options.fit", OPTIONS_LABEL_ROOM},
    {TextKey::options_language, "options.language", OPTIONS_LABEL_ROOM},
    {TextKey::options_assists, "options.assists", OPTIONS_LABEL_ROOM},
    {TextKey::options_back, "options.back", OPTIONS_LABEL_ROOM},
    {TextKey::options_full_screen, "options.full_screen", OPTIONS_VALUE_ROOM},
    {TextKey::options_window, "options.window", OPTIONS_VALUE_ROOM},
    {TextKey::options_fill, "options.fill", OPTIONS_VALUE_ROOM},
    {TextKey::options_whole_pixels, "options.whole_pixels", OPTIONS_VALUE_ROOM},
    {TextKey::options_system_language, "options.system_language", OPTIONS_VALUE_ROOM},
    {TextKey::assists_title, "assists.title", CENTRED_ROOM},
    {TextKey::assists_greeting, "assists.greeting", CENTRED_ROOM},
    {TextKey::assists_speed, "assists.speed", OPTIONS_LABEL_ROOM},
    {TextKey::assists_time_limit, "assists.time_limit", OPTIONS_LABEL_ROOM},
    {TextKey::assists_lives, "assists.lives", OPTIONS_LABEL_ROOM},
    {TextKey::assists_safe_falls, "assists.safe_falls", OPTIONS_LABEL_ROOM},
    {TextKey::assists_percent, "assists.percent", OPTIONS_VALUE_ROOM},
    {TextKey::assists_seconds, "assists.seconds", OPTIONS_VALUE_ROOM},
    {TextKey::assists_no_time_limit, "assists.no_time_limit", OPTIONS_VALUE_ROOM},
    {TextKey::assists_unlimited, "assists.unlimited", OPTIONS_VALUE_ROOM},
    {TextKey::assists_on, "assists.on", OPTIONS_VALUE_ROOM},
    {TextKey::assists_off, "assists.off", OPTIONS_VALUE_ROOM},
    {TextKey::round_score, "round.score", SCORE_LABEL_ROOM},
    {TextKey::round_lives, "round.lives", LIVES_LABEL_ROOM},
    {TextKey::round_time, "round.time", TIME_LABEL_ROOM},
    {TextKey::round_paused, "round.paused", CENTRED_ROOM},
    {TextKey::round_game_over, "round.game_over", GAME_OVER_ROOM},
    {TextKey::end_results, "end.results", CENTRED_ROOM},
    {TextKey::end_assisted, "end.assisted", CENTRED_ROOM},
    {TextKey::end_new_best, "end.new_best", CENTRED_ROOM},
    {TextKey::end_assisted_new_best, "end.assisted_new_best", CENTRED_ROOM},
};
static_assert(std::size(TEXT_KEYS) == std::size_t(TEXT_KEY_COUNT), "a text key without its name");

constexpr bool keys_in_order()
{
    for (std::size_t i = 0; i < std::size(TEXT_KEYS); ++i)
        if (TEXT_KEYS[i].key != TextKey(i)) return false;
    return true;
}
static_assert(keys_in_order(), "TEXT_KEYS must follow TextKey's order");

// The widest value of each: a key name as wide as its room on the key
// screen, a time "00:00", and numbers of up to 3 or 6 digits, 7 pixels each.
constexpr int DIGIT_WIDTH = 7;

}   // namespace

const Placeholder PLACEHOLDERS[] = {
    {"{key}", KEY_NAME_ROOM.width}, {"{time}", 5 * DIGIT_WIDTH}, {"{lives}", 3 * DIGIT_WIDTH},
    {"{score}", 6 * DIGIT_WIDTH},   {"{n}", 3 * DIGIT_WIDTH},
};
const int PLACEHOLDER_COUNT = int(std::size(PLACEHOLDERS));

const TextKeyInfo& text_key_info(TextKey key)
{
    return TEXT_KEYS[int(key)];
}

bool text_key_named(const std::string& name, TextKey* key)
{
    for (const TextKeyInfo& info : TEXT_KEYS) {
        if (name != info.name) continue;
        *key = info.key;
        return true;
    }
    return false;
}

std::vector<std::string> placeholders_in(const std::string& text)
{
    std::vector<std::string> found;
    std::size_t open = text.find('{');
    while (open != std::string::npos) {
        const std::size_t close = text.find('}', open);
        if (close == std::string::npos) break;
        found.push_back(text.substr(open, close - open + 1));
        open = text.find('{', close);
    }
    return found;
}

std::string filled(std::string text, const std::string& placeholder, const std::string& value)
{
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
    return text;
}

std::vector<std::string> paragraph_lines(const std::string& paragraph)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = paragraph.find('|', start);
        lines.push_back(paragraph.substr(start, bar - start));
        if (bar == std::string::npos) return lines;
        start = bar + 1;
    }
}

std::vector<int> story_line_tops(const std::vector<int>& lines_per_paragraph)
{
    std::vector<int> tops;
    for (std::size_t p = 0; p < lines_per_paragraph.size(); ++p) {
        int top = p < std::size(STORY_PARAGRAPH_TOPS) ? STORY_PARAGRAPH_TOPS[p] : 0;
        if (!tops.empty()) top = std::max(top, tops.back() + STORY_PARAGRAPH_STEP);
        for (int line = 0; line < lines_per_paragraph[p]; ++line)
            tops.push_back(top + STORY_LINE_SPACING * line);
    }
    return tops;
}
