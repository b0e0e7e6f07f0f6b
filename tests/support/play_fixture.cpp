// Stand-in strips are written as PNG files into a scratch folder and loaded
// through the game's own loader, so the sprite entries are exactly what a
// real start-up makes of them.
#include "support/play_fixture.h"

#include <string>
#include <vector>

#include "core/numbers.h"
#include "engine/frame.h"
#include "game/play/assists.h"
#include "game/play/glyphs.h"
#include "game/play/hazards.h"
#include "game/play/round.h"
#include "game/play/santa.h"
#include "game/play/sleigh.h"
#include "game/shell/menu.h"
#include "game/shell/startup.h"
#include "media/grabs.h"
#include "media/image.h"
#include "media/sprites.h"
#include "support/harness.h"
#include "support/scratch_folder.h"

namespace {

struct StandIn {
    int id;
    int frame_width;
    int frame_height;
    int frames;
};

constexpr int FRAMES_PER_ROW = 8;

const StandIn STAND_INS[] = {
    {ANIM_SANTA, 38, 35, 32},
    {ANIM_LADDER, 20, 107, 1},
    {ANIM_PUDDINGS, 24, 26, 9},
    {ANIM_SOLDIER, 31, 29, 12},
    {ANIM_SLEIGH, 17, 24, 8},
    {ANIM_DEER, 27, 31, 4},
    {ANIM_FONT, 9, 11, FONT_FRAME_COUNT},
};

// A strip whose every pixel is opaque, coloured (frame, 255, 255).
bool load_stand_in(const ScratchFolder& folder, const StandIn& strip)
{
    int columns = strip.frames < FRAMES_PER_ROW ? strip.frames : FRAMES_PER_ROW;
    int rows = (strip.frames + FRAMES_PER_ROW - 1) / FRAMES_PER_ROW;
    int width = columns * strip.frame_width;
    int height = rows * strip.frame_height;
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4, 255);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int frame = (y / strip.frame_height) * columns + x / strip.frame_width;
            pixels[(static_cast<size_t>(y) * width + x) * 4] = static_cast<unsigned char>(frame);
        }
    }
    std::string path = folder.file("strip" + std::to_string(strip.id) + ".png");
    if (!write_png(path.c_str(), pixels.data(), width, height)) return false;
    load_anim(path.c_str(), strip.id, strip.frame_width, strip.frame_height);
    int w = 0, h = 0;
    get_sprite_size(strip.id, &w, &h);
    return w == width && h == height;
}

bool load_stand_ins()
{
    static ScratchFolder folder;
    for (const StandIn& strip : STAND_INS) {
        if (!load_stand_in(folder, strip)) return false;
    }
    return true;
}

}   // namespace

bool start_play_runtime()
{
    static bool ready = start_test_runtime() && load_stand_ins();
    allow_escape(0);   // as the game's start-up does: Escape is the round's key
    // Test programs share one display; a window that loses the focus to
    // another test's window must not stop and wait for it to come back.
    set_auto_pause(0);
    return ready;
}

void reset_play_state(uint32_t seed)
{
    clear_round_lists();
    release_all_keys();
    if (array_count(level_map) == 0) create_arrays();
    if (array_count(snowflakes) == 0) create_snowflakes();
    reload_level_map();
    device_name = "TEST";
    bindings = DEFAULT_BINDINGS;
    assists = DEFAULT_ASSISTS;
    screen_state = ScreenState{Screen::round, SCROLL_RIGHT_END, 0, 0, 0, 0};
    round_clock.ticks = 0;
    round_clock.game_over_countdown = 0;
    santa_status.x = santa_status.y = santa_status.shield = 0;
    seed_rnd(seed);
}

void start_test_round(uint32_t seed)
{
    reset_play_state(seed);
    build_round();
}

Santa& santa()
{
    return array_at(santa_list, 0);
}

int play_frames(int n)
{
    for (int i = 0; i < n; ++i) {
        if (play_round_frame() != RoundOutcome::playing) return i + 1;
    }
    return n;
}

int play_until(bool (*done)(), int limit)
{
    for (int i = 0; i < limit; ++i) {
        if (done()) return i;
        play_round_frame();
    }
    return done() ? limit : -1;
}

void place_santa(double x, double y, double scroll)
{
    Santa& s = santa();
    s.x = x;
    s.y = y;
    s.shield = 0;
    s.blink = 0;
    screen_state.scroll_x = scroll;
    santa_status.x = x;
    santa_status.y = y;
    santa_status.shield = 0;
}

int frame_seen_at(int x, int y)
{
    int colour = get_pixel(x, y);
    int red = colour & 0xFF;
    int green_and_blue = colour >> 8;
    return green_and_blue == 0xFFFF ? red : -1;
}

void carry_last_part_to_the_sleigh(int last)
{
    for (int id = 0; id < PARTS_IN_SLEIGH; ++id) {
        if (id == last) continue;
        SleighPart& part = array_at(sleigh_parts, id);
        part.x = sleigh_slot_x(id);
        part.y = sleigh_slot_y(id);
        part.state = 0;
    }
    finale.parts_fitted = PARTS_IN_SLEIGH - 1;
    santa_status.carried_part = last;
    place_santa(SANTA_START_X, MIDDLE_FLOOR_Y, SCROLL_LEFT_END);
}

void remove_hazards()
{
    while (array_count(puddings) > 0) array_delete(puddings, 0);
    while (array_count(soldiers) > 0) array_delete(soldiers, 0);
}

void expect_after_frames(const double& watched, std::initializer_list<FrameStep> steps)
{
    int played = 0;
    for (const FrameStep& step : steps) {
        play_frames(step.frames);
        played += step.frames;
        EXPECT_EQ(watched, step.expected) << "after " << played << " frames";
    }
}

void expect_bindings(const KeyBindings& expected)
{
    for (int i = 0; i < BINDING_COUNT; ++i) {
        EXPECT_EQ(key_binding(i), expected.*BINDING_ORDER[i]) << "binding " << i;
    }
}

void PlayTest::SetUp()
{
    ASSERT_TRUE(start_play_runtime());
    start_test_round(round_.seed);
    if (!round_.with_hazards) remove_hazards();
}

void PlayTest::TearDown()
{
    set_test_frame_hook(nullptr);
    reset_play_state();
}
