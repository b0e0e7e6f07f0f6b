/*
 * gamepad_touch_web.cpp - what the browser page's touch controls call
 * (web/page.js, through Module._snowbelter_...): the controls are a pad of
 * their own (gamepad.h: set_touch_action), and the page asks whether the
 * game waits for a keyboard key, which a touch-only player cannot give.
 *
 * Needs: Emscripten (the build compiles this file for the browser only; the
 * page's link names the exports, so they are kept).
 */
#include <emscripten/emscripten.h>

#include "media/gamepad.h"

extern "C" {

// Holds (held 1) or lets go of a PadAction, by its number.
EMSCRIPTEN_KEEPALIVE void snowbelter_touch(int action, int held)
{
    if (action < 0 || action >= PAD_ACTION_COUNT) return;
    set_touch_action(PadAction(action), held != 0);
}

// A finger touched the page: the player plays by touch until a key or a pad
// is used (the menu then names no keys).
EMSCRIPTEN_KEEPALIVE void snowbelter_touched()
{
    note_input_kind(InputKind::touch);
}

// 1 while a screen waits for a keyboard key (pads and touches hold nothing).
EMSCRIPTEN_KEEPALIVE int snowbelter_keyboard_wanted()
{
    return pad_keys_enabled() ? 0 : 1;
}

// The player has no keyboard: the waiting screen stops waiting.
EMSCRIPTEN_KEEPALIVE void snowbelter_give_up_key_wait()
{
    cancel_keyboard_wait();
}

}   // extern "C"
