// Sky, pines, fairy lights and conveyor belts, drawn by code.
#include "scenery_art.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;

// A small fixed-seed generator, so every build draws the same forest.
struct Dice {
    uint32_t state;
    int below(int n)
    {
        state = state * 1664525u + 1013904223u;
        return int((state >> 16) % uint32_t(n));
    }
};

// --- sky -------------------------------------------------------------------

constexpr int SKY_WIDTH = 32;
constexpr int SKY_HEIGHT = 240;
constexpr int SKY_BAND = 6;          // the gradient steps every 6 rows
constexpr int SNOWFIELD_TOP = 213;   // far snow behind the pines

struct Star {
    int x, y;
    bool large;   // a small cross rather than a point
};
const Star STARS[] = {{6, 13, true},  {22, 31, false}, {14, 57, false},
                      {27, 78, true}, {3, 96, false},  {18, 121, false}};

Rgba sky_colour(const Palette& pal, int y)
{
    const double t = double(y - y % SKY_BAND) / SNOWFIELD_TOP;
    if (t < 0.45) return mix(named(pal, "night-0"), named(pal, "night-1"), t / 0.45);
    return mix(named(pal, "night-1"), named(pal, "night-2"), (t - 0.45) / 0.55);
}

void draw_star(Picture& p, const Palette& pal, const Star& s)
{
    set_pixel(p, s.x, s.y, named(pal, s.large ? "white" : "ice"));
    if (!s.large) return;
    const Rgba arm = named(pal, "ice");
    set_pixel(p, s.x - 1, s.y, arm);
    set_pixel(p, s.x + 1, s.y, arm);
    set_pixel(p, s.x, s.y - 1, arm);
    set_pixel(p, s.x, s.y + 1, arm);
}

// --- pines -----------------------------------------------------------------

constexpr int TREES_WIDTH = 396;
constexpr int TREES_HEIGHT = 89;
constexpr int TREES_CLEAR_EDGE = 12;   // kept free of trees at the right end

struct PineColours {
    Rgba body, lit, snow, snow_shade, trunk;
};

// One pine: tiers of branches, each wider than the one above, snow on top
// of every tier and on the branch tips.
void draw_pine(Picture& p, const PineColours& c, int cx, int base, int height)
{
    const int trunk = 3;
    const int canopy = height - trunk;
    const int tiers = 3 + height / 22;
    const int top = base - height;
    const double max_half = height * 0.27 + 2;
    for (int y = top; y < base - trunk + 1; ++y) {
        const double along = double(y - top) / canopy * tiers;
        const int tier = std::min(int(along), tiers - 1);
        const double within = along - tier;
        const double tier_half = max_half * (tier + 1.0) / tiers;
        // Never negative, so adding a half rounds to nearest.
        const int half =
            int(tier_half * (0.35 + 0.65 * within) + 0.5);   // NOLINT(bugprone-incorrect-roundings)
        for (int x = cx - half; x <= cx + half; ++x) {
            Rgba colour = x < cx - half / 3 ? c.lit : c.body;
            if (within < 0.22 && tier > 0) colour = (x + y) % 3 == 0 ? c.snow_shade : c.snow;
            if (y == top) colour = c.snow;
            if (within > 0.8 && (x == cx - half || x == cx + half)) colour = c.snow;
            set_pixel(p, x, y, colour);
        }
    }
    fill_rect(p, cx - 1, base - trunk, 2, trunk, c.trunk);
}

void draw_pine_row(Picture& p, const PineColours& c, Dice& dice, int base, int min_height,
                   int height_range, int min_step, int step_range)
{
    for (int x = 6 + dice.below(8); x < TREES_WIDTH - TREES_CLEAR_EDGE;
         x += min_step + dice.below(step_range)) {
        const int height = min_height + dice.below(height_range);
        const int half = int(height * 0.27 + 2);
        if (x + half < TREES_WIDTH - TREES_CLEAR_EDGE)
            draw_pine(p, c, x, base - dice.below(4), height);
    }
}

// --- fairy lights ----------------------------------------------------------

constexpr int LIGHTS_WIDTH = 65;
constexpr int LIGHTS_HEIGHT = 25;
constexpr int LIGHT_FRAMES = 8;
constexpr int BULBS = 8;
constexpr int BULB_COLOURS = 4;
constexpr double WIRE_SAG = 11.0;

double wire_y(double x)
{
    const double u = (x - 32.0) / 30.0;
    return 1.0 + WIRE_SAG * (1.0 - u * u);
}

struct BulbColour {
    Rgba lit, dark;
};

BulbColour bulb_colour(const Palette& pal, int group)
{
    const Rgba white = named(pal, "white"), night = named(pal, "night-0");
    switch (group) {
    case 0: return {named(pal, "red-light"), named(pal, "red-dark")};
    case 1: return {named(pal, "gold"), mix(named(pal, "gold"), night, 0.55)};
    case 2: return {mix(named(pal, "green"), white, 0.45), named(pal, "green-dark")};
    default:
        return {mix(named(pal, "blue-coat"), white, 0.45),
                mix(named(pal, "blue-coat"), night, 0.45)};
    }
}

// A bulb hanging under the wire at (x, y): a metal cap and a rounded glass.
void draw_bulb(Picture& p, const Palette& pal, int x, int y, const BulbColour& c, bool lit)
{
    set_pixel(p, x, y + 1, named(pal, "stone-light"));
    set_pixel(p, x + 1, y + 1, named(pal, "stone"));
    const Rgba glass = lit ? c.lit : c.dark;
    fill_rect(p, x - 1, y + 2, 4, 3, glass);
    fill_rect(p, x, y + 5, 2, 1, glass);
    if (lit) {
        set_pixel(p, x, y + 3, named(pal, "white"));
        const Rgba halo = mix(c.lit, named(pal, "night-1"), 0.55);
        for (int k = 0; k < 2; ++k) {
            set_pixel(p, x - 2, y + 3 + k, halo);
            set_pixel(p, x + 3, y + 3 + k, halo);
        }
        fill_rect(p, x, y + 6, 2, 1, halo);
    }
}

Picture lights_frame(const Palette& pal, int frame)
{
    Picture p = make_picture(LIGHTS_WIDTH, LIGHTS_HEIGHT);
    const Rgba wire = named(pal, "green-dark");
    int last_y = int(wire_y(2));
    for (int x = 2; x <= 62; ++x) {
        const int y = int(std::lround(wire_y(x)));
        for (int yy = std::min(y, last_y); yy <= std::max(y, last_y); ++yy)
            set_pixel(p, x, yy, wire);
        last_y = y;
    }
    for (int side = 0; side < 2; ++side)   // the hooks the wire hangs from
        fill_rect(p, side ? 61 : 1, 0, 3, 2, named(pal, "stone-light"));
    for (int i = 0; i < BULBS; ++i) {
        const int x = 6 + i * 53 / (BULBS - 1);
        const int group = i % BULB_COLOURS;
        draw_bulb(p, pal, x, int(std::lround(wire_y(x + 0.5))), bulb_colour(pal, group),
                  group == frame % BULB_COLOURS);
    }
    return p;
}

// --- conveyor --------------------------------------------------------------

constexpr int CONVEYOR_WIDTH = 12;
constexpr int CONVEYOR_HEIGHT = 14;
constexpr int BELT_FRAMES = 5;
constexpr int BELT_PERIOD = 10;   // equals the cell pitch, so neighbours join
constexpr int BELT_STEP = 2;      // pixels the belt moves per frame

struct BeltColours {
    Rgba rubber, stud, housing, housing_light, roller, hub, outline, drum;
};

BeltColours belt_colours(const Palette& pal)
{
    return {named(pal, "outline"),    named(pal, "stone-light"), named(pal, "wood"),
            named(pal, "wood-light"), named(pal, "stone-light"), named(pal, "outline"),
            named(pal, "outline"),    named(pal, "stone")};
}

// A stud of the belt at x, moving by `shift` pixels.
bool stud_at(int x, int shift)
{
    const int u = ((x - shift) % BELT_PERIOD + BELT_PERIOD) % BELT_PERIOD;
    return u < 2;
}

// A roller of radius 2 at (cx, cy) whose spoke turns with the frame.
void draw_roller(Picture& p, const BeltColours& c, int cx, int cy, int frame)
{
    fill_rect(p, cx - 1, cy - 2, 3, 5, c.roller);
    fill_rect(p, cx - 2, cy - 1, 5, 3, c.roller);
    const double angle = frame * 2 * PI / BELT_FRAMES;
    set_pixel(p, cx, cy, c.hub);
    set_pixel(p, cx + int(std::lround(1.6 * std::cos(angle))),
              cy + int(std::lround(1.6 * std::sin(angle))), c.hub);
}

Picture belt_segment(const BeltColours& c, int frame)
{
    Picture p = make_picture(CONVEYOR_WIDTH, CONVEYOR_HEIGHT);
    const int shift = frame * BELT_STEP;
    for (int x = 0; x < CONVEYOR_WIDTH; ++x) {
        set_pixel(p, x, 0, stud_at(x, shift) ? c.stud : c.rubber);
        set_pixel(p, x, 1, c.rubber);
        for (int y = 2; y < 8; ++y) set_pixel(p, x, y, y == 2 ? c.housing_light : c.housing);
        set_pixel(p, x, 8, stud_at(x, -shift) ? c.stud : c.rubber);
        set_pixel(p, x, 9, c.outline);
    }
    for (int cx = 5; cx < CONVEYOR_WIDTH; cx += BELT_PERIOD) draw_roller(p, c, cx, 5, frame);
    return p;
}

// The right end: the belt runs round a drum and back underneath.
Picture belt_end(const BeltColours& c, int frame)
{
    Picture p = belt_segment(c, frame);
    fill_rect(p, 6, 0, CONVEYOR_WIDTH - 6, CONVEYOR_BELT_ROWS, CLEAR);
    const double cx = 5.5, cy = 4.5;
    for (int y = 0; y < CONVEYOR_BELT_ROWS; ++y)
        for (int x = 6; x < CONVEYOR_WIDTH; ++x) {
            const double d = std::hypot(x - cx, y - cy);
            if (d > 5.2) continue;
            const double along = std::atan2(y - cy, x - cx) * 5.0 + frame * BELT_STEP;
            const bool stud = int(std::floor(along)) % BELT_PERIOD == 0;
            set_pixel(p, x, y, d > 4.2 ? (stud ? c.stud : c.rubber) : c.drum);
        }
    draw_roller(p, c, 7, 5, frame);
    return p;
}

}   // namespace

Strip build_sky(const Palette& pal)
{
    Strip s = make_strip("sky.png", SKY_WIDTH, SKY_HEIGHT, 1, 1);
    Picture p = make_picture(SKY_WIDTH, SKY_HEIGHT);
    for (int y = 0; y < SKY_HEIGHT; ++y) {
        Rgba c = sky_colour(pal, y);
        if (y >= SNOWFIELD_TOP) c = y == SNOWFIELD_TOP ? named(pal, "snow") : named(pal, "ice");
        fill_rect(p, 0, y, SKY_WIDTH, 1, c);
    }
    for (const Star& star : STARS) draw_star(p, pal, star);
    set_frame(s, 0, p);
    return s;
}

Strip build_trees(const Palette& pal)
{
    Strip s = make_strip("trees.png", TREES_WIDTH, TREES_HEIGHT, 1, 1);
    Picture p = make_picture(TREES_WIDTH, TREES_HEIGHT);
    const Rgba night1 = named(pal, "night-1"), night2 = named(pal, "night-2");
    const PineColours far{
        mix(named(pal, "green-dark"), night1, 0.55), mix(named(pal, "green-dark"), night2, 0.45),
        mix(named(pal, "snow"), night2, 0.45), mix(named(pal, "ice"), night2, 0.5),
        mix(named(pal, "wood-dark"), night1, 0.5)};
    const PineColours near{named(pal, "green-dark"), named(pal, "green"), named(pal, "snow"),
                           named(pal, "ice"), named(pal, "wood-dark")};
    Dice dice{20241224u};
    draw_pine_row(p, far, dice, 80, 26, 18, 13, 9);
    draw_pine_row(p, near, dice, 86, 42, 36, 26, 20);
    set_frame(s, 0, p);
    return s;
}

Strip build_lights(const Palette& pal)
{
    Strip s = make_strip("lights.png", LIGHTS_WIDTH, LIGHTS_HEIGHT, LIGHT_FRAMES, LIGHT_FRAMES);
    for (int f = 0; f < LIGHT_FRAMES; ++f) set_frame(s, f, lights_frame(pal, f));
    return s;
}

Strip build_conveyor(const Palette& pal)
{
    Strip s = make_strip("conveyor.png", CONVEYOR_WIDTH, CONVEYOR_HEIGHT, 2 * BELT_FRAMES,
                         2 * BELT_FRAMES);
    const BeltColours c = belt_colours(pal);
    for (int f = 0; f < BELT_FRAMES; ++f) {
        set_frame(s, f, belt_segment(c, f));
        set_frame(s, BELT_FRAMES + f, belt_end(c, f));
    }
    return s;
}
