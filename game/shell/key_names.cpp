// The key-name table by scan code, and the few names read in the player's
// language.
#include "game/shell/key_names.h"

#include "game/play/texts.h"
#include "media/keymap.h"

NumberArray key_codes;

namespace {

struct KeyName {
    int code;
    const char* name;
};

// Names by scan code; 255 is what the key screen shows while it waits.
// Laid out by hand as a table.
// clang-format off
constexpr KeyName KEY_NAME_TABLE[] = {
    {1, "ESC"}, {2, "1"}, {3, "2"}, {4, "3"}, {5, "4"}, {6, "5"}, {7, "6"}, {8, "7"},
    {9, "8"}, {10, "9"}, {11, "0"}, {12, "-"}, {13, "="}, {14, "BACKSPACE"}, {15, "TAB"},
    {16, "Q"}, {17, "W"}, {18, "E"}, {19, "R"}, {20, "T"}, {21, "Y"}, {22, "U"}, {23, "I"},
    {24, "O"}, {25, "P"}, {26, "["}, {27, "]"}, {28, "ENTER"}, {29, "LEFT CTRL"}, {30, "A"},
    {31, "S"}, {32, "D"}, {33, "F"}, {34, "G"}, {35, "H"}, {36, "J"}, {37, "K"}, {38, "L"},
    {39, ";"}, {40, "'"}, {41, "'"}, {42, "LEFT SHIFT"}, {43, "#"}, {44, "Z"}, {45, "X"},
    {46, "C"}, {47, "V"}, {48, "B"}, {49, "N"}, {50, "M"}, {51, ","}, {52, "."}, {53, "/"},
    {54, "RIGHT SHIFT"}, {55, "* NUMPAD"}, {56, "ALT"}, {57, "SPACE"}, {58, "CAPS"},
    {59, "F1"}, {60, "F2"}, {61, "F3"}, {62, "F4"}, {63, "F5"}, {64, "F6"}, {65, "F7"},
    {66, "F8"}, {67, "F9"}, {68, "F10"}, {69, "NUM LOCK"}, {70, "SCROLL LOCK"},
    {71, "7 NUMPAD"}, {72, "8 NUMPAD"}, {73, "9 NUMPAD"}, {74, "- NUMPAD"}, {75, "4 NUMPAD"},
    {76, "5 NUMPAD"}, {77, "6 NUMPAD"}, {78, "+ NUMPAD"}, {79, "1 NUMPAD"}, {80, "2 NUMPAD"},
    {81, "3 NUMPAD"}, {82, "0 NUMPAD"}, {83, "DEL NUMPAD"}, {86, "\\"}, {87, "F11"},
    {88, "F12"}, {156, "ENTER NUMPAD"}, {157, "RIGHT CTRL"}, {181, "/ NUMPAD"},
    {183, "PRINT SCREEN"}, {184, "ALT GR"}, {197, "PAUSE BREAK"}, {199, "HOME"},
    {200, "CURSOR UP"}, {201, "PAGE UP"}, {203, "CURSOR LEFT"}, {205, "CURSOR RIGHT"},
    {207, "END"}, {208, "CURSOR DOWN"}, {209, "PAGE DOWN"}, {210, "INSERT"}, {211, "DELETE"},
    {255, "???"},
};
// clang-format on

// The keys whose names the player reads in their own language: every key
// named in words; letters, digits, signs and function keys read alike.
struct ShownKeyName {
    int code;
    TextKey text;
};
constexpr ShownKeyName SHOWN_KEY_NAMES[] = {
    {KEY_SPACE, TextKey::key_space},
    {KEY_ENTER, TextKey::key_enter},
    {KEY_CURSOR_UP, TextKey::key_cursor_up},
    {KEY_CURSOR_DOWN, TextKey::key_cursor_down},
    {KEY_CURSOR_LEFT, TextKey::key_cursor_left},
    {KEY_CURSOR_RIGHT, TextKey::key_cursor_right},
    {KEY_ESCAPE, TextKey::key_escape},
    {KEY_BACKSPACE, TextKey::key_backspace},
    {KEY_TAB, TextKey::key_tab},
    {KEY_LEFT_CTRL, TextKey::key_left_ctrl},
    {KEY_RIGHT_CTRL, TextKey::key_right_ctrl},
    {KEY_LEFT_SHIFT, TextKey::key_left_shift},
    {KEY_RIGHT_SHIFT, TextKey::key_right_shift},
    {KEY_LEFT_ALT, TextKey::key_alt},
    {KEY_RIGHT_ALT, TextKey::key_alt_gr},
    {KEY_CAPS_LOCK, TextKey::key_caps_lock},
    {KEY_PAGE_UP, TextKey::key_page_up},
    {KEY_PAGE_DOWN, TextKey::key_page_down},
    {KEY_HOME, TextKey::key_home},
    {KEY_END, TextKey::key_end},
    {KEY_INSERT, TextKey::key_insert},
    {KEY_DELETE, TextKey::key_delete},
};

}   // namespace

const char* key_table_name(double code)
{
    if (!(code >= 0 && code < KEY_NAME_COUNT)) return "";
    const int whole = static_cast<int>(code);
    for (const KeyName& entry : KEY_NAME_TABLE)
        if (entry.code == whole) return entry.name;
    return "";
}

const char* key_shown_name(double code)
{
    for (const ShownKeyName& entry : SHOWN_KEY_NAMES)
        if (code >= 0 && int(code) == entry.code) return text_for(entry.text).c_str();
    return key_table_name(code);
}
