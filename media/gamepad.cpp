/*
 * gamepad.cpp - SDL game controllers as held keys.
 *
 * Needs: SDL2's game controller API; paths.h for the player's mapping file.
 */
#include "media/gamepad.h"

#include <SDL.h>
#include <algorithm>
#include <iterator>
#include <vector>

#include "core/log.h"
#include "core/paths.h"

namespace {

struct GamepadState {
    bool subsystem = false;
    std::vector<SDL_GameController*> pads;
    int (*key_for)(PadAction, int) = nullptr;
    bool enabled = true;
    bool last_removed = false;
    bool wait_cancelled = false;
    bool touch_held[PAD_ACTION_COUNT] = {};
    InputKind last_kind = InputKind::keyboard;
};
GamepadState gamepads;

void open_pad(int device_index)
{
    if (!SDL_IsGameController(device_index)) return;
    SDL_GameController* pad = SDL_GameControllerOpen(device_index);
    if (!pad) return;
    if (std::find(gamepads.pads.begin(), gamepads.pads.end(), pad) != gamepads.pads.end()) {
        SDL_GameControllerClose(pad);   // opened twice: SDL counts references
        return;
    }
    gamepads.pads.push_back(pad);
    log_line((std::string("Gamepad: ") + SDL_GameControllerName(pad)).c_str());
}

void close_pad(SDL_JoystickID id)
{
    SDL_GameController* pad = SDL_GameControllerFromInstanceID(id);
    auto found = std::find(gamepads.pads.begin(), gamepads.pads.end(), pad);
    if (!pad || found == gamepads.pads.end()) return;
    SDL_GameControllerClose(pad);
    gamepads.pads.erase(found);
    if (gamepads.pads.empty()) gamepads.last_removed = true;
}

void load_player_mappings()
{
    std::string folder = config_folder();
    if (folder.empty()) return;
    std::string path = folder + "gamecontrollerdb.txt";
    if (SDL_GameControllerAddMappingsFromFile(path.c_str()) > 0)
        log_line(("Gamepad mappings read from " + path).c_str());
}

bool button(SDL_GameController* pad, SDL_GameControllerButton which)
{
    return SDL_GameControllerGetButton(pad, which) != 0;
}

int stick(SDL_GameController* pad, SDL_GameControllerAxis which)
{
    return SDL_GameControllerGetAxis(pad, which);
}

// The actions one pad holds now, by PadAction.
void actions_of(SDL_GameController* pad, bool held[PAD_ACTION_COUNT])
{
    const int x = stick(pad, SDL_CONTROLLER_AXIS_LEFTX), y = stick(pad, SDL_CONTROLLER_AXIS_LEFTY);
    held[int(PadAction::up)] |=
        button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP) || y < -PAD_STICK_DEAD_ZONE;
    held[int(PadAction::down)] |=
        button(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN) || y > PAD_STICK_DEAD_ZONE;
    held[int(PadAction::left)] |=
        button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT) || x < -PAD_STICK_DEAD_ZONE;
    held[int(PadAction::right)] |=
        button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT) || x > PAD_STICK_DEAD_ZONE;
    held[int(PadAction::jump)] |= button(pad, SDL_CONTROLLER_BUTTON_A);
    held[int(PadAction::pause)] |= button(pad, SDL_CONTROLLER_BUTTON_START);
    held[int(PadAction::back)] |= button(pad, SDL_CONTROLLER_BUTTON_BACK);
}

}   // namespace

void gamepad_init()
{
    gamepads = GamepadState{};
    gamepads.subsystem = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!gamepads.subsystem) return;
    load_player_mappings();
    for (int i = 0; i < SDL_NumJoysticks(); ++i) open_pad(i);
}

void gamepad_shutdown()
{
    for (SDL_GameController* pad : gamepads.pads) SDL_GameControllerClose(pad);
    gamepads.pads.clear();
    if (gamepads.subsystem) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    gamepads.subsystem = false;
}

void gamepad_handle_event(const SDL_Event& event)
{
    if (!gamepads.subsystem) return;
    if (event.type == SDL_CONTROLLERDEVICEADDED) open_pad(event.cdevice.which);
    if (event.type == SDL_CONTROLLERDEVICEREMOVED) close_pad(event.cdevice.which);
}

void set_pad_action_keys(int (*key_for)(PadAction action, int which))
{
    gamepads.key_for = key_for;
}

void set_pad_keys_enabled(bool enabled)
{
    gamepads.enabled = enabled;
}

bool pad_keys_enabled()
{
    return gamepads.enabled;
}

void cancel_keyboard_wait()
{
    gamepads.wait_cancelled = true;
}

bool take_keyboard_wait_cancelled()
{
    bool cancelled = gamepads.wait_cancelled;
    gamepads.wait_cancelled = false;
    return cancelled;
}

void set_touch_action(PadAction action, bool held)
{
    gamepads.touch_held[int(action)] = held;
}

bool any_held(const bool held[PAD_ACTION_COUNT])
{
    return std::any_of(held, held + PAD_ACTION_COUNT, [](bool on) { return on; });
}

void merge_pad_keys(unsigned char state[KEY_CODE_COUNT])
{
    if (!gamepads.key_for || !gamepads.enabled) return;
    bool held[PAD_ACTION_COUNT];
    std::copy(std::begin(gamepads.touch_held), std::end(gamepads.touch_held), held);
    if (any_held(held)) note_input_kind(InputKind::touch);
    bool pad_held[PAD_ACTION_COUNT] = {};
    for (SDL_GameController* pad : gamepads.pads) actions_of(pad, pad_held);
    if (any_held(pad_held)) note_input_kind(InputKind::pad);
    for (int action = 0; action < PAD_ACTION_COUNT; ++action) held[action] |= pad_held[action];
    for (int action = 0; action < PAD_ACTION_COUNT; ++action) {
        if (!held[action]) continue;
        for (int which = 0; which < PAD_KEYS_PER_ACTION; ++which) {
            int code = gamepads.key_for(PadAction(action), which);
            if (code > 0 && code < KEY_CODE_COUNT) state[code] = KEY_DOWN_BIT;
        }
    }
}

InputKind last_input_kind()
{
    return gamepads.last_kind;
}

void note_input_kind(InputKind kind)
{
    gamepads.last_kind = kind;
}

bool any_pad_button()
{
    for (SDL_GameController* pad : gamepads.pads)
        for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
            if (button(pad, SDL_GameControllerButton(b))) return true;
    return false;
}

int pad_count()
{
    return static_cast<int>(gamepads.pads.size());
}

bool take_last_pad_removed()
{
    bool removed = gamepads.last_removed;
    gamepads.last_removed = false;
    return removed;
}
