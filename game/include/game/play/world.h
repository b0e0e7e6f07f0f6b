/*
 * world.h - the game's shared state: the record types of every entity kind,
 * one list per kind, and one record per concern of the round (Santa's
 * published status, the tally, the clock, the finale, the key bindings, the
 * screen, the volumes), which the game-play routines and the front-end
 * screens read and write.
 *
 * Every number is a double (counters, flags 0/1, directions and ids too).
 * Entity x positions are world pixels, drawn at scroll_x + x (scroll_x of
 * screen_state); Santa's x is a screen pixel and the snowflakes are drawn at
 * 0.5 * scroll_x + x.  The lists are filled at round start (round.cpp), visited in index order every
 * frame and emptied at round end; the snowflakes live for the whole program.
 *
 * Callers: every module of game/play and game/shell.  Not for: behaviour
 * (each entity kind has its own module) or the media ids (game/media_ids.h).
 */
#pragma once

#include <vector>

#include "core/arrays.h"
#include "core/values.h"

// --- Entity record types (all doubles) ---------------------------------------

struct Santa {
    double x;                  // screen x of the picture's left edge
    double y;                  // top edge; 191 ground, 121 middle, 51 top floor
    double facing;             // 0 right, 1 left
    double anim_tick;          // frames towards the next animation frame
    double frame;              // animation frame before the facing offset
    double walking;            // 1 when a walk key was taken this frame
    double on_ladder;          // 1 while climbing
    double dying;              // 1 during the death animation
    double jump_speed;         // vertical step per frame of a jump
    double jump_step_frames;   // frames left at the current jump_speed
    double jumping;            // 1 while a jump is under way
    double death_loops;        // completed loops of the death animation
    double falling;            // 1 while falling (and while dying)
    double blink;              // blink phase 0..10 while shielded
    double shield;             // frames of invulnerability left
};

struct Ladder {
    double x;          // world x of the left edge
    double top_y;      // top of the ladder picture
    double bottom_y;   // bottom of the picture (top_y + 107)
};

struct Light {
    double x, y;
    double tick;
    double frame;   // 0..7
};

struct Present {
    double x, y;
    double direction;   // 0 right, 1 left, 2 down
    double tick;
    double picture;   // 0..6
};

struct ConveyorSegment {
    double x, y;
    double direction;   // 0 frames count up, 1 frames count down
    double tick;
    double frame;        // 0..4
    double frame_base;   // 0 or 5
};

struct Pudding {
    double x, y;
    double direction;   // 0 right, 1 left
    double tick;
    double frame;             // 0..8
    double frame_direction;   // 0 counting up, 1 counting down
    double zone;              // 0 left half, 1 right half
};

struct Soldier {
    double x, y;
    double direction;   // 0 right, 1 left
    double frame;       // 0..5
    double frame_tick;
    double step_tick;
    double rest_timer;
    double turns;
    double zone;   // 0 left half, 1 right half
};

struct SleighPart {
    double x, y;
    double id;      // 0..7, also its picture
    double state;   // 1 lying and collectable, 0 fitted (or out of play)
};

struct Reindeer {
    double x, y;
    double flap_tick;
    double flap_frame;   // 0 or 1
    double frame_base;   // 2 for the leader, 0 for the others
    double angle;        // degrees
    double step_tick;
    double index;   // place in the line, 0..3
};

struct Snowflake {
    double x, y;
    double tick;
    double size;   // 0..2, also its picture
};

// --- Entity lists --------------------------------------------------------------

extern RecordArray<Santa> santa_list;            // one record during a round
extern RecordArray<Ladder> ladders;              // 5
extern RecordArray<Light> lights;                // 4
extern RecordArray<Present> presents;            // 5
extern RecordArray<ConveyorSegment> conveyors;   // one per conveyor cell
extern RecordArray<Pudding> puddings;            // 4
extern RecordArray<Soldier> soldiers;            // 2
extern RecordArray<SleighPart> sleigh_parts;     // 8
extern RecordArray<Reindeer> reindeer;           // 4 in the finale, else none
extern RecordArray<Snowflake> snowflakes;        // 151, made at start-up

// Visits every record of a list in index order.
template <typename Record, typename Visit>
void for_each_record(RecordArray<Record>& list, Visit visit)
{
    for (int i = 0; i < array_count(list); ++i) visit(array_at(list, i));
}

// --- The round's state, one record per concern ---------------------------------

// What Santa publishes at the end of his update, for the hazards and the
// sleigh parts to read, and what they answer him with.
struct SantaStatus {
    double x, y;           // his screen position
    double shield;         // his shield's frames left
    double hit;            // 1 once he touched a hazard or fell; his update ends it
    double carried_part;   // id of the part he carries, NO_PART for none
};
extern SantaStatus santa_status;
// carried_part when Santa carries nothing.
constexpr double NO_PART = -1;

// The points and the lives left.
struct Tally {
    double score;   // 0 at round start
    double lives;   // LIVES_AT_START at round start
};
extern Tally tally;
// Lives at the start of a round with the default rules (assists.h).
constexpr double LIVES_AT_START = 5;

// The round's game seconds and the game-over message's countdown.
struct RoundClock {
    double time_left;             // game seconds, SECONDS_PER_ROUND at round start
    double ticks;                 // frames towards the next second; kept across rounds
    double game_over_countdown;   // frames left of the game-over message
};
extern RoundClock round_clock;
// Clock seconds at the start of a round with the default rules (assists.h).
constexpr double SECONDS_PER_ROUND = 300;

// The finale's phases in their order: the round loop runs the first ones,
// Santa the walk back and the hop.  Seated, the phase counts up one a frame,
// and at FINALE_FLY_OFF_PHASE Santa and the sleigh fly off.
enum FinalePhase : int {
    FINALE_PLAYING = 0,
    FINALE_PAN_RIGHT = 1,
    FINALE_CALL_REINDEER = 2,
    FINALE_REINDEER_ARRIVE = 3,
    FINALE_SANTA_WALKS_RIGHT = 4,
    FINALE_WALK_LEFT = 5,
    FINALE_HOP = 6,
    FINALE_SEATED = 7,
    FINALE_FLY_OFF_PHASE = 30,
};

// How far the goal has come: the sleigh's parts and the finale's phase.
struct Finale {
    double phase;          // FINALE_PLAYING while playing
    double parts_fitted;   // PARTS_FITTED_AT_START at round start
};
extern Finale finale;
// Parts in the sleigh when a round starts (sleigh.h has the rest of them).
constexpr double PARTS_FITTED_AT_START = 2;

// Key bindings (scan codes); the key screen changes them.
struct KeyBindings {
    double up, down, left, right, jump, pause;
};
// The bindings the game starts with: the cursor keys, left Ctrl and Enter.
constexpr KeyBindings DEFAULT_BINDINGS = {200, 208, 203, 205, 29, 28};
extern KeyBindings bindings;
// The same six in the key screen's order: up, down, left, right, jump, pause.
constexpr int BINDING_COUNT = 6;
constexpr double KeyBindings::*BINDING_ORDER[BINDING_COUNT] = {
    &KeyBindings::up,    &KeyBindings::down, &KeyBindings::left,
    &KeyBindings::right, &KeyBindings::jump, &KeyBindings::pause};
// bindings.*BINDING_ORDER[index]
double& key_binding(int index);

// The screen being shown, for the replay trace.  The round sets round, the
// end screen sets end; the shell sets the others.
enum class Screen {
    startup,
    menu,
    keys,
    options,
    assists,
    results,
    story,
    round,
    end
};

// What the player sees of the screen and how it takes keys.
struct ScreenState {
    Screen current;
    double scroll_x;          // world-to-screen offset, -320..0
    double paused;            // 0 or 1, kept across rounds
    double pause_blink;       // the pause banner's blink phase, kept across rounds
    double key_cooldown;      // frames Escape and Enter are ignored
    double volume_cooldown;   // frames Page Up / Page Down are ignored
};
extern ScreenState screen_state;

// The music volume (passed to the music player) and every sound effect's.
struct Volumes {
    double music;
    double sound;
};
extern Volumes volumes;

// What platform_info("device") answers; DESKTOP_DEVICE on a PC.
extern StringValue device_name;
constexpr const char* DESKTOP_DEVICE = "DESKTOP";

// 64 x 64 tile numbers, [column][row]; rows 0..21 come from the level data.
// Cell (c, r) covers world pixels from (10 c, 10 r) on.
extern NumberArray level_map;
constexpr int MAP_SIZE = 64;
constexpr double MAP_CELL_SIZE = 10;

// scroll_x with the left half of the level in view, and with the right half.
constexpr double SCROLL_LEFT_END = 0;
constexpr double SCROLL_RIGHT_END = -320;

// --- Kept aside and put back ------------------------------------------------------

// Every list and record above and the level map's cells (not the device):
// a watched replay runs the game from its start and then hands the player's
// world back as it was.
struct WorldCopy {
    std::vector<Santa> santa_list;
    std::vector<Ladder> ladders;
    std::vector<Light> lights;
    std::vector<Present> presents;
    std::vector<ConveyorSegment> conveyors;
    std::vector<Pudding> puddings;
    std::vector<Soldier> soldiers;
    std::vector<SleighPart> sleigh_parts;
    std::vector<Reindeer> reindeer;
    std::vector<Snowflake> snowflakes;
    SantaStatus santa_status;
    Tally tally;
    RoundClock round_clock;
    Finale finale;
    KeyBindings bindings;
    ScreenState screen_state;
    Volumes volumes;
    std::vector<double> level_map;   // [column][row], MAP_SIZE x MAP_SIZE; empty when undimensioned
};
WorldCopy copy_world();
void restore_world(const WorldCopy& copy);

// Every list empty, every record at the value the program starts with and
// the level map undimensioned, as before start-up.
void reset_world();
