// Program start on the game's side: settings, media, tables, snow, menu.
#include "game/shell/startup.h"

#include <cstdio>
#include <cstdlib>

#include "core/archive.h"
#include "core/clock.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "engine/options.h"
#include "engine/platform.h"
#include "engine/window.h"
#include "game/play/assists.h"
#include "game/play/draw.h"
#include "game/play/texts.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/key_names.h"
#include "game/shell/media_table.h"
#include "game/shell/menu.h"
#include "game/shell/session.h"
#include "game/shell/settings.h"
#include "game/shell/watch.h"
#include "media/gamepad.h"
#include "media/keymap.h"
#include "media/music.h"
#include "media/screen_picture.h"
#include "media/sound.h"
#include "media/sprites.h"

namespace {

// The picture the window manager shows for the game's window.
constexpr const char* WINDOW_ICON = "media/gfx/icon.png";

constexpr int DESKTOP_WIDTH = 640;
constexpr int DESKTOP_HEIGHT = 480;
constexpr int FRAME_RATE = 60;

constexpr const char* GENERAL_ARCHIVE = "media/gfx.sbx";
constexpr const char* MUSIC_ARCHIVE = "media/sfx.sbx";

struct SoundFile {
    int id;
    const char* file;
};

// The sound effects lie in the graphics folder.
constexpr SoundFile SOUND_FILES[] = {
    {SOUND_JUMP, "media/gfx/jump.wav"},
    {SOUND_PICKUP, "media/gfx/pickup05.wav"},
    {SOUND_DROP, "media/gfx/drop06.wav"},
};
constexpr int SOUND_BUFFERS = 1;

// On devices other than the desktop the jump key is D.
constexpr double OTHER_DEVICE_JUMP_KEY = 32;

constexpr int SNOWFLAKE_COUNT = 151;
// Snow covers both screens of the level.
constexpr int LEVEL_WIDTH = 640;
constexpr double INITIAL_MUSIC_VOLUME = 0.1;
constexpr double DESKTOP_SOUND_VOLUME = 0.75;
constexpr double OTHER_DEVICE_SOUND_VOLUME = 0.05;

constexpr int LEVEL_MAP_SIZE = 64;

bool on_desktop()
{
    return device_name == DESKTOP_DEVICE;
}

// Until game_main has set everything up, switching the display mode is not
// saved and pads hold no keys (the bindings are not yet the player's).
struct SetUpState {
    bool saving_changes = false;
    bool pads_hold_keys = false;
};
SetUpState set_up;

// What settings.ini holds when there is none.
const SavedSettings DEFAULT_SAVED_SETTINGS = {{DEFAULT_BINDINGS.up, DEFAULT_BINDINGS.down,
                                               DEFAULT_BINDINGS.left, DEFAULT_BINDINGS.right,
                                               DEFAULT_BINDINGS.jump, DEFAULT_BINDINGS.pause},
                                              INITIAL_MUSIC_VOLUME,
                                              true};

// What settings.ini held (the defaults when it held nothing), until start-up
// has applied it.
SavedSettings saved_settings = DEFAULT_SAVED_SETTINGS;

// The assists take the file's values at once (when there is a file), so
// that whatever sets them later in start-up has the last word.
void read_saved_settings()
{
    SavedSettings defaults = DEFAULT_SAVED_SETTINGS;
    for (int i = 0; i < BINDING_COUNT; ++i) defaults.keys[i] = key_binding(i);
    if (read_settings(defaults, &saved_settings)) assists = saved_settings.assists;
    choose_language(saved_settings.language);
}

// The command line's choice wins over the saved one.
bool wants_fullscreen()
{
    switch (options().display) {
    case DisplayChoice::window: return false;
    case DisplayChoice::fullscreen: return true;
    case DisplayChoice::unset: break;
    }
    return saved_settings.fullscreen;
}

void apply_saved_keys()
{
    for (int i = 0; i < BINDING_COUNT; ++i) key_binding(i) = saved_settings.keys[i];
}

// From here on every change of a setting is written at once.
void remember_setting_changes()
{
    set_up.saving_changes = true;
    set_volume_changed_hook(save_settings);
    if (options().display != DisplayChoice::unset) save_settings();
}

int pad_action_key(PadAction action, int which)
{
    return set_up.pads_hold_keys ? pad_key(action, which) : 0;
}

void save_display_mode()
{
    if (set_up.saving_changes) save_settings();
}

[[noreturn]] void refuse_at_start(const std::string& why)
{
    std::fprintf(stderr, "snowbelter: %s\n", why.c_str());
    std::exit(2);
}

}   // namespace

void apply_project_settings()
{
    project_settings.screen_width = DESKTOP_WIDTH;
    project_settings.screen_height = DESKTOP_HEIGHT;
    project_settings.fullscreen = 0;
    project_settings.frame_rate = FRAME_RATE;
    project_settings.multisample_level = 0;
    project_settings.exclusive_input = 1;
    project_settings.debug = 0;
    project_settings.title = "snowbelter";
    // Before the window opens: a script that cannot be played or a file that
    // cannot be written is refused at once, like a bad option.
    std::string error;
    if (!prepare_session(&error)) refuse_at_start(error);
    // A replay to watch is refused in the player's language.
    if (!options().watch.empty()) read_saved_settings();
    const std::string refusal = prepare_asked_watch();
    if (!refusal.empty()) refuse_at_start(refusal);
}

// A pad holds the bound key of each action and the fixed key the menus and
// the key screen read for it, so it works every screen whatever the bindings.
int pad_key(PadAction action, int which)
{
    switch (action) {
    case PadAction::up: return which ? KEY_CURSOR_UP : to_int(bindings.up);
    case PadAction::down: return which ? KEY_CURSOR_DOWN : to_int(bindings.down);
    case PadAction::left: return which ? KEY_CURSOR_LEFT : to_int(bindings.left);
    case PadAction::right: return which ? KEY_CURSOR_RIGHT : to_int(bindings.right);
    case PadAction::jump: return which ? 0 : to_int(bindings.jump);
    case PadAction::pause: return which ? KEY_ENTER : to_int(bindings.pause);
    case PadAction::back: return which ? 0 : KEY_ESCAPE;
    case PadAction::start: return which ? 0 : KEY_ENTER;
    }
    return 0;
}

void set_up_display()
{
    StringValue key = "device";
    device_name = platform_info(key);
    set_screen(VIRTUAL_WIDTH, VIRTUAL_HEIGHT, 0);
    apply_game_speed();
    allow_escape(0);
    set_picture_fit(saved_settings.fit);
    if (on_desktop()) set_screen(DESKTOP_WIDTH, DESKTOP_HEIGHT, wants_fullscreen() ? 1 : 0);
}

// A missing file leaves its id empty with status 3; start-up carries on.
void load_media()
{
    mount_archives(GENERAL_ARCHIVE, MUSIC_ARCHIVE);
    set_window_icon(WINDOW_ICON);
    for (std::size_t i = 0; i < STRIP_FILE_COUNT; ++i) {
        const StripFile& strip = STRIP_FILES[i];
        load_anim(strip.file, strip.id, strip.frame_width, strip.frame_height);
    }
    for (const SoundFile& sound : SOUND_FILES) load_sound(sound.file, sound.id, SOUND_BUFFERS);
}

void create_arrays()
{
    dim_number_array(level_map, LEVEL_MAP_SIZE, LEVEL_MAP_SIZE);
    dim_number_array(key_codes, BINDING_COUNT);
    for (int i = 0; i < BINDING_COUNT; ++i) key_codes.at(i) = key_binding(i);
    // key_codes keeps the desktop jump key until the key screen copies it back.
    if (!on_desktop()) bindings.jump = OTHER_DEVICE_JUMP_KEY;
}

void create_snowflakes()
{
    for (int i = 0; i < SNOWFLAKE_COUNT; ++i) {
        Snowflake flake{};
        flake.x = rnd(LEVEL_WIDTH);
        flake.y = rnd(VIRTUAL_HEIGHT);
        flake.size = rnd(2);
        // Each flake has always drawn one more number here; the seeded
        // sequence of everything after start-up depends on it.
        rnd(2);
        array_append(snowflakes, flake);
    }
}

void set_volumes()
{
    volumes.music = saved_settings.music_volume;
    set_full_effects_volume(on_desktop() ? DESKTOP_SOUND_VOLUME : OTHER_DEVICE_SOUND_VOLUME);
    set_effects_level(saved_settings.effects);
    set_music_volume(volumes.music);
}

namespace {

// What start-up does once the media are there, and a replay's start again.
void set_up_game()
{
    apply_saved_keys();
    create_arrays();
    create_snowflakes();
    set_volumes();
}

}   // namespace

void game_main()
{
    screen_state.current = Screen::startup;
    read_saved_settings();
    start_session();
    set_up_display();
    load_media();
    set_up_game();
    remember_setting_changes();
    set_up.pads_hold_keys = true;
    watch_asked_replay();
    main_menu();
    end_statement();
}

void play_from_start(uint32_t seed, const Assists& rules)
{
    const SavedSettings kept = saved_settings;
    saved_settings = DEFAULT_SAVED_SETTINGS;
    reset_world();
    assists = rules;
    seed_rnd(seed);
    apply_game_speed();
    // set_up_display's frames, without its switches of the window.
    const int screens_set = on_desktop() ? 2 : 1;
    for (int i = 0; i < screens_set * SET_SCREEN_CYCLES && !screens_closing(); ++i) show_screen();
    if (!screens_closing()) {
        set_up_game();
        main_menu();
    }
    saved_settings = kept;
}

// In the order of GameTable's fields; the game has nothing to do on quitting.
const GameTable snowbelter_table = {
    apply_project_settings, game_main,         session_keys, pad_action_key,
    session_frame,          save_display_mode, nullptr,
};
