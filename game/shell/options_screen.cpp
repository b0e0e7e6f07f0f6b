// The Options and Assists screens: one table of rows per screen, one loop.
#include "game/shell/options_screen.h"

#include <algorithm>
#include <string>

#include "core/numbers.h"
#include "engine/window.h"
#include "game/media_ids.h"
#include "game/play/assists.h"
#include "game/play/draw.h"
#include "game/play/placeholders.h"
#include "game/play/scenery.h"
#include "game/play/text_rooms.h"
#include "game/play/texts.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/menu.h"
#include "game/shell/settings.h"
#include "game/shell/shell_keys.h"
#include "media/input.h"
#include "media/keymap.h"
#include "media/music.h"
#include "media/screen_picture.h"
#include "media/sound.h"
#include "media/sprites.h"

OptionsScreenState options_screen;

namespace {

constexpr int TITLE_Y = 14;
constexpr int CURSOR_X = 22;
// A row's text stands 7 pixels below the cursor's y, as in the menu.
constexpr int ROW_TEXT_DROP = 7;
constexpr int MAX_ROWS = 8;
// The pudding's height: the last row's cursor stays inside the picture.
constexpr int CURSOR_HEIGHT = 26;
constexpr int FONT_HEIGHT = 11;
// The line under the title.
constexpr int NOTE_Y = TITLE_Y + OPTIONS_ROW_SPACING - ROW_TEXT_DROP;

// The bars: one segment per step of the value, a block of snow for each
// one reached and a small flake for each one not, so every step shows.
constexpr int BAR_WIDTH = 88;
constexpr int SEGMENT_GAP = 2;
constexpr int SEGMENT_HEIGHT = 7;
constexpr int FLAKE_SIZE = 3;
constexpr int BAR_GAP = 6;   // between the bar and a number after it
constexpr int SMALL_FLAKE = 0;
constexpr int LARGE_FLAKE = 2;

// How far a bar reaches: `reached` of its `steps`.
struct BarLevel {
    int reached;
    int steps;
};

// One row: what left and right do to it (-1 or +1), its value as text or as
// a bar, what Enter does on it, and whether this build offers it.  A null
// entry means the row has no such thing.
struct Row {
    TextKey label;
    void (*change)(int step);
    std::string (*text)();
    BarLevel (*bar)();
    void (*open)();
    bool (*offered)();
};

// The next of n choices after index (step +1) or before it (step -1),
// round the end.
int cycled(int index, int step, int n)
{
    return ((index + step) % n + n) % n;
}

template <std::size_t N>
int cycled_choice(const int (&choices)[N], int value, int step)
{
    int index = 0;
    for (std::size_t i = 0; i < N; ++i)
        if (choices[i] == value) index = int(i);
    return choices[cycled(index, step, int(N))];
}

// --- Options' rows ------------------------------------------------------------------

void change_music(int step)
{
    if (step_music_volume(step)) save_settings();
}

BarLevel music_bar()
{
    return {to_int(volumes.music / MUSIC_VOLUME_STEP + 0.5),
            to_int(MUSIC_VOLUME_CEILING / MUSIC_VOLUME_STEP + 0.5)};
}

// The new level is heard at once, in the jump's sound.
void change_effects(int step)
{
    const int before = effects_level();
    set_effects_level(before + step);
    if (effects_level() == before) return;
    play_sound(SOUND_JUMP, 0, volumes.sound);
    save_settings();
}

std::string effects_text()
{
    return std::to_string(effects_level());
}

BarLevel effects_bar()
{
    return {effects_level(), EFFECTS_LEVEL_FULL};
}

// The frame cycle switches as for F11, and the game saves the settings then.
void change_display(int)
{
    ask_display_toggle();
}

std::string display_text()
{
    return text_for(window_is_fullscreen() ? TextKey::options_full_screen
                                           : TextKey::options_window);
}

void change_fit(int)
{
    const bool fill = picture_fit() == PictureFit::fill;
    set_picture_fit(fill ? PictureFit::whole_pixels : PictureFit::fill);
    save_settings();
}

std::string fit_text()
{
    return text_for(picture_fit() == PictureFit::fill ? TextKey::options_fill
                                                      : TextKey::options_whole_pixels);
}

// Following the system (""), then each language the game has.
void change_language(int step)
{
    const int choices = language_count() + 1;
    int index = 0;
    for (int i = 0; i < language_count(); ++i)
        if (language_choice() == language_code(i)) index = i + 1;
    index = cycled(index, step, choices);
    choose_language(index == 0 ? "" : language_code(index - 1));
    save_settings();
}

// A language by its own name, so that anyone can find theirs.
std::string language_text()
{
    if (language_choice().empty()) return text_for(TextKey::options_system_language);
    return language_own_name(language_choice());
}

void show_assists();

void leave()
{
    options_screen.leaving = true;
}

const Row OPTIONS_ROWS[] = {
    {TextKey::options_music, change_music, nullptr, music_bar, nullptr, nullptr},
    {TextKey::options_effects, change_effects, effects_text, effects_bar, nullptr, nullptr},
    {TextKey::options_display, change_display, display_text, nullptr, nullptr,
     display_switch_offered},
    {TextKey::options_fit, change_fit, fit_text, nullptr, nullptr, display_switch_offered},
    {TextKey::options_assists, nullptr, nullptr, nullptr, show_assists, nullptr},
    {TextKey::options_results, nullptr, nullptr, nullptr, show_results, nullptr},
    {TextKey::options_language, change_language, language_text, nullptr, nullptr, nullptr},
    {TextKey::options_back, nullptr, nullptr, nullptr, leave, nullptr},
};

// --- Assists' rows ------------------------------------------------------------------

void change_speed(int step)
{
    assists.speed = cycled_choice(SPEED_CHOICES, assists.speed, step);
    apply_game_speed();   // felt at once: the frames a second change now
    save_settings();
}

std::string speed_text()
{
    return filled(text_for(TextKey::assists_percent), "{n}", std::to_string(assists.speed));
}

void change_time_limit(int step)
{
    assists.time_limit = cycled_choice(TIME_LIMIT_CHOICES, assists.time_limit, step);
    save_settings();
}

std::string time_limit_text()
{
    if (assists.time_limit == TIME_LIMIT_NONE) return text_for(TextKey::assists_no_time_limit);
    return filled(text_for(TextKey::assists_seconds), "{n}", std::to_string(assists.time_limit));
}

void change_lives(int step)
{
    assists.lives = cycled_choice(LIVES_CHOICES, assists.lives, step);
    save_settings();
}

std::string lives_text()
{
    return assists.lives == LIVES_UNLIMITED ? text_for(TextKey::assists_unlimited)
                                            : std::to_string(assists.lives);
}

void change_safe_falls(int)
{
    assists.safe_falls = !assists.safe_falls;
    save_settings();
}

std::string safe_falls_text()
{
    return text_for(assists.safe_falls ? TextKey::assists_on : TextKey::assists_off);
}

const Row ASSISTS_ROWS[] = {
    {TextKey::assists_speed, change_speed, speed_text, nullptr, nullptr, nullptr},
    {TextKey::assists_time_limit, change_time_limit, time_limit_text, nullptr, nullptr, nullptr},
    {TextKey::assists_lives, change_lives, lives_text, nullptr, nullptr, nullptr},
    {TextKey::assists_safe_falls, change_safe_falls, safe_falls_text, nullptr, nullptr, nullptr},
    {TextKey::options_back, nullptr, nullptr, nullptr, leave, nullptr},
};

// --- The screens' loop --------------------------------------------------------------

// The rows of the page being shown that this build offers, in order.
struct ShownRows {
    const Row* rows[MAX_ROWS];
    int count = 0;
};

template <std::size_t N>
ShownRows offered_rows(const Row (&table)[N])
{
    ShownRows shown;
    for (const Row& row : table)
        if (!row.offered || row.offered()) shown.rows[shown.count++] = &row;
    return shown;
}

ShownRows shown_rows()
{
    return options_screen.page == OptionsPage::options ? offered_rows(OPTIONS_ROWS)
                                                       : offered_rows(ASSISTS_ROWS);
}

// The rows close up when as many as this build offers would not fit.
int cursor_y(int row, int count)
{
    const int room = VIRTUAL_HEIGHT - CURSOR_HEIGHT - OPTIONS_CURSOR_FIRST_Y;
    const int spacing =
        count > 1 ? std::min(OPTIONS_ROW_SPACING, room / (count - 1)) : OPTIONS_ROW_SPACING;
    return OPTIONS_CURSOR_FIRST_Y + spacing * row;
}

void draw_bar(int x, int y, BarLevel level)
{
    const int spacing = BAR_WIDTH / level.steps;
    const int width = spacing - SEGMENT_GAP;
    for (int i = 0; i < level.steps; ++i) {
        const int left = x + spacing * i;
        if (i < level.reached)
            stretch_anim(ANIM_SNOW, LARGE_FLAKE, left, y, width, SEGMENT_HEIGHT);
        else
            draw_anim(ANIM_SNOW, SMALL_FLAKE, left + (width - FLAKE_SIZE) / 2,
                      y + (SEGMENT_HEIGHT - FLAKE_SIZE) / 2);
    }
}

void draw_row(const Row& row, int y)
{
    draw_text(OPTIONS_LABEL_ROOM.x, y, text_for(row.label).c_str());
    int x = OPTIONS_VALUE_ROOM.x;
    if (row.bar) {
        draw_bar(x, y + (FONT_HEIGHT - SEGMENT_HEIGHT) / 2, row.bar());
        x += BAR_WIDTH + BAR_GAP;
    }
    if (row.text) draw_text(x, y, row.text().c_str());
}

void draw_centred(int y, TextKey key)
{
    const std::string& text = text_for(key);
    draw_text(text_x(key, text), y, text.c_str());
}

void draw_page(const ShownRows& shown)
{
    const bool options = options_screen.page == OptionsPage::options;
    draw_centred(TITLE_Y, options ? TextKey::options_title : TextKey::assists_title);
    // A change that could not be kept is said where the Assists greet.
    const StorageTrouble trouble = settings_trouble();
    if (trouble != StorageTrouble::none)
        draw_centred(NOTE_Y, not_kept_key(KeptFile::settings, trouble));
    else if (!options)
        draw_centred(NOTE_Y, TextKey::assists_greeting);
    for (int i = 0; i < shown.count; ++i)
        draw_row(*shown.rows[i], cursor_y(i, shown.count) + ROW_TEXT_DROP);
    draw_anim(ANIM_PUDDINGS, 0, CURSOR_X, cursor_y(options_screen.row, shown.count));
}

// Fixed cursor keys, as in the menu: a pad's and the touch controls'
// directions hold them too.  Returns what Enter asked to open (null for
// nothing), for the frame to run once it is finished.
using Opening = void (*)();
Opening take_keys(const ShownRows& shown)
{
    const Row& row = *shown.rows[options_screen.row];
    int step = 0;
    if (key_free(KEY_CURSOR_UP) && options_screen.row > 0) step = -1;
    if (key_free(KEY_CURSOR_DOWN) && options_screen.row < shown.count - 1) step = +1;
    if (step != 0) {
        options_screen.row += step;
        screen_state.key_cooldown = OPTIONS_STEP_COOLDOWN;
        return nullptr;
    }
    const int change = key_free(KEY_CURSOR_LEFT) ? -1 : key_free(KEY_CURSOR_RIGHT) ? +1 : 0;
    if (change != 0 && row.change) {
        row.change(change);
        screen_state.key_cooldown = OPTIONS_STEP_COOLDOWN;
    }
    if (key_free(KEY_ESCAPE)) {
        leave();
    } else if ((key_free(to_int(bindings.jump)) || key_free(KEY_ENTER)) && row.open) {
        screen_state.key_cooldown = OPTIONS_OPEN_COOLDOWN;
        return row.open;
    }
    return nullptr;
}

void options_frame()
{
    const ShownRows shown = shown_rows();
    update_music_volume();
    update_snow();
    draw_snow();
    draw_page(shown);
    const Opening opening = take_keys(shown);
    if (screen_state.key_cooldown > 0) screen_state.key_cooldown -= 1;
    finish_frame();
    // A screen opened from a row starts with a frame of its own.
    if (opening) opening();
}

// Runs one page until it is left; the page that opened it comes back with
// its cursor where it was.
void run_page(OptionsPage page, Screen screen)
{
    const OptionsScreenState opener = options_screen;
    options_screen = OptionsScreenState{page, 0, false};
    screen_state.current = screen;
    screen_state.key_cooldown = OPTIONS_OPEN_COOLDOWN;
    while (!options_screen.leaving && !screens_closing()) options_frame();
    options_screen = opener;
}

void show_assists()
{
    run_page(OptionsPage::assists, Screen::assists);
    screen_state.current = Screen::options;
    // The key that left the assists does not leave the options too.
    screen_state.key_cooldown = OPTIONS_OPEN_COOLDOWN;
}

}   // namespace

void show_options()
{
    play_music(MENU_MUSIC, 0);
    run_page(OptionsPage::options, Screen::options);
    stop_music();
}
