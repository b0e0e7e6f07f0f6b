// Sleigh parts lie on the upper floors until Santa walks onto one; it is
// fitted when he stands on the middle floor with the view at the left end.
// The finale's reindeer swoop along a quarter ellipse, then fly left in line.
#include "game/play/sleigh.h"

#include "core/numbers.h"
#include "game/media_ids.h"
#include "game/play/santa.h"
#include "game/play/world.h"
#include "media/sound.h"
#include "media/sprites.h"

namespace {

constexpr double LYING = 1;
constexpr double FITTED = 0;

// The sleigh's slots: two rows of four, 17 pixels apart.
constexpr double SLOT_LEFT_X = 125;
constexpr double SLOT_WIDTH = 17;
constexpr int SLOTS_PER_ROW = 4;
constexpr double UPPER_SLOT_Y = 108;
constexpr double LOWER_SLOT_Y = 132;

constexpr double PICK_UP_REACH = 20;     // |dx| below this touches the part
constexpr double PART_ABOVE_FLOOR = 3;   // a part lies 3 pixels below Santa's y
constexpr double FLY_OFF_STEP = 2;

// Reindeer: a team of four starts at world (460, 25); the leader at angle 0,
// the others 10 degrees apart behind it.  Each sits in line at 30 * index + 5.
constexpr int TEAM_SIZE = 4;
constexpr double TEAM_START_X = 460;
constexpr double TEAM_START_Y = 25;
constexpr double LEADER_FRAME_BASE = 2;
constexpr double TEAM_ANGLE_SPACING = 10;
constexpr double FULL_CIRCLE = 360;
constexpr double PLACE_SPACING = 30;
constexpr double PLACE_OFFSET = 5;
constexpr double FLAP_TICKS = 8;   // each wing picture shows 9 frames
constexpr double LAST_FLAP_FRAME = 1;
constexpr double WINGS_HELD_FRAME = 1;
constexpr double FLIGHT_TICKS = 1;   // the flight steps every second frame
constexpr double LEVEL_FLIGHT_ANGLE = 90;
constexpr double LAST_ANGLE = 359;
constexpr double REINDEER_STEP = 4;
constexpr double SWOOP_RADIUS_X = 200;
constexpr double SWOOP_RADIUS_Y = 100;

// Santa on the middle floor with the view at the sleigh fits the part he
// carries.  (He does not need to touch the sleigh.)
void deliver(SleighPart& part)
{
    if (part.id != santa_status.carried_part || santa_status.y != MIDDLE_FLOOR_Y ||
        screen_state.scroll_x != SCROLL_LEFT_END) {
        return;
    }
    part.x = sleigh_slot_x(part.id);
    part.y = sleigh_slot_y(part.id);
    finale.parts_fitted += 1;
    tally.score += POINTS_PER_PART;
    play_sound(SOUND_DROP, 0, volumes.sound);
    santa_status.carried_part = NO_PART;
    part.state = FITTED;
}

void pick_up(const SleighPart& part)
{
    double dx = santa_status.x - (screen_state.scroll_x + part.x);
    if (santa_status.carried_part == NO_PART && part.state == LYING && dx > -PICK_UP_REACH &&
        dx < PICK_UP_REACH && part.y - PART_ABOVE_FLOOR == santa_status.y) {
        santa_status.carried_part = part.id;
        play_sound(SOUND_PICKUP, 0, volumes.sound);
    }
}

void update_part(SleighPart& part)
{
    deliver(part);
    if (finale.phase == FINALE_FLY_OFF_PHASE) part.x -= FLY_OFF_STEP;
    // The carried part is not drawn anywhere.
    if (part.id != santa_status.carried_part) {
        draw_anim(ANIM_SLEIGH, to_int(part.id), to_int(screen_state.scroll_x + part.x),
                  to_int(part.y));
    }
    pick_up(part);
}

double place_x(const Reindeer& r)
{
    return PLACE_SPACING * r.index + PLACE_OFFSET;
}

void beat_wings(Reindeer& r)
{
    r.flap_tick += 1;
    if (r.flap_tick > FLAP_TICKS) {
        r.flap_tick = 0;
        r.flap_frame += 1;
    }
    if (r.flap_frame > LAST_FLAP_FRAME) r.flap_frame = 0;
}

// Every second frame: turn one degree along the swoop until level, then fly
// left; the leader pans the view back to the left end while it flies.
void fly(Reindeer& r)
{
    double step = r.step_tick + 1;
    if (step <= FLIGHT_TICKS) {
        r.step_tick = step;
        return;
    }
    r.step_tick = 0;
    if (r.angle != LEVEL_FLIGHT_ANGLE) r.angle += 1;
    if (r.angle != LEVEL_FLIGHT_ANGLE) return;
    r.x -= REINDEER_STEP;
    if (r.x > place_x(r) && screen_state.scroll_x < SCROLL_LEFT_END && r.index == 0)
        screen_state.scroll_x += REINDEER_STEP;
}

void update_one_reindeer(Reindeer& r)
{
    beat_wings(r);
    fly(r);
    if (r.x <= place_x(r) && finale.phase < FINALE_FLY_OFF_PHASE) {
        r.x = place_x(r);
        r.flap_frame = WINGS_HELD_FRAME;
    }
    if (r.angle > LAST_ANGLE) r.angle = 0;
    if (r.x == place_x(r) && finale.phase == FINALE_REINDEER_ARRIVE) finale.phase += 1;
}

void draw_one_reindeer(const Reindeer& r)
{
    int x = to_int(SWOOP_RADIUS_X * cos_deg(r.angle) + r.x + screen_state.scroll_x);
    int y = to_int(SWOOP_RADIUS_Y * sin_deg(r.angle) + r.y);
    draw_anim(ANIM_DEER, to_int(r.frame_base + r.flap_frame), x, y);
}

}   // namespace

void add_sleigh_part(double x, double y, double id, double state)
{
    array_append(sleigh_parts, SleighPart{x, y, id, state});
}

double sleigh_slot_x(double id)
{
    return SLOT_LEFT_X + SLOT_WIDTH * int_mod(to_int(id), SLOTS_PER_ROW);
}

double sleigh_slot_y(double id)
{
    return id < SLOTS_PER_ROW ? UPPER_SLOT_Y : LOWER_SLOT_Y;
}

void update_sleigh_parts()
{
    for (int i = 0; i < array_count(sleigh_parts); ++i) update_part(array_at(sleigh_parts, i));
}

void add_reindeer_team()
{
    for (int index = 0; index < TEAM_SIZE; ++index) {
        Reindeer r{};
        r.x = TEAM_START_X;
        r.y = TEAM_START_Y;
        r.frame_base = index == 0 ? LEADER_FRAME_BASE : 0;
        r.angle = index == 0 ? 0 : FULL_CIRCLE - TEAM_ANGLE_SPACING * index;
        r.index = index;
        array_append(reindeer, r);
    }
}

void update_reindeer()
{
    for_each_record(reindeer, update_one_reindeer);
}

void draw_reindeer()
{
    for_each_record(reindeer, draw_one_reindeer);
}
