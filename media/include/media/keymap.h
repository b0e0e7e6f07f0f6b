/*
 * keymap.h - the one table from SDL's physical key positions to the game's
 * key codes.
 *
 * A key code is the keyboard scan code in DirectInput numbering (1 Escape,
 * 28 Enter, 57 Space, 200 Up...).  Letters go by position, not by label: code
 * 16 is the key left of W whatever the layout prints on it, code 21 the key
 * between T and U (Y on a US keyboard, Z on a German one), code 44 the key
 * right of left Shift.
 *
 * Callers: input.cpp, which fills the 256-byte key state from SDL's key array
 * through this table and asks it which SDL key a code stands for; the frame
 * cycle, the game and tests for the names of the codes they read.
 * Not for: the key state itself or characters (input.h).
 */
#pragma once

constexpr int KEY_CODE_COUNT = 256;

// The codes the runtime, the game and its tests name: plain key codes
// wherever a code is taken, so the enumeration is not scoped.
enum KeyCode : int {
    KEY_ESCAPE = 1,
    KEY_BACKSPACE = 14,
    KEY_TAB = 15,
    KEY_ENTER = 28,
    KEY_S = 31,
    KEY_LEFT_CTRL = 29,
    KEY_LEFT_SHIFT = 42,
    KEY_RIGHT_SHIFT = 54,
    KEY_LEFT_ALT = 56,
    KEY_SPACE = 57,
    KEY_CAPS_LOCK = 58,
    KEY_F4 = 62,
    KEY_F11 = 87,
    KEY_ESCAPE_ALT = 129,   // no key; the quit keys also honour it
    KEY_PAD_ENTER = 156,
    KEY_RIGHT_CTRL = 157,
    KEY_RIGHT_ALT = 184,
    KEY_HOME = 199,
    KEY_CURSOR_UP = 200,
    KEY_PAGE_UP = 201,
    KEY_CURSOR_LEFT = 203,
    KEY_CURSOR_RIGHT = 205,
    KEY_END = 207,
    KEY_CURSOR_DOWN = 208,
    KEY_PAGE_DOWN = 209,
    KEY_INSERT = 210,
    KEY_DELETE = 211,
};
constexpr unsigned char KEY_DOWN_BIT = 0x80;   // set in a key state byte while down

struct KeyMapping {
    int code;       // game key code, 1 to 255
    int scancode;   // SDL_Scancode value
};

// Every mapping, in key-code order.  A code may appear more than once when
// SDL reports one physical key under two scancodes.
extern const KeyMapping KEY_MAPPINGS[];
extern const int KEY_MAPPING_COUNT;

// The key code of an SDL scancode, or 0 when the table has none.
int key_code_for_scancode(int scancode);

// The first SDL scancode the table gives a key code, or 0
// (SDL_SCANCODE_UNKNOWN) when the code stands for no key.
int scancode_for_key_code(int code);

// Fills state (one byte per key code) from SDL's pressed-key array of count
// entries: KEY_DOWN_BIT for every key code whose key is pressed, 0 for the
// rest.
void key_state_from_scancodes(const unsigned char* pressed, int count,
                              unsigned char state[KEY_CODE_COUNT]);
