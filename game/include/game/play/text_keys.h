/*
 * text_keys.h - the name of every text the player reads, and the room it
 * has on its screen (text_rooms.h).  The build's check of the language
 * tables (tools/langcheck) measures every text of every language against
 * the same rooms the screens draw in, so a translation that would run off
 * its line stops the build instead.
 *
 * Pure: no drawing.  Callers: the screens (through texts.h), the language
 * tables (language_table.h), langcheck, tests.  Not for: the words
 * themselves (assets/lang/<code>.txt), choosing a language (texts.h), the
 * placeholders in them (placeholders.h) or the story's layout
 * (story_layout.h).
 */
#pragma once

#include <string>

#include "game/play/text_rooms.h"

enum class TextKey {
    language_name,
    story_title,
    story_1,
    story_2,
    story_3,
    story_4,
    story_start,
    story_start_touch,
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
    key_escape,
    key_backspace,
    key_tab,
    key_left_ctrl,
    key_right_ctrl,
    key_left_shift,
    key_right_shift,
    key_alt,
    key_alt_gr,
    key_caps_lock,
    key_page_up,
    key_page_down,
    key_home,
    key_end,
    key_insert,
    key_delete,
    options_title,
    options_music,
    options_effects,
    options_display,
    options_fit,
    options_language,
    options_assists,
    options_results,
    options_back,
    options_full_screen,
    options_window,
    options_fill,
    options_whole_pixels,
    options_system_language,
    options_not_kept_full,
    options_not_kept_read_only,
    options_not_kept_refused,
    options_not_kept,
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
    end_results_hint,
    end_not_kept_full,
    end_not_kept_read_only,
    end_not_kept_refused,
    end_not_kept,
    watch_banner,
    watch_checked,
    watch_not_checked,
    watch_link_letters,
    watch_link_damaged,
    watch_too_long,
    watch_unreadable,
    watch_unknown_rule,
    results_title,
    results_time,
    results_lives,
    results_score,
    results_date,
    results_assists,
    results_standard,
    results_assisted,
    results_none,
    results_no_time_limit,
    results_lives_letter,
    results_unlimited_lives,
    results_safe_falls,
    results_legend,
    results_hint,
    results_share_hint,
    results_shared,
    demo_banner,
};
constexpr int TEXT_KEY_COUNT = int(TextKey::demo_banner) + 1;

// A key's name in the tables ("menu.start") and its room.
struct TextKeyInfo {
    TextKey key;
    const char* name;
    TextRoom room;
};
const TextKeyInfo& text_key_info(TextKey key);

// The key of a name; false when no text has that name.
bool text_key_named(const std::string& name, TextKey* key);
