/*
 * input.h - the input object: keyboard state, mouse, joysticks, typed keys.
 *
 * Owns the 256-byte key state (one byte per key code in DirectInput
 * numbering, bit 7 set while the key is down), the stored mouse position and
 * cursor state, the open joysticks and the last character read_char gave.
 *
 * The key state changes only when polled, and the real keyboard is polled
 * only while the game window has the keyboard focus: otherwise the last
 * state stays.  A key source replaces the keyboard (set_key_source): the
 * engine's start-up installs the one the game's table gives, so recorded
 * play, the replay runner and tests script their keys.
 *
 * Callers: start-up and shut-down (input_init, set_key_source,
 * input_shutdown), the frame cycle (poll_keyboard once per frame,
 * input_handle_event from its event pump, show_mouse_cursor), set_screen
 * (show_mouse_cursor again), and the game (key_down).  Not for: window focus and pausing (frame.h) or the
 * scancode table itself (keymap.h).
 */
#pragma once

#include <cstdint>

#include "media/keymap.h"   // KEY_CODE_COUNT, KEY_DOWN_BIT

union SDL_Event;

// Start-up, once the window exists.  want_mouse: the game asked for the
// mouse as its own device (exclusive input), so a hidden cursor moves the
// stored position by the mouse's movement.  Opens the attached joysticks.
void input_init(bool want_mouse);

// Shut-down: closes the joysticks and forgets the key state.
void input_shutdown();

// Every input-related event of the frame cycle's pump comes here (mouse
// movement and wheel, joystick arrival and removal); others are ignored.
void input_handle_event(const SDL_Event& event);

// A replacement keyboard.  While set, poll_keyboard clears the key state and
// calls fill with it; fill sets KEY_DOWN_BIT in the bytes of the keys it
// holds down and answers true, and then the state is fill's whether or not
// the window has the focus (a scripted keyboard has no focus to lose).  When
// fill answers false, or none is set, the player's keys are read.  Returns
// the source it replaces (a watched replay hands it back when it ends).
using KeySource = bool (*)(unsigned char state[KEY_CODE_COUNT]);
KeySource set_key_source(KeySource fill);

// Refreshes the key state (see above) and marks a mouse movement as due.
// Alt+Enter and F11 belong to the window: the press asks for a switch
// between window and full screen, and the key reads as up until released.
void poll_keyboard();

// The key reads as up from the next poll until it is seen let go: a key
// that ended something (a watched replay's Escape) never reaches the screen
// that comes after.  (The toggle keys above are hidden the same way.)
void hide_key_until_let_go(int code);
// What the player holds now: the keyboard (as it last was while the window
// had the keyboard focus) and the keys the pads hold (gamepad.h).  Key
// sources that record or pass on real play read it too.
void read_player_keys(unsigned char state[KEY_CODE_COUNT]);

// Whether a switch between window and full screen was asked for since the
// last call (the frame cycle carries it out).
bool take_display_toggle_request();
// Asks for that switch as F11 does (the options screen's Display row).
void ask_display_toggle();

// 1 while the key (low 8 bits of code) is down, else 0.  Polls first.
int key_down(int code);

// The same answer from the state last polled, without polling (the frame
// cycle's quit keys read the state its own poll just took).
int key_held(int code);
// Whether any key (a pad's or a touch control's among them) is down in the
// state last polled.
bool any_key_held();

// The character of a newly pressed key, or 0.  Polls, takes the first key
// down (lowest code) and gives its character in the current keyboard
// layout: Backspace 8, either Enter 10, modifiers and keys without a
// printable character 0; a letter is upper case while a Shift key is down.
// A held key yields its character once: a call that finds the same
// character as the previous call (ignoring case) returns 0.
int read_char();

// The stored mouse position clamped to the screen, and the left and right
// buttons as 0 or 1.  A visible cursor puts the position where the system
// cursor points (in screen pixels of the game's picture); a hidden one adds
// the mouse's movement since the last due movement.
void mouse_state(double* x, double* y, double* left, double* right);

// The wheel movement of the last mouse_state that applied a movement:
// -1, 0 or 1.
int mouse_wheel();

// Sets the stored mouse position (truncated toward zero).
void set_mouse(double x, double y);

// 1 if the left, right or middle button is down.
int any_mouse_button();

// Shows (nonzero) or hides the system cursor over the game window.  Showing
// a cursor that was hidden moves it to the stored position.
void show_mouse_cursor(double flag);
bool mouse_cursor_visible();

// A joystick's state in the runtime's fixed 80-byte layout: axes in 0..65535
// (32768 centred), points of view in hundredths of a degree clockwise from
// up (0xFFFFFFFF centred or absent), buttons 0x80 while pressed.
struct JoystickState {
    int32_t x, y, z;
    int32_t rx, ry, rz;
    int32_t sliders[2];
    uint32_t pov[4];
    uint8_t buttons[32];
};

// Fills *state for the joystick at index (0 = first attached); all zero when
// there is none.
void joystick_state(int index, JoystickState* state);
int joystick_count();
// The joystick's name, or "" when there is none at that index.
const char* joystick_name(int index);
