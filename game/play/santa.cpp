// Santa's frame: the steps run in a fixed order, each a small helper over
// the one Santa record; their order is what the player feels (a hit taken in
// the air waits for the landing, the shield blinks in 11-frame periods).
#include "game/play/santa.h"

#include "core/numbers.h"
#include "game/media_ids.h"
#include "game/play/assists.h"
#include "game/play/world.h"
#include "media/input.h"
#include "media/sound.h"
#include "media/sprites.h"

namespace {

constexpr double SANTA_HEIGHT = 35;   // picture height: feet are this far below y
constexpr double WALK_STEP = 2;       // pixels per frame, walking or scrolling
constexpr double CLIMB_STEP = 2;
constexpr double LADDER_TOP_MARGIN = 2;   // climbing up stops at top_y + 2
constexpr double ANIM_TICKS = 5;          // a frame advances when anim_tick passes this
constexpr double SCREEN_CENTRE_X = 160;
constexpr double MIN_X = -8;
constexpr double MAX_X = 290;

constexpr double FACING_RIGHT = 0;
constexpr double FACING_LEFT = 1;
constexpr double FRAMES_PER_FACING = 8;
constexpr double LAST_WALK_FRAME = 7;
constexpr double FIRST_DEATH_FRAME = 16;
constexpr double LAST_DEATH_FRAME = 19;
constexpr double FIRST_CLIMB_FRAME = 24;
constexpr double LAST_CLIMB_FRAME = 27;
constexpr double DEATH_LOOPS = 5;   // revival once more loops than this are done

constexpr double JUMP_TAKE_OFF_SPEED = -4;
constexpr double JUMP_FRAMES_PER_SPEED = 3;
constexpr double JUMP_END_SPEED = 5;   // a jump ends when its speed reaches this
constexpr double FALL_STEP = 4;

constexpr double BLINK_LAST_PHASE = 10;   // blink runs 0..10
constexpr double BLINK_VISIBLE_PHASES = 5;

// Finale: Santa walks right past FINALE_TURN_X, back to the sleigh seat, hops
// in (the hop ends when the speed reaches FINALE_SEATED_SPEED, 21 pixels up),
// waits one phase per frame and flies off left until he is far off screen.
constexpr double FINALE_TURN_X = 200;
constexpr double FINALE_SEAT_X = 142;
constexpr double FINALE_SEATED_SPEED = 3;
constexpr double FINALE_WALK_STEP = 1;
constexpr double FINALE_FLY_STEP = 2;
constexpr double FLOWN_OFF_X = -150;

// The map cells under Santa's feet: his picture's left edge plus FEET_INSET
// lies in the column before the first one tested, and the row under his
// feet is FEET_ROWS_DOWN rows below the one his y lies in.
constexpr double FEET_INSET = 2;
constexpr int FEET_COLUMN_OFFSET = 1;
constexpr int FEET_ROWS_DOWN = 2;

// Santa may act on input: not hit, not in the finale, not paused.
bool santa_free()
{
    return santa_status.hit == 0 && finale.phase == 0 && screen_state.paused == 0;
}

void walk(Santa& s)
{
    bool can_walk = s.on_ladder == 0 && s.falling == 0;
    if (key_down(to_int(bindings.right)) && santa_free() && can_walk) {
        s.facing = FACING_RIGHT;
        s.walking = 1;
        s.anim_tick += 1;
    }
    if (key_down(to_int(bindings.left)) && santa_free() && can_walk) {
        s.facing = FACING_LEFT;
        s.walking = 1;
        s.anim_tick += 1;
    }
}

// Up and Down move Santa on every ladder that his mask overlaps; each stops
// exactly at a floor height.
void climb(Santa& s)
{
    bool can_climb = santa_free() && s.falling == 0 && s.jumping == 0;
    bool up = key_down(to_int(bindings.up)) && can_climb;
    bool down = key_down(to_int(bindings.down)) && can_climb;
    for (int i = 0; up && i < array_count(ladders); ++i) {
        const Ladder& ladder = array_at(ladders, i);
        if (!santa_touches(ANIM_LADDER, 0, ladder.x, ladder.top_y)) continue;
        double stop_y = ladder.top_y + LADDER_TOP_MARGIN;
        if (s.y > stop_y) {
            s.y -= CLIMB_STEP;
            s.on_ladder = 1;
        }
        if (s.y <= stop_y) s.on_ladder = 0;
        s.anim_tick += 1;
    }
    for (int i = 0; down && i < array_count(ladders); ++i) {
        const Ladder& ladder = array_at(ladders, i);
        if (!santa_touches(ANIM_LADDER, 0, ladder.x, ladder.top_y)) continue;
        double stop_y = ladder.bottom_y - SANTA_HEIGHT;
        if (s.y < stop_y) {
            s.y += CLIMB_STEP;
            s.on_ladder = 1;
        }
        if (s.y >= stop_y) s.on_ladder = 0;
        s.anim_tick += 1;
    }
}

void take_off(Santa& s)
{
    s.jump_speed = JUMP_TAKE_OFF_SPEED;
    s.jump_step_frames = JUMP_FRAMES_PER_SPEED;
    s.jumping = 1;
}

// Each speed from -4 to 4 holds for three frames: 27 frames, 30 pixels up
// and back down to the take-off height.
void jump(Santa& s)
{
    if (key_down(to_int(bindings.jump)) && santa_free() && s.jumping == 0 && s.falling == 0 &&
        s.on_ladder == 0) {
        take_off(s);
        play_sound(SOUND_JUMP, 0, volumes.sound);
    }
    if (s.jumping == 1 && screen_state.paused == 0) {
        s.y += s.jump_speed;
        s.jump_step_frames -= 1;
    }
    if (s.jump_step_frames == 0) {
        s.jump_speed += 1;
        s.jump_step_frames = JUMP_FRAMES_PER_SPEED;
    }
    if (s.jump_speed == JUMP_END_SPEED) s.jumping = 0;
}

// The scripted part of the finale; pause does not stop it.
void finale_moves(Santa& s)
{
    if (finale.phase < FINALE_SANTA_WALKS_RIGHT) return;
    if (finale.phase == FINALE_SANTA_WALKS_RIGHT) {
        s.facing = FACING_RIGHT;
        s.anim_tick += 1;
        s.x += FINALE_WALK_STEP;
    }
    if (s.x > FINALE_TURN_X) {
        finale.phase = FINALE_WALK_LEFT;
        s.facing = FACING_LEFT;
    }
    if (finale.phase == FINALE_WALK_LEFT) {
        s.anim_tick += 1;
        s.x -= FINALE_WALK_STEP;
        if (s.x <= FINALE_SEAT_X) {
            s.frame = 0;
            finale.phase = FINALE_HOP;
        }
    }
    if (finale.phase == FINALE_HOP) {
        if (s.jumping == 0) take_off(s);
        if (s.jump_speed == FINALE_SEATED_SPEED) {
            s.jumping = 0;
            finale.phase = FINALE_SEATED;
        }
    }
    if (finale.phase > FINALE_HOP && finale.phase < FINALE_FLY_OFF_PHASE) finale.phase += 1;
    if (finale.phase == FINALE_FLY_OFF_PHASE) s.x -= FINALE_FLY_STEP;
}

void animate(Santa& s)
{
    if (s.anim_tick > ANIM_TICKS) {
        s.anim_tick = 0;
        s.frame += 1;
    }
}

// The view follows Santa while he stands at the screen centre; at either
// end of the level he walks towards the screen edge instead.
void scroll(Santa& s)
{
    if (s.walking != 1) return;
    if (s.facing == FACING_RIGHT && s.x >= SCREEN_CENTRE_X) screen_state.scroll_x -= WALK_STEP;
    if (s.facing == FACING_LEFT && s.x <= SCREEN_CENTRE_X) screen_state.scroll_x += WALK_STEP;
    if (screen_state.scroll_x > SCROLL_LEFT_END) screen_state.scroll_x = SCROLL_LEFT_END;
    if (screen_state.scroll_x < SCROLL_RIGHT_END) screen_state.scroll_x = SCROLL_RIGHT_END;
    if (screen_state.scroll_x == SCROLL_LEFT_END && s.facing == FACING_LEFT) s.x -= WALK_STEP;
    if (screen_state.scroll_x == SCROLL_RIGHT_END && s.facing == FACING_RIGHT) s.x += WALK_STEP;
    if (screen_state.scroll_x == SCROLL_LEFT_END && s.facing == FACING_RIGHT) s.x += WALK_STEP;
    if (screen_state.scroll_x == SCROLL_RIGHT_END && s.facing == FACING_LEFT) s.x -= WALK_STEP;
}

void keep_on_screen(Santa& s)
{
    if (s.x < MIN_X && finale.phase < FINALE_FLY_OFF_PHASE) {
        s.x = MIN_X;
    } else if (s.x > MAX_X) {
        s.x = MAX_X;
    }
}

// Walking frames, and a hit becomes a death once Santa is not in the air.
void take_hits(Santa& s)
{
    if (s.dying != 0 || screen_state.paused != 0) return;
    if (s.frame > LAST_WALK_FRAME && s.on_ladder == 0) s.frame = 0;
    if (s.walking == 0 && s.on_ladder == 0 && finale.phase < FINALE_SANTA_WALKS_RIGHT) s.frame = 0;
    if (santa_status.hit != 0 && s.jumping == 0) {
        s.dying = 1;
        s.frame = FIRST_DEATH_FRAME;
        if (assists.lives != LIVES_UNLIMITED) tally.lives -= 1;
    }
}

// Six loops of the four death frames (144 frames), then Santa revives where
// he lies, shielded; a carried part goes back to where it was found.
void die(Santa& s)
{
    if (s.dying == 1 && screen_state.paused == 0) {
        s.falling = 1;
        s.anim_tick += 1;
        santa_status.carried_part = NO_PART;
    }
    if (s.on_ladder == 0 && s.frame > LAST_DEATH_FRAME) {
        s.frame = FIRST_DEATH_FRAME;
        s.death_loops += 1;
    }
    if (s.death_loops > DEATH_LOOPS) {
        s.dying = 0;
        s.frame = 0;
        santa_status.hit = 0;
        s.death_loops = 0;
        santa_status.carried_part = NO_PART;
        s.shield = SHIELD_FRAMES;
    }
}

void land_on_ground(Santa& s)
{
    if (s.y >= GROUND_Y) {
        s.y = GROUND_Y;
        s.falling = 0;
        s.on_ladder = 0;
    }
}

// The blink period is 11 frames and a full shield 10 periods, so the blink
// is back at 0 when the shield runs out.
void wear_shield(Santa& s)
{
    if (s.shield > 0 && screen_state.paused == 0) {
        s.blink += 1;
        s.shield -= 1;
    }
    if (s.blink > BLINK_LAST_PHASE) s.blink = 0;
}

// On a ladder the animation runs through the climbing frames only.
void hold_climb_frame(Santa& s)
{
    if (s.on_ladder != 1) return;
    if (s.frame < FIRST_CLIMB_FRAME) s.frame = LAST_CLIMB_FRAME;
    if (s.frame > LAST_CLIMB_FRAME) s.frame = FIRST_CLIMB_FRAME;
}

void draw(const Santa& s)
{
    // In the finale Santa's x is a world x: he moves with the view.
    double offset = finale.phase != 0 ? screen_state.scroll_x : 0;
    int x = to_int(offset + s.x);
    int y = to_int(s.y);
    if (s.dying == 1) {
        draw_anim(ANIM_SANTA, to_int(s.frame), x, y);
    } else if (s.blink < BLINK_VISIBLE_PHASES) {
        double frame = s.on_ladder == 0 ? s.facing * FRAMES_PER_FACING + s.frame : s.frame;
        draw_anim(ANIM_SANTA, to_int(frame), x, y);
    }
}

// Two empty cells under the feet start a fall; a fall ends in a hit on the
// ground unless falls are safe (then it lands as a jump does), and pause
// does not stop it.
void fall(Santa& s)
{
    // In the finale the column can come out negative; the map's index wraps
    // a negative column once from the end, which stays inside the map.
    int column =
        to_int(s.x + FEET_INSET - screen_state.scroll_x) / static_cast<int>(MAP_CELL_SIZE) +
        FEET_COLUMN_OFFSET;
    int row = to_int(s.y / MAP_CELL_SIZE) + FEET_ROWS_DOWN;
    bool gap = array_at(level_map, column, row) == 0 && array_at(level_map, column + 1, row) == 0;
    if (gap && s.jumping == 0 && s.on_ladder == 0 && s.falling == 0) s.falling = 1;
    if (s.falling == 1 && finale.phase == 0) {
        if (s.y + FALL_STEP < GROUND_Y) {
            s.y += FALL_STEP;
        } else {
            s.y = GROUND_Y;
            if (!assists.safe_falls) santa_status.hit = 1;
            s.falling = 0;
        }
    }
}

void publish(const Santa& s)
{
    santa_status.y = s.y;
    santa_status.x = s.x;
    santa_status.shield = s.shield;
}

void update(Santa& s)
{
    s.walking = 0;
    walk(s);
    climb(s);
    jump(s);
    finale_moves(s);
    animate(s);
    scroll(s);
    keep_on_screen(s);
    take_hits(s);
    die(s);
    land_on_ground(s);
    wear_shield(s);
    hold_climb_frame(s);
}

// The ledge test comes after the drawing: a fall shows from the next frame.
void settle(Santa& s)
{
    fall(s);
    publish(s);
}

}   // namespace

void add_santa()
{
    Santa santa{};
    santa.x = SANTA_START_X;
    santa.y = GROUND_Y;
    santa.shield = SHIELD_FRAMES;
    array_append(santa_list, santa);
}

void update_santa()
{
    for_each_record(santa_list, update);
}

void draw_santa()
{
    for_each_record(santa_list, draw);
}

bool settle_santa()
{
    for_each_record(santa_list, settle);
    return array_count(santa_list) > 0 && santa_status.x < FLOWN_OFF_X;
}

bool santa_touches(int strip, int frame, double x, double y)
{
    return anim_collision(ANIM_SANTA, SANTA_MASK_FRAME,
                          to_int(santa_status.x - screen_state.scroll_x), to_int(santa_status.y),
                          strip, frame, to_int(x), to_int(y)) != 0;
}
