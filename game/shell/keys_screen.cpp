// The key redefinition screen, one frame at a time.
#include "game/shell/keys_screen.h"

#include "core/numbers.h"
#include "game/media_ids.h"
#include "game/play/draw.h"
#include "game/play/scenery.h"
#include "game/play/text_rooms.h"
#include "game/play/texts.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/key_names.h"
#include "game/shell/settings.h"
#include "game/shell/shell_keys.h"
#include "media/gamepad.h"
#include "media/input.h"
#include "media/keymap.h"
#include "media/sprites.h"

KeysScreenState keys_screen;

namespace {

constexpr int TITLE_Y = 20;
constexpr int FIRST_ROW_Y = 60;
constexpr int HINT_Y = 218;
constexpr int CURSOR_X = 55;
// Scan codes the screen listens to while it waits for a key.
constexpr int SCANNED_KEY_COUNT = 256;

constexpr TextKey ROW_LABELS[BINDING_COUNT] = {TextKey::keys_up,   TextKey::keys_down,
                                               TextKey::keys_left, TextKey::keys_right,
                                               TextKey::keys_jump, TextKey::keys_pause};

double row_y(int row)
{
    return FIRST_ROW_Y + KEYS_ROW_SPACING * row;
}

void draw_labels()
{
    draw_text(KEYS_TITLE_ROOM.x, TITLE_Y, text_for(TextKey::keys_title).c_str());
    for (int row = 0; row < BINDING_COUNT; ++row)
        draw_text(KEYS_LABEL_ROOM.x, row_y(row), text_for(ROW_LABELS[row]).c_str());
}

void draw_key_names()
{
    for (int row = 0; row < BINDING_COUNT; ++row) {
        draw_text(KEY_NAME_ROOM.x, row_y(row), key_shown_name(key_codes.at(row)));
    }
}

int cursor_row()
{
    return to_int((keys_screen.cursor_y - KEYS_CURSOR_FIRST_Y) / KEYS_ROW_SPACING);
}

// While waiting the row shows "???"; the lowest-numbered key held once the
// cooldown is over is taken, Enter and Escape included.
void capture_key()
{
    int row = cursor_row();
    key_codes.at(row) = KEY_CODE_WAITING;
    for (int code = 0; code < SCANNED_KEY_COUNT; ++code) {
        if (key_free(code)) {
            key_codes.at(row) = code;
            keys_screen.selecting = false;
            screen_state.key_cooldown = KEYS_SCREEN_STEP_COOLDOWN;
        }
    }
}

void give_up_capture()
{
    key_codes.at(cursor_row()) = key_binding(cursor_row());
    keys_screen.selecting = false;
    screen_state.key_cooldown = KEYS_SCREEN_STEP_COOLDOWN;
}

void move_cursor()
{
    if (key_free(KEY_CURSOR_UP) && keys_screen.cursor_y > KEYS_CURSOR_FIRST_Y) {
        screen_state.key_cooldown = KEYS_SCREEN_STEP_COOLDOWN;
        keys_screen.cursor_y -= KEYS_ROW_SPACING;
    }
    if (key_free(KEY_CURSOR_DOWN) && keys_screen.cursor_y < KEYS_CURSOR_LAST_Y) {
        screen_state.key_cooldown = KEYS_SCREEN_STEP_COOLDOWN;
        keys_screen.cursor_y += KEYS_ROW_SPACING;
    }
}

void keys_screen_frame()
{
    if (key_down(KEY_ESCAPE)) keys_screen.done = true;
    update_snow();
    draw_snow();
    draw_labels();
    draw_key_names();
    draw_text(KEYS_HINT_ROOM.x, HINT_Y, text_for(TextKey::keys_hint).c_str());
    // Enter only starts a capture while browsing, so that an Enter still
    // held when the capture's cooldown ends is taken as the new key.
    if (!keys_screen.selecting && key_free(KEY_ENTER)) {
        keys_screen.selecting = true;
        screen_state.key_cooldown = KEYS_SCREEN_STEP_COOLDOWN;
    }
    // Bindings are keyboard keys: while a row waits, pads hold nothing.
    // A player with no keyboard can give up the wait: the row keeps its saved key.
    if (take_keyboard_wait_cancelled() && keys_screen.selecting) give_up_capture();
    set_pad_keys_enabled(!keys_screen.selecting);
    if (keys_screen.selecting) capture_key();
    draw_key_names();
    move_cursor();
    if (screen_state.key_cooldown > 0) screen_state.key_cooldown -= 1;
    draw_anim(ANIM_PUDDINGS, 0, CURSOR_X, to_int(keys_screen.cursor_y));
    finish_frame();
}

void copy_bindings()
{
    for (int i = 0; i < BINDING_COUNT; ++i) key_binding(i) = key_codes.at(i);
}

}   // namespace

void redefine_keys()
{
    screen_state.current = Screen::keys;
    screen_state.key_cooldown = KEYS_SCREEN_OPEN_COOLDOWN;
    keys_screen = KeysScreenState{KEYS_CURSOR_FIRST_Y, false, false};
    while (!keys_screen.done && !screens_closing()) keys_screen_frame();
    set_pad_keys_enabled(true);
    copy_bindings();
    save_settings();
}
