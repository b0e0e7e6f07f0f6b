// Scenery moves on its own clocks: lights every 5 frames, presents and
// conveyor pictures every 3, snowflakes every 5.  Only the presents and the
// conveyors stop while the game is paused.
#include "game/play/scenery.h"

#include "core/numbers.h"
#include "game/media_ids.h"
#include "game/play/draw.h"
#include "game/play/world.h"
#include "media/sprites.h"

namespace {

constexpr double LIGHT_TICKS = 4;   // a step when tick passes this
constexpr double LIGHT_LAST_FRAME = 7;

constexpr double PRESENT_TICKS = 2;   // acts every third frame
constexpr double PRESENT_RIGHT = 0;
constexpr double PRESENT_LEFT = 1;
constexpr double PRESENT_DOWN = 2;
constexpr double PRESENT_STEP_X = 2;
constexpr double PRESENT_STEP_Y = 4;
constexpr double PRESENT_DROP_X = 290;     // past this a present drops
constexpr double PRESENT_LOWER_Y = 56;     // the lower belt, riding left
constexpr double PRESENT_RETURN_X = -20;   // past this it goes back up
constexpr double PRESENT_UPPER_Y = 16;
constexpr int PRESENT_LAST_PICTURE = 6;

constexpr double CONVEYOR_TICKS = 2;   // a picture shows for 3 frames
constexpr double CONVEYOR_LAST_FRAME = 4;

constexpr double SNOW_TICKS = 4;      // a flake falls every fifth frame
constexpr int SNOW_DRIFT_RANGE = 4;   // rnd of this, minus 2: -2..+2
constexpr double SNOW_DRIFT_OFFSET = 2;
constexpr double SNOW_MIN_X = 0;
constexpr double SNOW_MAX_X = 640;
constexpr double SNOW_BOTTOM_Y = 225;
constexpr int SNOW_LAST_SIZE = 2;
constexpr double SNOW_PARALLAX = 0.5;

constexpr int SKY_STRIP_WIDTH = 32;
constexpr double TREES_PARALLAX = 0.25;
constexpr int TREES_Y = 141;
constexpr int SNOWY_GROUND_Y = 226;
constexpr int SNOWY_GROUND_STEP = 20;   // two 10-pixel tiles per step
constexpr int SNOWY_GROUND_LEFT_TILE = 45;
constexpr int SNOWY_GROUND_RIGHT_TILE = 44;

void update_light(Light& light)
{
    light.tick += 1;
    if (light.tick > LIGHT_TICKS) {
        light.tick = 0;
        light.frame -= 1;
    }
    if (light.frame < 0) light.frame = LIGHT_LAST_FRAME;
}

void draw_light(const Light& light)
{
    draw_anim(ANIM_LIGHTS, to_int(light.frame), to_int(screen_state.scroll_x + light.x),
              to_int(light.y));
}

// Right along the top belt, down ten drops, left along the lower belt, then
// back to the top with a new picture.
void move_present(Present& p)
{
    if (p.tick + 1 <= PRESENT_TICKS) {
        p.tick += 1;
    } else {
        if (p.direction == PRESENT_RIGHT) p.x += PRESENT_STEP_X;
        if (p.direction == PRESENT_LEFT) p.x -= PRESENT_STEP_X;
        if (p.direction == PRESENT_DOWN) p.y += PRESENT_STEP_Y;
        p.tick = 0;
    }
    if (p.x > PRESENT_DROP_X) p.direction = PRESENT_DOWN;
    if (p.y == PRESENT_LOWER_Y) p.direction = PRESENT_LEFT;
    if (p.x < PRESENT_RETURN_X && p.y == PRESENT_LOWER_Y) {
        p.y = PRESENT_UPPER_Y;
        p.direction = PRESENT_RIGHT;
        p.picture = rnd(PRESENT_LAST_PICTURE);
    }
}

void update_present(Present& p)
{
    if (screen_state.paused == 0) move_present(p);
}

void draw_present(const Present& p)
{
    draw_anim(ANIM_PRESENT, to_int(p.picture), to_int(screen_state.scroll_x + p.x), to_int(p.y));
}

void update_conveyor(ConveyorSegment& c)
{
    if (screen_state.paused != 0) return;
    if (c.tick + 1 <= CONVEYOR_TICKS) {
        c.tick += 1;
    } else {
        c.frame += c.direction == 0 ? 1 : -1;
        c.tick = 0;
    }
    if (c.frame > CONVEYOR_LAST_FRAME) c.frame = 0;
    if (c.frame < 0) c.frame = CONVEYOR_LAST_FRAME;
}

void draw_conveyor(const ConveyorSegment& c)
{
    draw_anim(ANIM_CONVEYOR, to_int(c.frame + c.frame_base), to_int(screen_state.scroll_x + c.x),
              to_int(c.y));
}

void update_flake(Snowflake& f)
{
    if (f.tick + 1 > SNOW_TICKS) {
        f.tick = 0;
        f.y += f.size + 1;
        f.x += rnd(SNOW_DRIFT_RANGE) - SNOW_DRIFT_OFFSET;
    } else {
        f.tick += 1;
    }
    if (f.x < SNOW_MIN_X) f.x = SNOW_MIN_X;
    if (f.x > SNOW_MAX_X) f.x = SNOW_MAX_X;
    if (f.y > SNOW_BOTTOM_Y) {
        f.y = 0;
        f.size = rnd(SNOW_LAST_SIZE);
    }
}

void draw_flake(const Snowflake& f)
{
    draw_anim(ANIM_SNOW, to_int(f.size), to_int(SNOW_PARALLAX * screen_state.scroll_x + f.x),
              to_int(f.y));
}

}   // namespace

void update_lights()
{
    for_each_record(lights, update_light);
}

void draw_lights()
{
    for_each_record(lights, draw_light);
}

void update_presents()
{
    for_each_record(presents, update_present);
}

void draw_presents()
{
    for_each_record(presents, draw_present);
}

void update_conveyors()
{
    for_each_record(conveyors, update_conveyor);
}

void draw_conveyors()
{
    for_each_record(conveyors, draw_conveyor);
}

void update_snow()
{
    for_each_record(snowflakes, update_flake);
}

void draw_snow()
{
    for_each_record(snowflakes, draw_flake);
}

void draw_sky()
{
    for (int x = 0; x < VIRTUAL_WIDTH; x += SKY_STRIP_WIDTH) draw_anim(ANIM_SKY, 0, x, 0);
}

void draw_trees()
{
    draw_anim(ANIM_TREES, 0, to_int(TREES_PARALLAX * screen_state.scroll_x), TREES_Y);
}

void draw_winter_backdrop()
{
    draw_sky();
    draw_trees();
    for (int x = 0; x <= VIRTUAL_WIDTH; x += SNOWY_GROUND_STEP) {
        draw_anim(ANIM_TILES_LARGE, SNOWY_GROUND_LEFT_TILE, x, SNOWY_GROUND_Y);
        draw_anim(ANIM_TILES_LARGE, SNOWY_GROUND_RIGHT_TILE, x + SNOWY_GROUND_STEP / 2,
                  SNOWY_GROUND_Y);
    }
}
