/*
 * text_rooms.h - the room each text has on its screen: where it starts, how
 * wide it may grow, or that it is centred.  The screens take their texts'
 * places from these rooms, and the build's check of the language tables
 * measures every translation against the same ones.
 *
 * Pure constants.  Callers: the screens that draw words, the text keys
 * (text_keys.h), the placeholders' widest values, langcheck.  Not for: the
 * texts themselves (text_keys.h, texts.h).
 */
#pragma once

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
// The Best results page's columns: each heading up to the next column, the
// assists as four short values side by side (speed "50%" first, drawn by the
// page at the assists' x), the table's headings and its empty line.
struct ResultsRooms {
    TextRoom table, time, lives, score, date, assists;
    TextRoom time_limit;     // "450s" or none
    TextRoom lives_rule;     // "9L" or unlimited
    TextRoom lives_letter;   // after the number
    TextRoom safe_falls;
};
constexpr ResultsRooms RESULTS_ROOMS = {
    {10, 200, false}, {22, 40, false},  {64, 36, false},  {102, 44, false}, {148, 70, false},
    {232, 88, false}, {256, 28, false}, {288, 14, false}, {295, 7, false},  {305, 15, false},
};
// The status line's labels end a few pixels before their numbers.
constexpr TextRoom SCORE_LABEL_ROOM = {10, 46, false};
constexpr TextRoom TIME_LABEL_ROOM = {140, 36, false};
constexpr TextRoom LIVES_LABEL_ROOM = {245, 45, false};
constexpr TextRoom GAME_OVER_ROOM = {80, 220, false};
