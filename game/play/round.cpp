// The round: set-up tables, then the frame loop in its fixed order.  The
// order matters to the player: the clock stops with pause but the snow and
// the lights go on, and in the finale Santa is drawn behind the sleigh.
#include "game/play/round.h"

#include "core/errors.h"
#include "core/log.h"
#include "core/media_source.h"
#include "core/numbers.h"
#include "core/paths.h"
#include "core/values.h"
#include "game/media_ids.h"
#include "game/play/assists.h"
#include "game/play/draw.h"
#include "game/play/hazards.h"
#include "game/play/santa.h"
#include "game/play/scenery.h"
#include "game/play/sleigh.h"
#include "game/play/text_rooms.h"
#include "game/play/texts.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "media/gamepad.h"
#include "media/grabs.h"
#include "media/input.h"
#include "media/keymap.h"
#include "media/music.h"
#include "media/sprites.h"

namespace {

// Conveyor cells of the level map: kinds 16 and 17 run one way and are
// cleared from the map once their segment exists; 28 and 29 run the other
// way and stay.  17 and 29 use the second half of the conveyor strip.
struct ConveyorKind {
    double cell;
    double direction;
    double frame_base;
    bool clear_cell;
};
constexpr ConveyorKind CONVEYOR_KINDS[] = {
    {16, 0, 0, true}, {17, 0, 5, true}, {28, 1, 0, false}, {29, 1, 5, false}};
constexpr int CONVEYOR_FIRST_ROW = 2;
constexpr int CONVEYOR_LAST_ROW = 21;
constexpr double CONVEYOR_Y_OFFSET = 16;

struct PuddingStart {
    double x, y, direction;
};
constexpr PuddingStart PUDDING_STARTS[] = {
    {150, PUDDING_Y, 0}, {150, PUDDING_Y, 1}, {330, PUDDING_Y, 0}, {600, PUDDING_Y, 1}};

// The right-hand soldier has half its rest behind it when the round starts.
struct SoldierStart {
    double x, direction, rest_timer, zone;
};
constexpr SoldierStart SOLDIER_STARTS[] = {{609, 1, 210, 1}, {0, 0, 0, 0}};

// Parts 1 and 5 start fitted; the others lie on the upper floors.
constexpr SleighPart PART_STARTS[] = {{493, 54, 0, 1},  {142, 108, 1, 0}, {370, 54, 2, 1},
                                      {370, 124, 3, 1}, {568, 124, 4, 1}, {142, 132, 5, 0},
                                      {450, 54, 6, 1},  {568, 54, 7, 1}};

struct Position {
    double x, y;
};
constexpr Position LIGHT_POSITIONS[] = {{392, 100}, {503, 100}, {327, 170}, {567, 170}};
constexpr int LIGHT_LAST_START_FRAME = 6;

constexpr double PRESENT_XS[] = {-260, -140, -20, 100, 220};
constexpr double PRESENT_START_Y = 16;
constexpr int PRESENT_LAST_PICTURE = 6;

// Ladder picture (top_y) and the floors it joins.
constexpr double LADDER_HEIGHT = 107;
constexpr Position LADDER_TOPS[] = {{90, 119}, {210, 119}, {330, 49}, {610, 49}, {470, 119}};

constexpr const char* ROUND_MUSIC = "media/sfx/santa.mp3";

constexpr int PLATFORM_Y = 49;

constexpr int SCREENSHOT_KEY = 57;   // Space
constexpr const char* SCREENSHOT_FILE = "temp.BMP";

// One picture per press: holding the key writes no more.
bool screenshot_key_held = false;
int screenshots_written = 0;
bool screenshots_withheld = false;

// Beside the program when the player may write there, else in the player's
// data folder.
std::string screenshot_folder()
{
    std::string beside = exe_folder();
    if (folder_writable(beside)) return beside;
    std::string own = user_data_folder();
    make_folders(own);
    return own;
}

void save_screenshot()
{
    if (screenshots_withheld) {
        ++screenshots_written;
        return;
    }
    std::string path = screenshot_folder() + SCREENSHOT_FILE;
    save_screen(path.c_str());
    if (runtime_status.status == STATUS_SUCCESS)
        ++screenshots_written;
    else
        log_line(("Screenshot: cannot write " + path).c_str());
}

// Status line: labels and zero-padded numbers, 7 pixels a character.
constexpr double STATUS_Y = 5;
constexpr double SCORE_X = 60;
constexpr int SCORE_DIGITS = 6;
constexpr double TIME_X = 180;
constexpr int TIME_DIGITS = 3;
constexpr double LIVES_X = 294;

constexpr double PAUSE_BANNER_Y = 120;
constexpr double PAUSE_BANNER_SHOWN = 20;   // shown while the blink is below this
constexpr double PAUSE_BLINK_LAST = 40;
constexpr double GAME_OVER_Y = 120;

// The start of the finale: the view pans to the right end, where the
// reindeer are called in.
constexpr double PAN_STEP = 2;

void add_conveyors()
{
    for (int row = CONVEYOR_FIRST_ROW; row <= CONVEYOR_LAST_ROW; ++row) {
        for (int column = 0; column < MAP_SIZE; ++column) {
            for (const ConveyorKind& kind : CONVEYOR_KINDS) {
                if (array_at(level_map, column, row) != kind.cell) continue;
                ConveyorSegment segment{};
                segment.x = MAP_CELL_SIZE * column;
                segment.y = MAP_CELL_SIZE * row + CONVEYOR_Y_OFFSET;
                segment.direction = kind.direction;
                segment.frame = kind.frame_base;
                segment.frame_base = kind.frame_base;
                array_append(conveyors, segment);
                if (kind.clear_cell) array_at(level_map, column, row) = 0;
            }
        }
    }
}

void add_entities()
{
    add_santa();
    for (const PuddingStart& p : PUDDING_STARTS) add_pudding(p.x, p.y, p.direction);
    for (const SoldierStart& s : SOLDIER_STARTS) {
        add_soldier(s.x, s.direction, s.rest_timer, s.zone);
    }
    for (const SleighPart& p : PART_STARTS) add_sleigh_part(p.x, p.y, p.id, p.state);
    for (const Position& p : LIGHT_POSITIONS) {
        double frame = rnd(LIGHT_LAST_START_FRAME);
        array_append(lights, Light{p.x, p.y, 0, frame});
    }
    for (double x : PRESENT_XS) {
        double picture = rnd(PRESENT_LAST_PICTURE);
        array_append(presents, Present{x, PRESENT_START_Y, 0, 0, picture});
    }
    for (const Position& p : LADDER_TOPS) {
        array_append(ladders, Ladder{p.x, p.y, p.y + LADDER_HEIGHT});
    }
}

// The pause, its blink and the clock ticks carry over from the last round.
void reset_round_state()
{
    tally.lives = lives_at_start(assists);
    round_clock.time_left = seconds_at_start(assists);
    round_clock.game_over_countdown = 0;
    santa_status.hit = 0;
    tally.score = 0;
    finale.parts_fitted = PARTS_FITTED_AT_START;
    finale.phase = FINALE_PLAYING;
    santa_status.carried_part = NO_PART;
}

void toggle_pause()
{
    // A pulled-out pad pauses the round, as losing the window's focus does.
    if (take_last_pad_removed() && screen_state.paused == 0) screen_state.paused = 1;
    if (key_down(to_int(bindings.pause)) && screen_state.key_cooldown == 0) {
        screen_state.paused += 1;
        screen_state.key_cooldown = PAUSE_KEY_COOLDOWN;
        if (screen_state.paused > 1) screen_state.paused = 0;
    }
}

void advance_finale()
{
    if (finale.parts_fitted == PARTS_IN_SLEIGH && finale.phase == FINALE_PLAYING) {
        finale.phase = FINALE_PAN_RIGHT;
    }
    if (finale.phase == FINALE_PAN_RIGHT) {
        screen_state.scroll_x -= PAN_STEP;
        if (screen_state.scroll_x < SCROLL_RIGHT_END) {
            screen_state.scroll_x = SCROLL_RIGHT_END;
            finale.phase = FINALE_CALL_REINDEER;
        }
    }
    if (finale.phase == FINALE_CALL_REINDEER) {
        add_reindeer_team();
        finale.phase = FINALE_REINDEER_ARRIVE;
    }
}

// A game second is 61 frames: the tick count must pass 60.  Without a time
// limit the clock stands still at its start.
void run_clock()
{
    if (assists.time_limit == TIME_LIMIT_NONE) return;
    if (finale.phase == FINALE_PLAYING && screen_state.paused == 0) round_clock.ticks += 1;
    if (round_clock.ticks > FRAMES_PER_GAME_SECOND - 1) {
        round_clock.time_left -= 1;
        round_clock.ticks = 0;
    }
}

void draw_ladders()
{
    for (int i = 0; i < array_count(ladders); ++i) {
        const Ladder& ladder = array_at(ladders, i);
        draw_anim(ANIM_LADDER, 0, to_int(screen_state.scroll_x + ladder.x), to_int(ladder.top_y));
    }
}

// True once Santa has flown off.
bool play_santa()
{
    update_santa();
    draw_santa();
    return settle_santa();
}

// Each kind is updated, then drawn, in the order the pictures overlap; the
// sleigh parts still draw inside their update (sleigh.h).  True once Santa
// has flown off: nothing more is drawn then.
bool update_scenery_and_cast()
{
    draw_trees();
    if (screen_state.key_cooldown > 0) screen_state.key_cooldown -= 1;
    update_snow();
    draw_snow();
    draw_anim(ANIM_PLATFORM, 0, to_int(screen_state.scroll_x), PLATFORM_Y);
    update_lights();
    draw_lights();
    update_conveyors();
    draw_conveyors();
    draw_ladders();
    // From the walk back to the sleigh on, Santa is drawn behind the parts.
    bool santa_behind = finale.phase > FINALE_SANTA_WALKS_RIGHT;
    if (santa_behind && play_santa()) return true;
    update_sleigh_parts();
    update_puddings();
    draw_puddings();
    update_soldiers();
    draw_soldiers();
    update_presents();
    draw_presents();
    if (!santa_behind && play_santa()) return true;
    update_reindeer();
    draw_reindeer();
    return false;
}

// "0"s up to the field's width, then the number's own text.
void draw_padded_number(double x, double value, int digits)
{
    int length = number_text_length(value);
    for (int i = 0; i <= digits - 1 - length; ++i) draw_text(x + FONT_ADVANCE * i, STATUS_Y, "0");
    draw_text(x + FONT_ADVANCE * (digits - length), STATUS_Y, string_from_number(value));
}

void draw_status_line()
{
    draw_text(SCORE_LABEL_ROOM.x, STATUS_Y, text_for(TextKey::round_score).c_str());
    draw_padded_number(SCORE_X, tally.score, SCORE_DIGITS);
    draw_text(LIVES_LABEL_ROOM.x, STATUS_Y, text_for(TextKey::round_lives).c_str());
    draw_text(LIVES_X, STATUS_Y, "0" + string_from_number(tally.lives));
    draw_text(TIME_LABEL_ROOM.x, STATUS_Y, text_for(TextKey::round_time).c_str());
    draw_padded_number(TIME_X, round_clock.time_left, TIME_DIGITS);
}

// Shown for 19 frames, hidden for 22.
void draw_pause_banner()
{
    if (screen_state.paused <= 0) return;
    screen_state.pause_blink += 1;
    if (screen_state.pause_blink < PAUSE_BANNER_SHOWN) {
        const std::string& banner = text_for(TextKey::round_paused);
        draw_text(text_x(TextKey::round_paused, banner), PAUSE_BANNER_Y, banner.c_str());
    }
    if (screen_state.pause_blink > PAUSE_BLINK_LAST) screen_state.pause_blink = 0;
}

// The message starts once, when the time is up or the last life is gone;
// play goes on under it.  True on the frame the round is to end.
bool run_game_over()
{
    if (round_clock.game_over_countdown == 0 && (round_clock.time_left <= 0 || tally.lives == 0)) {
        round_clock.game_over_countdown = GAME_OVER_FRAMES + 1;
    }
    if (round_clock.game_over_countdown <= 0) return false;
    draw_text(GAME_OVER_ROOM.x, GAME_OVER_Y, text_for(TextKey::round_game_over).c_str());
    round_clock.game_over_countdown -= 1;
    return round_clock.game_over_countdown == 1;
}

// Deletes element 0 until the list is empty.
template <typename Record>
void empty_list(RecordArray<Record>& list)
{
    while (array_count(list) > 0) array_delete(list, 0);
}

// The set-up after the story: the round's screen, its background, the
// entities, the music and the state.
void start_round()
{
    screen_state.current = Screen::round;
    draw_sky();
    use_as_background();
    add_entities();
    play_music(ROUND_MUSIC, 1);
    reset_round_state();
}

}   // namespace

void build_round()
{
    take_last_pad_removed();   // a pad pulled out before the round pauses nothing
    add_conveyors();
    add_entities();
    reset_round_state();
}

void open_round()
{
    add_conveyors();
}

RoundOutcome play_round_frame()
{
    const bool escape = key_down(KEY_ESCAPE) && screen_state.key_cooldown == 0;
    update_music_volume();
    toggle_pause();
    advance_finale();
    run_clock();
    if (update_scenery_and_cast()) return RoundOutcome::won;
    draw_status_line();
    draw_pause_banner();
    save_screenshot_on_key();
    const bool game_over = run_game_over();
    finish_frame();
    if (game_over) return RoundOutcome::lost;
    return escape ? RoundOutcome::left : RoundOutcome::playing;
}

RoundOutcome run_round()
{
    start_round();
    RoundOutcome outcome = RoundOutcome::playing;
    while (outcome == RoundOutcome::playing && !screens_closing()) outcome = play_round_frame();
    return outcome;
}

void close_round()
{
    round_clock.game_over_countdown = 0;
    clear_round_lists();
}

void clear_round_lists()
{
    empty_list(soldiers);
    empty_list(santa_list);
    empty_list(presents);
    empty_list(puddings);
    empty_list(conveyors);
    empty_list(sleigh_parts);
    empty_list(ladders);
    empty_list(lights);
    empty_list(reindeer);
}

void save_screenshot_on_key()
{
    bool down = key_down(SCREENSHOT_KEY) != 0;
    if (down && !screenshot_key_held) save_screenshot();
    screenshot_key_held = down;
}

void withhold_screenshots(bool withheld)
{
    screenshots_withheld = withheld;
}

int screenshot_count()
{
    return screenshots_written;
}
