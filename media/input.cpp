/*
 * input.cpp - keyboard, mouse and joysticks over SDL.
 *
 * Needs: SDL's keyboard array, mouse and joystick calls; keymap.h for the
 * key codes; window.h for the game window and where its picture lands;
 * renderer.h for the screen size; log.h for missing devices.
 */
#include "media/input.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "core/log.h"
#include "media/gamepad.h"
#include "media/keymap.h"
#include "media/renderer.h"
#include "media/screen_picture.h"

namespace {

// Keys that give a fixed character, or none, whatever the layout says.
const int KEYS_WITHOUT_CHARACTER[] = {29, 42, 54, 56, 58, 69, 221};
const int CHAR_BACKSPACE = 8;
const int CHAR_LINE_FEED = 10;
const int READ_CHAR_LAST_CODE = 254;

const size_t JOYSTICK_NAME_MAX = 521;
const int AXIS_CENTRE = 32768;
const uint32_t POV_CENTRED = 0xFFFFFFFFu;
static_assert(sizeof(JoystickState) == 80, "a joystick state is 80 bytes");

struct OpenJoystick {
    SDL_Joystick* handle;
    SDL_JoystickID id;
    std::string name;
};

struct MouseState {
    int x = 0, y = 0;   // game screen pixels
    bool cursor_visible = true;
    bool movement_due = false;
    double pending_dx = 0, pending_dy = 0;   // window coordinates
    int pending_wheel = 0;
    int wheel = 0;
};

// The keys that switch between window and full screen: with Alt held, or
// (F11) alone.  They belong to the window, never to the game.
constexpr int DISPLAY_TOGGLE_KEYS[] = {KEY_ENTER, KEY_PAD_ENTER, KEY_F11};

struct InputState {
    unsigned char keys[KEY_CODE_COUNT] = {};
    unsigned char keyboard[KEY_CODE_COUNT] = {};   // the real keyboard as last read
    bool taken[KEY_CODE_COUNT] = {};               // toggle keys hidden until released
    bool display_toggle_asked = false;
    int last_char = 0;
    MouseState mouse;
    std::vector<OpenJoystick> joysticks;
    bool joystick_subsystem = false;
};
InputState input;

// Kept apart from InputState: a replay runner installs its keyboard before
// start-up, and start-up must not forget it.
KeySource key_source = nullptr;

bool video_running()
{
    return SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

// Without the focus the keys stay as they were: the game must not see keys
// meant for another window.
void read_real_keyboard(unsigned char state[KEY_CODE_COUNT])
{
    if (SDL_GetKeyboardFocus() != screen_window()) return;
    int count = 0;
    const Uint8* pressed = SDL_GetKeyboardState(&count);
    key_state_from_scancodes(pressed, count, state);
}

bool state_down(int code)
{
    return (input.keys[code & 0xFF] & KEY_DOWN_BIT) != 0;
}

int to_ascii_upper(int ch)
{
    return ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch;
}

int to_ascii_lower(int ch)
{
    return ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch;
}

// The pad keys give their character whatever Num Lock says.
int keypad_char(SDL_Keycode key)
{
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return '1' + (key - SDLK_KP_1);
    switch (key) {
    case SDLK_KP_0: return '0';
    case SDLK_KP_PERIOD: return '.';
    case SDLK_KP_DIVIDE: return '/';
    case SDLK_KP_MULTIPLY: return '*';
    case SDLK_KP_MINUS: return '-';
    case SDLK_KP_PLUS: return '+';
    default: return 0;
    }
}

// The character a key types in the current layout, unshifted; 0 for keys
// that type none.  Characters are Latin-1, as the game's text is bytes.
int char_for_key(int code)
{
    if (code == KEY_BACKSPACE) return CHAR_BACKSPACE;
    if (code == KEY_ENTER || code == KEY_PAD_ENTER) return CHAR_LINE_FEED;
    for (int silent : KEYS_WITHOUT_CHARACTER)
        if (code == silent) return 0;
    SDL_Scancode scancode = static_cast<SDL_Scancode>(scancode_for_key_code(code));
    if (scancode == SDL_SCANCODE_UNKNOWN) return 0;
    SDL_Keycode key = SDL_GetKeyFromScancode(scancode);
    if (int pad = keypad_char(key)) return pad;
    bool printable = key >= ' ' && key <= 0xFF && key != 0x7F;
    return printable ? static_cast<int>(key) : 0;
}

int first_key_down()
{
    for (int code = 0; code <= READ_CHAR_LAST_CODE; ++code)
        if (state_down(code)) return code;
    return -1;
}

// The game's screen size; 0 by 0 before the renderer exists.
void screen_size(int* width, int* height)
{
    *width = *height = 0;
    if (renderer) get_screen_size(width, height);
}

// How window coordinates (SDL's mouse units) turn into game screen pixels:
// game = (window * pixels_per_unit - origin) * scale.  False without a
// window or screen.
struct WindowToScreen {
    double pixels_per_unit_x, pixels_per_unit_y;
    int origin_x, origin_y;
    double scale_x, scale_y;
};

bool window_to_screen(WindowToScreen* map)
{
    SDL_Window* window = screen_window();
    int screen_w, screen_h;
    screen_size(&screen_w, &screen_h);
    if (!window || screen_w <= 0 || screen_h <= 0) return false;
    int units_w = 0, units_h = 0, pixels_w = 0, pixels_h = 0, rect_w = 0, rect_h = 0;
    SDL_GetWindowSize(window, &units_w, &units_h);
    SDL_GL_GetDrawableSize(window, &pixels_w, &pixels_h);
    screen_rect_in_window(&map->origin_x, &map->origin_y, &rect_w, &rect_h);
    if (units_w <= 0 || units_h <= 0 || rect_w <= 0 || rect_h <= 0) return false;
    map->pixels_per_unit_x = double(pixels_w) / units_w;
    map->pixels_per_unit_y = double(pixels_h) / units_h;
    map->scale_x = double(screen_w) / rect_w;
    map->scale_y = double(screen_h) / rect_h;
    return true;
}

void cursor_to_screen(int window_x, int window_y, int* x, int* y)
{
    WindowToScreen map;
    if (!window_to_screen(&map)) {
        *x = window_x;
        *y = window_y;
        return;
    }
    *x = static_cast<int>((window_x * map.pixels_per_unit_x - map.origin_x) * map.scale_x);
    *y = static_cast<int>((window_y * map.pixels_per_unit_y - map.origin_y) * map.scale_y);
}

// The whole screen pixels of a movement in window units; the fraction stays
// pending, so slow movement on a scaled-up window still adds up.
int take_whole_pixels(double* pending_units, double pixels_per_unit)
{
    double pixels = *pending_units * pixels_per_unit;
    int whole = static_cast<int>(pixels);
    *pending_units = (pixels - whole) / pixels_per_unit;
    return whole;
}

void apply_due_movement()
{
    MouseState& mouse = input.mouse;
    if (mouse.cursor_visible) {
        int wx = 0, wy = 0;
        if (video_running()) SDL_GetMouseState(&wx, &wy);
        cursor_to_screen(wx, wy, &mouse.x, &mouse.y);
        mouse.pending_dx = mouse.pending_dy = 0;
    } else {
        WindowToScreen map;
        bool mapped = window_to_screen(&map);
        double sx = mapped ? map.pixels_per_unit_x * map.scale_x : 1.0;
        double sy = mapped ? map.pixels_per_unit_y * map.scale_y : 1.0;
        mouse.x += take_whole_pixels(&mouse.pending_dx, sx);
        mouse.y += take_whole_pixels(&mouse.pending_dy, sy);
    }
    mouse.wheel = mouse.pending_wheel > 0 ? 1 : mouse.pending_wheel < 0 ? -1 : 0;
    mouse.pending_wheel = 0;
    mouse.movement_due = false;
}

void clamp_mouse_to_screen()
{
    MouseState& mouse = input.mouse;
    int width, height;
    screen_size(&width, &height);
    int max_x = width - 1, max_y = height - 1;
    if (mouse.x > max_x) mouse.x = max_x;
    if (mouse.y > max_y) mouse.y = max_y;
    if (mouse.x < 0) mouse.x = 0;
    if (mouse.y < 0) mouse.y = 0;
}

Uint32 mouse_buttons()
{
    return video_running() ? SDL_GetMouseState(nullptr, nullptr) : 0;
}

void warp_cursor_to_stored_position()
{
    SDL_Window* window = screen_window();
    WindowToScreen map;
    if (!window || !window_to_screen(&map)) return;
    double wx = (input.mouse.x / map.scale_x + map.origin_x) / map.pixels_per_unit_x;
    double wy = (input.mouse.y / map.scale_y + map.origin_y) / map.pixels_per_unit_y;
    SDL_WarpMouseInWindow(window, static_cast<int>(wx), static_cast<int>(wy));
}

OpenJoystick* find_joystick(SDL_JoystickID id)
{
    for (OpenJoystick& joystick : input.joysticks)
        if (joystick.id == id) return &joystick;
    return nullptr;
}

void open_joystick(int device_index)
{
    SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device_index);
    if (id < 0 || find_joystick(id)) return;   // start-up opened it already
    SDL_Joystick* handle = SDL_JoystickOpen(device_index);
    if (!handle) return;
    const char* name = SDL_JoystickName(handle);
    std::string kept = name ? name : "";
    if (kept.size() > JOYSTICK_NAME_MAX) kept.resize(JOYSTICK_NAME_MAX);
    input.joysticks.push_back({handle, id, kept});
}

void close_joystick(SDL_JoystickID id)
{
    for (size_t i = 0; i < input.joysticks.size(); ++i) {
        if (input.joysticks[i].id != id) continue;
        SDL_JoystickClose(input.joysticks[i].handle);
        input.joysticks.erase(input.joysticks.begin() + i);
        return;
    }
}

uint32_t pov_for_hat(Uint8 hat)
{
    switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return POV_CENTRED;
    }
}

void read_joystick(SDL_Joystick* handle, JoystickState* state)
{
    int32_t* axes[] = {&state->x,  &state->y,  &state->z,          &state->rx,
                       &state->ry, &state->rz, &state->sliders[0], &state->sliders[1]};
    int axis_count = SDL_JoystickNumAxes(handle);
    for (int i = 0; i < 8 && i < axis_count; ++i)
        *axes[i] = SDL_JoystickGetAxis(handle, i) + AXIS_CENTRE;
    int hat_count = SDL_JoystickNumHats(handle);
    for (int i = 0; i < 4; ++i)
        state->pov[i] = i < hat_count ? pov_for_hat(SDL_JoystickGetHat(handle, i)) : POV_CENTRED;
    int button_count = SDL_JoystickNumButtons(handle);
    for (int i = 0; i < 32 && i < button_count; ++i)
        state->buttons[i] = SDL_JoystickGetButton(handle, i) ? KEY_DOWN_BIT : 0;
}

// A toggle key is taken by the press that asks for the toggle, so Alt+Enter
// never chooses a menu entry, pauses the round or gets bound on the key
// screen.
void take_display_toggle_keys()
{
    const bool alt = state_down(KEY_LEFT_ALT) || state_down(KEY_RIGHT_ALT);
    for (int code : DISPLAY_TOGGLE_KEYS) {
        if (!input.taken[code] && state_down(code) && (alt || code == KEY_F11)) {
            input.taken[code] = true;
            input.display_toggle_asked = true;
        }
    }
}

// A taken key reads as up until it is let go.
void hide_taken_keys()
{
    for (int code = 0; code < KEY_CODE_COUNT; ++code) {
        if (!input.taken[code]) continue;
        input.taken[code] = state_down(code);
        if (input.taken[code]) input.keys[code] = 0;
    }
}

}   // namespace

void input_init(bool want_mouse)
{
    input_shutdown();
    if (!video_running()) {
        // Without SDL's video part no key or mouse event ever arrives.
        log_line("No DX_Input");
        if (want_mouse) log_line("No DX_Mouse");
    }
    input.mouse.movement_due = true;
    apply_due_movement();
    gamepad_init();
    input.joystick_subsystem = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    if (!input.joystick_subsystem) return;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) open_joystick(i);
}

void input_shutdown()
{
    for (OpenJoystick& joystick : input.joysticks) SDL_JoystickClose(joystick.handle);
    if (input.joystick_subsystem) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    gamepad_shutdown();
    input = InputState();
}

void input_handle_event(const SDL_Event& event)
{
    MouseState& mouse = input.mouse;
    switch (event.type) {
    case SDL_MOUSEMOTION:
        mouse.pending_dx += event.motion.xrel;
        mouse.pending_dy += event.motion.yrel;
        break;
    case SDL_MOUSEWHEEL: {
        int turn = event.wheel.y;
        mouse.pending_wheel += event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -turn : turn;
        break;
    }
    case SDL_JOYDEVICEADDED:
        if (input.joystick_subsystem) open_joystick(event.jdevice.which);
        break;
    case SDL_JOYDEVICEREMOVED: close_joystick(event.jdevice.which); break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED: gamepad_handle_event(event); break;
    default: break;
    }
}

KeySource set_key_source(KeySource fill)
{
    const KeySource replaced = key_source;
    key_source = fill;
    return replaced;
}

void poll_keyboard()
{
    input.mouse.movement_due = true;
    std::memset(input.keys, 0, sizeof input.keys);
    if (!key_source || !key_source(input.keys)) read_player_keys(input.keys);
    take_display_toggle_keys();
    hide_taken_keys();
}

void hide_key_until_let_go(int code)
{
    input.taken[code & (KEY_CODE_COUNT - 1)] = true;
}

void read_player_keys(unsigned char state[KEY_CODE_COUNT])
{
    read_real_keyboard(input.keyboard);
    std::memcpy(state, input.keyboard, KEY_CODE_COUNT);
    if (std::any_of(std::begin(input.keyboard), std::end(input.keyboard),
                    [](unsigned char key) { return key != 0; }))
        note_input_kind(InputKind::keyboard);
    merge_pad_keys(state);
}

void ask_display_toggle()
{
    input.display_toggle_asked = true;
}

bool take_display_toggle_request()
{
    bool asked = input.display_toggle_asked;
    input.display_toggle_asked = false;
    return asked;
}

int key_down(int code)
{
    poll_keyboard();
    return key_held(code);
}

int key_held(int code)
{
    return state_down(code) ? 1 : 0;
}

bool any_key_held()
{
    return std::any_of(std::begin(input.keys), std::end(input.keys),
                       [](unsigned char key) { return (key & KEY_DOWN_BIT) != 0; });
}

int read_char()
{
    poll_keyboard();
    int code = first_key_down();
    int ch = code < 0 ? 0 : char_for_key(code);
    if (state_down(KEY_LEFT_SHIFT) || state_down(KEY_RIGHT_SHIFT)) ch = to_ascii_upper(ch);
    int lower = to_ascii_lower(ch);
    if (lower == input.last_char) return 0;
    input.last_char = lower;
    return ch;
}

void mouse_state(double* x, double* y, double* left, double* right)
{
    if (input.mouse.movement_due) apply_due_movement();
    clamp_mouse_to_screen();
    Uint32 buttons = mouse_buttons();
    *x = input.mouse.x;
    *y = input.mouse.y;
    *left = (buttons & SDL_BUTTON_LMASK) ? 1 : 0;
    *right = (buttons & SDL_BUTTON_RMASK) ? 1 : 0;
}

int mouse_wheel()
{
    return input.mouse.wheel;
}

void set_mouse(double x, double y)
{
    input.mouse.x = static_cast<int>(x);
    input.mouse.y = static_cast<int>(y);
}

int any_mouse_button()
{
    return (mouse_buttons() & (SDL_BUTTON_LMASK | SDL_BUTTON_MMASK | SDL_BUTTON_RMASK)) ? 1 : 0;
}

void show_mouse_cursor(double flag)
{
    bool show = flag != 0;
    if (show && !input.mouse.cursor_visible) warp_cursor_to_stored_position();
    input.mouse.cursor_visible = show;
    // Movement gathered under the old state belongs to neither position.
    input.mouse.pending_dx = input.mouse.pending_dy = 0;
    if (video_running()) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

bool mouse_cursor_visible()
{
    return input.mouse.cursor_visible;
}

void joystick_state(int index, JoystickState* state)
{
    std::memset(state, 0, sizeof *state);
    if (index < 0 || index >= joystick_count()) return;
    SDL_JoystickUpdate();
    read_joystick(input.joysticks[index].handle, state);
}

int joystick_count()
{
    return static_cast<int>(input.joysticks.size());
}

const char* joystick_name(int index)
{
    if (index < 0 || index >= joystick_count()) return "";
    return input.joysticks[index].name.c_str();
}
