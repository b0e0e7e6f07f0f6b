// The main menu and the loop of screens it heads.
#include "game/shell/menu.h"

#include "core/data.h"
#include "core/numbers.h"
#include "game/media_ids.h"
#include "game/play/draw.h"
#include "game/play/placeholders.h"
#include "game/play/round.h"
#include "game/play/scenery.h"
#include "game/play/text_rooms.h"
#include "game/play/texts.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/bests.h"
#include "game/shell/demo.h"
#include "game/shell/keys_screen.h"
#include "game/shell/level_data.h"
#include "game/shell/shell_keys.h"
#include "media/gamepad.h"
#include "media/grabs.h"
#include "media/input.h"
#include "media/keymap.h"
#include "media/music.h"
#include "media/sprites.h"

double menu_choice = MENU_NONE;
double menu_cursor_y = MENU_CURSOR_FIRST_Y;

namespace {

constexpr double MENU_SCROLL_X = -320;

constexpr int TITLE_X = 16;
constexpr int TITLE_Y = 32;
// An entry's text stands 7 pixels below the cursor's y.
constexpr int ENTRY_TEXT_DROP = 7;
constexpr int CURSOR_X = 95;
constexpr int MENU_ENTRY_COUNT = 4;
constexpr TextKey ENTRY_TEXTS[MENU_ENTRY_COUNT] = {TextKey::menu_start, TextKey::menu_keys,
                                                   TextKey::menu_options, TextKey::menu_exit};

constexpr int CREDIT_Y = 229;

// The best results as the visit found them.
Bests visit_bests;
// What the visit shows in place of the credit line, and what the next will.
std::string visit_note;
std::string next_note;

// What the visit has seen of the player.
struct VisitInput {
    bool keyboard_used = false;   // a key of the keyboard was down
    int idle_frames = 0;          // frames in a row without a key, button or touch
    bool taking_keys = true;      // false after a demo until every key is up
};
VisitInput visit_input;
bool demo_played = false;

void draw_entries()
{
    draw_anim(ANIM_TITLE, 0, TITLE_X, TITLE_Y);
    for (int i = 0; i < MENU_ENTRY_COUNT; ++i) {
        draw_text(MENU_ENTRY_ROOM.x, MENU_CURSOR_FIRST_Y + MENU_ENTRY_SPACING * i + ENTRY_TEXT_DROP,
                  text_for(ENTRY_TEXTS[i]).c_str());
    }
    draw_anim(ANIM_PUDDINGS, 0, CURSOR_X, to_int(menu_cursor_y));
}

// Fixed cursor keys, not the bindings.
void move_cursor()
{
    if (key_free(KEY_CURSOR_UP) && menu_cursor_y > MENU_CURSOR_FIRST_Y) {
        screen_state.key_cooldown = MENU_STEP_COOLDOWN;
        menu_cursor_y -= MENU_ENTRY_SPACING;
    }
    if (key_free(KEY_CURSOR_DOWN) && menu_cursor_y < MENU_CURSOR_LAST_Y) {
        screen_state.key_cooldown = MENU_STEP_COOLDOWN;
        menu_cursor_y += MENU_ENTRY_SPACING;
    }
}

MenuChoice entry_under_cursor()
{
    int entry = to_int((menu_cursor_y - MENU_CURSOR_FIRST_Y) / MENU_ENTRY_SPACING);
    return static_cast<MenuChoice>(MENU_START_GAME + entry);
}

void take_choice()
{
    if (key_free(KEY_ESCAPE)) menu_choice = MENU_EXIT;
    if ((key_down(to_int(bindings.jump)) || key_down(KEY_ENTER)) &&
        screen_state.key_cooldown == 0) {
        menu_choice = entry_under_cursor();
    }
}

// The keys of the frame just shown: a key of the keyboard lets the credit
// line name keys, any input starts the idle count again, and a count that
// reaches the demo's ends the visit in it.  Touches and pads hold keys too,
// but they are not the keyboard.
void watch_for_input()
{
    const bool input = any_key_held() || any_mouse_button() || any_pad_button();
    if (input && last_input_kind() == InputKind::keyboard) visit_input.keyboard_used = true;
    if (!input) visit_input.taking_keys = true;
    visit_input.idle_frames = input ? 0 : visit_input.idle_frames + 1;
    if (visit_input.idle_frames >= demo_idle_frames() && demo_allowed() && menu_choice == MENU_NONE)
        menu_choice = MENU_DEMO;
}

void menu_frame()
{
    update_music_volume();
    update_snow();
    draw_snow();
    draw_entries();
    if (visit_input.taking_keys) move_cursor();
    if (screen_state.key_cooldown > 0) screen_state.key_cooldown -= 1;
    const std::string credit =
        visit_note.empty() ? credit_line(visit_bests, visit_input.keyboard_used) : visit_note;
    draw_text(CREDIT_ROOM.x, CREDIT_Y, credit.c_str());
    finish_frame();
    if (visit_input.taking_keys) take_choice();
    watch_for_input();
}

}   // namespace

void reload_level_map()
{
    restore_data(level_data);
    for (int row = 0; row < LEVEL_ROWS; ++row) {
        for (int column = 0; column < LEVEL_COLUMNS; ++column) {
            read_data(level_map.at(column, row));
        }
    }
}

// The best time (when there is one) and the volume keys (for a player who
// has pressed a key), with the greeting after them when the line has room.
std::string credit_line(const Bests& bests, bool name_keys)
{
    const bool best = !bests.standard.empty();
    std::string text;
    if (best || name_keys) {
        text = text_for(best && name_keys ? TextKey::menu_best_and_volume_keys
                        : best            ? TextKey::menu_best
                                          : TextKey::menu_volume_keys);
    }
    if (best) text = filled(text, "{time}", spare_time_text(bests.standard[0].frames_to_spare));
    std::string greeted = text + (text.empty() ? "" : " ") + text_for(TextKey::menu_greeting);
    return text_width(greeted.c_str()) <= CREDIT_ROOM.width ? greeted : text;
}

void note_for_next_visit(const std::string& line)
{
    next_note = line;
}

MenuChoice menu_visit()
{
    screen_state.current = Screen::menu;
    screen_state.scroll_x = MENU_SCROLL_X;
    menu_choice = MENU_NONE;
    menu_cursor_y = MENU_CURSOR_FIRST_Y;
    draw_winter_backdrop();
    use_as_background();
    play_music(MENU_MUSIC, 0);
    reload_level_map();
    visit_bests = read_bests();
    visit_note = next_note;
    next_note.clear();
    screen_state.key_cooldown = MENU_OPEN_COOLDOWN;
    // The key that stopped a demo is no choice on the menu it returns to.
    visit_input = VisitInput{};
    visit_input.taking_keys = !demo_played;
    demo_played = false;
    while (menu_choice == MENU_NONE && !screens_closing()) menu_frame();
    stop_music();
    return static_cast<MenuChoice>(to_int(menu_choice));
}

void play_game()
{
    open_round();
    show_story();
    if (run_round() == RoundOutcome::won) show_end_screen();
    close_round();
}

void main_menu()
{
    for (;;) {
        switch (menu_visit()) {
        case MENU_START_GAME: play_game(); break;
        case MENU_REDEFINE_KEYS: redefine_keys(); break;
        case MENU_OPTIONS: show_options(); break;
        case MENU_DEMO:
            play_demo();
            demo_played = true;
            break;
        default: return;
        }
    }
}
