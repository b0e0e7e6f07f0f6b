// The names and rooms of the player's texts.
#include "game/play/text_keys.h"

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
    {TextKey::story_start_touch, "story.start_touch", CENTRED_ROOM},
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
    {TextKey::key_escape, "key.escape", KEY_NAME_ROOM},
    {TextKey::key_backspace, "key.backspace", KEY_NAME_ROOM},
    {TextKey::key_tab, "key.tab", KEY_NAME_ROOM},
    {TextKey::key_left_ctrl, "key.left_ctrl", KEY_NAME_ROOM},
    {TextKey::key_right_ctrl, "key.right_ctrl", KEY_NAME_ROOM},
    {TextKey::key_left_shift, "key.left_shift", KEY_NAME_ROOM},
    {TextKey::key_right_shift, "key.right_shift", KEY_NAME_ROOM},
    {TextKey::key_alt, "key.alt", KEY_NAME_ROOM},
    {TextKey::key_alt_gr, "key.alt_gr", KEY_NAME_ROOM},
    {TextKey::key_caps_lock, "key.caps_lock", KEY_NAME_ROOM},
    {TextKey::key_page_up, "key.page_up", KEY_NAME_ROOM},
    {TextKey::key_page_down, "key.page_down", KEY_NAME_ROOM},
    {TextKey::key_home, "key.home", KEY_NAME_ROOM},
    {TextKey::key_end, "key.end", KEY_NAME_ROOM},
    {TextKey::key_insert, "key.insert", KEY_NAME_ROOM},
    {TextKey::key_delete, "key.delete", KEY_NAME_ROOM},
    {TextKey::options_title, "options.title", CENTRED_ROOM},
    {TextKey::options_music, "options.music", OPTIONS_LABEL_ROOM},
    {TextKey::options_effects, "options.effects", OPTIONS_LABEL_ROOM},
    {TextKey::options_display, "options.display", OPTIONS_LABEL_ROOM},
    {TextKey::options_fit, "options.fit", OPTIONS_LABEL_ROOM},
    {TextKey::options_language, "options.language", OPTIONS_LABEL_ROOM},
    {TextKey::options_assists, "options.assists", OPTIONS_LABEL_ROOM},
    {TextKey::options_results, "options.results", OPTIONS_LABEL_ROOM},
    {TextKey::options_back, "options.back", OPTIONS_LABEL_ROOM},
    {TextKey::options_full_screen, "options.full_screen", OPTIONS_VALUE_ROOM},
    {TextKey::options_window, "options.window", OPTIONS_VALUE_ROOM},
    {TextKey::options_fill, "options.fill", OPTIONS_VALUE_ROOM},
    {TextKey::options_whole_pixels, "options.whole_pixels", OPTIONS_VALUE_ROOM},
    {TextKey::options_system_language, "options.system_language", OPTIONS_VALUE_ROOM},
    {TextKey::options_not_kept_full, "options.not_kept_full", CENTRED_ROOM},
    {TextKey::options_not_kept_read_only, "options.not_kept_read_only", CENTRED_ROOM},
    {TextKey::options_not_kept_refused, "options.not_kept_refused", CENTRED_ROOM},
    {TextKey::options_not_kept, "options.not_kept", CENTRED_ROOM},
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
    {TextKey::end_results_hint, "end.results_hint", CENTRED_ROOM},
    {TextKey::end_not_kept_full, "end.not_kept_full", CENTRED_ROOM},
    {TextKey::end_not_kept_read_only, "end.not_kept_read_only", CENTRED_ROOM},
    {TextKey::end_not_kept_refused, "end.not_kept_refused", CENTRED_ROOM},
    {TextKey::end_not_kept, "end.not_kept", CENTRED_ROOM},
    {TextKey::watch_banner, "watch.banner", CENTRED_ROOM},
    {TextKey::watch_checked, "watch.checked", CREDIT_ROOM},
    {TextKey::watch_not_checked, "watch.not_checked", CREDIT_ROOM},
    {TextKey::watch_link_letters, "watch.link_letters", CREDIT_ROOM},
    {TextKey::watch_link_damaged, "watch.link_damaged", CREDIT_ROOM},
    {TextKey::watch_too_long, "watch.too_long", CREDIT_ROOM},
    {TextKey::watch_unreadable, "watch.unreadable", CREDIT_ROOM},
    {TextKey::watch_unknown_rule, "watch.unknown_rule", CREDIT_ROOM},
    {TextKey::results_title, "results.title", CENTRED_ROOM},
    {TextKey::results_time, "results.time", RESULTS_ROOMS.time},
    {TextKey::results_lives, "results.lives", RESULTS_ROOMS.lives},
    {TextKey::results_score, "results.score", RESULTS_ROOMS.score},
    {TextKey::results_date, "results.date", RESULTS_ROOMS.date},
    {TextKey::results_assists, "results.assists", RESULTS_ROOMS.assists},
    {TextKey::results_standard, "results.standard", RESULTS_ROOMS.table},
    {TextKey::results_assisted, "results.assisted", RESULTS_ROOMS.table},
    {TextKey::results_none, "results.none", RESULTS_ROOMS.table},
    {TextKey::results_no_time_limit, "results.no_time_limit", RESULTS_ROOMS.time_limit},
    {TextKey::results_lives_letter, "results.lives_letter", RESULTS_ROOMS.lives_letter},
    {TextKey::results_unlimited_lives, "results.unlimited_lives", RESULTS_ROOMS.lives_rule},
    {TextKey::results_safe_falls, "results.safe_falls", RESULTS_ROOMS.safe_falls},
    {TextKey::results_legend, "results.legend", CENTRED_ROOM},
    {TextKey::results_hint, "results.hint", CENTRED_ROOM},
    {TextKey::results_share_hint, "results.share_hint", CENTRED_ROOM},
    {TextKey::results_shared, "results.shared", CREDIT_ROOM},
    {TextKey::demo_banner, "demo.banner", CENTRED_ROOM},
};
static_assert(std::size(TEXT_KEYS) == std::size_t(TEXT_KEY_COUNT), "a text key without its name");

constexpr bool keys_in_order()
{
    for (std::size_t i = 0; i < std::size(TEXT_KEYS); ++i)
        if (TEXT_KEYS[i].key != TextKey(i)) return false;
    return true;
}
static_assert(keys_in_order(), "TEXT_KEYS must follow TextKey's order");

}   // namespace

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
