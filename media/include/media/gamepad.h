/*
 * gamepad.h - game controllers, merged into the key state as the keys the
 * player bound.
 *
 * Owns the open pads (SDL's game controller layout and mapping database,
 * plus the player's own mappings in the config folder's
 * gamecontrollerdb.txt and SDL_GAMECONTROLLERCONFIG), pads plugged in and
 * pulled out while the game runs, and the dead zone of the sticks.  A pad
 * drives actions, not fixed keys: while its D-pad or left stick points up,
 * the key bound to "up" reads as held, and so on; south (A / Cross) holds
 * the jump key, Start the pause key, Back / Select the back key.  The game
 * says which keys each action holds (its table's entry, which the engine's
 * start-up hands to set_pad_action_keys), so a player who moved jump to W
 * still jumps with A, and the game's code reads keys only.
 *
 * The browser page's touch controls are one more pad: set_touch_action
 * holds an action as a pad's button would, through the same bound keys,
 * plus start (Enter), which a pad has no button for.
 *
 * Callers: input.cpp (start-up, events, the player's key state), the
 * engine's start-up (the action keys), the game (the key screen, the round's
 * pause on a pulled pad),
 * gamepad_touch_web.cpp (the page's touch controls).
 * Not for: the raw joystick state (input.h: joystick_state).
 */
#pragma once

#include "media/keymap.h"

union SDL_Event;

enum class PadAction {
    up,
    down,
    left,
    right,
    jump,
    pause,
    back,
    start
};
constexpr int PAD_ACTION_COUNT = 8;

// A stick counts as pointing once it leaves this much of its travel.
constexpr int PAD_STICK_DEAD_ZONE = 32767 / 3;

// Start-up and shut-down, from the input module.
void gamepad_init();
void gamepad_shutdown();

// Pads plugged in and pulled out (other events are ignored).
void gamepad_handle_event(const SDL_Event& event);

// The keys an action holds: key_for(action, 0) and key_for(action, 1), each
// a key code or 0 for none (the game gives the bound key and the fixed key
// its menus read).  Null (the default) means no pad keys at all.
constexpr int PAD_KEYS_PER_ACTION = 2;
void set_pad_action_keys(int (*key_for)(PadAction action, int which));

// Off while a screen waits for a keyboard key to bind: pads then hold nothing.
void set_pad_keys_enabled(bool enabled);
bool pad_keys_enabled();

// A player with no keyboard gives up the wait for a key (the page's Back
// while pads are off); the waiting screen takes it once.
void cancel_keyboard_wait();
bool take_keyboard_wait_cancelled();

// The touch controls' actions, held until released.
void set_touch_action(PadAction action, bool held);

// Sets KEY_DOWN_BIT in state for the key of every action a pad holds now.
void merge_pad_keys(unsigned char state[KEY_CODE_COUNT]);

int pad_count();

// Whether any button of any pad is down now, whether or not it holds an
// action (the menu's demo ends on any button).
bool any_pad_button();

// What the player last used: the keyboard (assumed until a pad or a touch
// is used), a pad or the touch controls.  read_player_keys notes it.
enum class InputKind {
    keyboard,
    pad,
    touch
};
InputKind last_input_kind();
void note_input_kind(InputKind kind);

// Whether the last pad was pulled out since the last call.
bool take_last_pad_removed();
