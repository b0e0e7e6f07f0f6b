// Puddings bounce along at half a pixel per frame; soldiers rest, then march
// to one end of their zone and back before resting again.
#include "game/play/hazards.h"

#include "core/numbers.h"
#include "game/media_ids.h"
#include "game/play/santa.h"
#include "game/play/world.h"
#include "media/sprites.h"

namespace {

constexpr double RIGHT = 0;
constexpr double LEFT = 1;

// Patrol zones, world x: the left half and the right half of the level.
struct Zone {
    double left;
    double right;
};
constexpr double ZONE_SPLIT_X = 320;   // a pudding at or right of this is in zone 1
constexpr Zone PUDDING_ZONES[] = {{0, 300}, {320, 620}};
constexpr Zone SOLDIER_ZONES[] = {{0, 300}, {320, 609}};

constexpr double PUDDING_MOVE_TICKS = 1;   // moves when tick passes this: every 2nd frame
constexpr double PUDDING_STEP = 1;
constexpr double PUDDING_LAST_FRAME = 8;
constexpr int PUDDING_FRAMES = 8;   // a new pudding starts at rnd of this

constexpr double SOLDIER_STEP = 2;
constexpr double SOLDIER_MARCH_STEP = 2;    // step counter value on which he moves
constexpr double SOLDIER_LAST_STEP = 2;     // step counter runs 1, 2, 0
constexpr double SOLDIER_FRAME_TICKS = 2;   // picture changes when frame_tick passes this
constexpr double SOLDIER_LAST_FRAME = 5;
constexpr double SOLDIER_STANDING_FRAME = 2;
constexpr double SOLDIER_FRAMES_PER_FACING = 6;
constexpr double SOLDIER_TURNS_PER_PATROL = 1;   // rests when turns pass this

// Sets santa_status.hit on contact, unless Santa is shielded or already hit.
void test_hit(int strip, double frame, double x, double y)
{
    if (santa_status.hit == 0 && santa_status.shield == 0) {
        santa_status.hit = santa_touches(strip, to_int(frame), x, y) ? 1 : 0;
    }
}

void update_pudding(Pudding& p)
{
    if (screen_state.paused == 0) p.tick += 1;
    if (p.tick > PUDDING_MOVE_TICKS) {
        p.x += p.direction == RIGHT ? PUDDING_STEP : -PUDDING_STEP;
        p.tick = 0;
    }
    const Zone& zone = PUDDING_ZONES[to_int(p.zone)];
    if (p.x > zone.right) {
        p.x = zone.right;
        p.direction = LEFT;
    }
    if (p.x < zone.left) {
        p.x = zone.left;
        p.direction = RIGHT;
    }
    if (screen_state.paused == 0) p.frame += p.frame_direction == 0 ? 1 : -1;
    if (p.frame < 0) {
        p.frame = 0;
        p.frame_direction = 0;
    }
    if (p.frame > PUDDING_LAST_FRAME) {
        p.frame = PUDDING_LAST_FRAME;
        p.frame_direction = 1;
    }
    test_hit(ANIM_PUDDINGS, p.frame, p.x, p.y);
}

void draw_pudding(const Pudding& p)
{
    draw_anim(ANIM_PUDDINGS, to_int(p.frame), to_int(screen_state.scroll_x + p.x), to_int(p.y));
}

// Rest, or march 2 pixels every third frame with a new picture every ninth.
void march(Soldier& s)
{
    s.rest_timer += 1;
    double step = s.step_tick + 1;
    if (s.rest_timer <= SOLDIER_REST_FRAMES) s.frame = SOLDIER_STANDING_FRAME;
    if (s.rest_timer > SOLDIER_REST_FRAMES && step == SOLDIER_MARCH_STEP) {
        s.x += s.direction == RIGHT ? SOLDIER_STEP : -SOLDIER_STEP;
        s.frame_tick += 1;
    }
    if (s.frame_tick > SOLDIER_FRAME_TICKS) {
        s.frame_tick = 0;
        s.frame += 1;
    }
    if (s.frame > SOLDIER_LAST_FRAME) s.frame = 0;
    s.step_tick = step <= SOLDIER_LAST_STEP ? step : 0;
}

// A turn at either end of the zone; after a walk there and back, a rest.
void turn_at_zone_ends(Soldier& s)
{
    const Zone& zone = SOLDIER_ZONES[to_int(s.zone)];
    if (s.x > zone.right && s.direction == RIGHT) {
        s.x = zone.right;
        s.direction = LEFT;
        s.turns += 1;
    }
    if (s.x < zone.left && s.direction == LEFT) {
        s.x = zone.left;
        s.direction = RIGHT;
        s.turns += 1;
    }
    if (s.turns > SOLDIER_TURNS_PER_PATROL) {
        s.rest_timer = 0;
        s.turns = 0;
    }
}

double soldier_picture(const Soldier& s)
{
    return s.direction * SOLDIER_FRAMES_PER_FACING + s.frame;
}

void update_soldier(Soldier& s)
{
    if (screen_state.paused == 0) march(s);
    turn_at_zone_ends(s);
    test_hit(ANIM_SOLDIER, soldier_picture(s), s.x, s.y);
}

void draw_soldier(const Soldier& s)
{
    draw_anim(ANIM_SOLDIER, to_int(soldier_picture(s)), to_int(screen_state.scroll_x + s.x),
              to_int(s.y));
}

}   // namespace

void add_pudding(double x, double y, double direction)
{
    Pudding pudding{};
    pudding.x = x;
    pudding.y = y;
    pudding.direction = direction;
    pudding.frame = rnd(PUDDING_FRAMES);
    pudding.zone = x >= ZONE_SPLIT_X ? 1 : 0;
    array_append(puddings, pudding);
}

void add_soldier(double x, double direction, double rest_timer, double zone)
{
    Soldier soldier{};
    soldier.x = x;
    soldier.y = SOLDIER_Y;
    soldier.direction = direction;
    soldier.rest_timer = rest_timer;
    soldier.zone = zone;
    array_append(soldiers, soldier);
}

void update_puddings()
{
    for_each_record(puddings, update_pudding);
}

void draw_puddings()
{
    for_each_record(puddings, draw_pudding);
}

void update_soldiers()
{
    for_each_record(soldiers, update_soldier);
}

void draw_soldiers()
{
    for_each_record(soldiers, draw_soldier);
}
