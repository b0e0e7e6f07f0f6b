/*
 * test_frame.cpp - the runtime's spine: status, clock and pacing, start-up,
 * the frame cycle, the window and the 2D frame-start state.
 */
#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

#include "core/clock.h"
#include "core/errors.h"
#include "core/log.h"
#include "engine/frame.h"
#include "engine/window.h"
#include "media/renderer.h"
#include "media/screen_picture.h"
#include "support/harness.h"

namespace {

// --- status ------------------------------------------------------------------

TEST(Status, SetErrorTruncatesTowardZero)
{
    EXPECT_EQ(set_error(9.7), 9);
    EXPECT_EQ(runtime_status.status, 9);
    EXPECT_EQ(set_error(-1.5), -1);
    EXPECT_EQ(runtime_status.status, -1);
}

TEST(Status, TextsOfEveryCode)
{
    const std::pair<int, const char*> cases[] = {
        {0, "0000 success"},       {3, "0003 no such file"}, {7, "0007 out of memory"},
        {9, "0009 out of bounds"}, {20, "0020 out of data"}, {21, "0021 unknown error"},
        {8, "0008 unknown error"}};
    for (const auto& [code, text] : cases) {
        set_error(code);
        EXPECT_STREQ(status_text().c_str(), text) << code;
    }
}

TEST(Status, SetErrorRecordsTheCurrentLine)
{
    runtime_status.current_line = 42;
    set_error(3);
    EXPECT_EQ(runtime_status.error_line, 42);
    runtime_status.current_line = 0;
}

// --- clock and pacing ---------------------------------------------------------

TEST(Clock, FrameCapIntervals)
{
    EXPECT_DOUBLE_EQ(frame_interval_for(0), 2.0);
    EXPECT_DOUBLE_EQ(frame_interval_for(-3), 2.0);
    EXPECT_DOUBLE_EQ(frame_interval_for(0.9), 2.0);
    EXPECT_DOUBLE_EQ(frame_interval_for(60.9), 1000.0 / 60);
}

TEST(Clock, SleepTruncatesOnTheTestClock)
{
    use_test_clock(500);
    sleep_ms(2.9);
    EXPECT_DOUBLE_EQ(now_ms(), 502);
    sleep_ms(-4);
    EXPECT_DOUBLE_EQ(now_ms(), 502);
    use_real_clock();
}

TEST(Clock, FrameDeltaIsOneWhenTimesAreEqual)
{
    frame_times = {10, 10, 10};
    EXPECT_DOUBLE_EQ(frame_delta_ms(), 1.0);
    frame_times = {10, 30, 12.5};
    EXPECT_DOUBLE_EQ(frame_delta_ms(), 17.5);
}

TEST(Pacing, WaitsUntilTheDeadlinePasses)
{
    use_test_clock(1000);
    FramePacing pacing = {1016.5, 1000.0 / 60};
    pace_frame(pacing, nullptr);
    EXPECT_GT(now_ms(), 1016.5);
    EXPECT_LT(now_ms(), 1018.5);
    EXPECT_NEAR(pacing.next_deadline, 1016.5 + 1000.0 / 60, 1e-9);
    use_real_clock();
}

TEST(Pacing, LateFrameSkipsMissedDeadlines)
{
    use_test_clock(1100);
    FramePacing pacing = {1000, 1000.0 / 60};
    pace_frame(pacing, nullptr);
    // The first point of the old grid not earlier than now: 1000 + 6 intervals.
    const double next = 1000 + 6 * (1000.0 / 60);
    EXPECT_NEAR(pacing.next_deadline, next, 1e-6);
    EXPECT_LT(now_ms(), 1102);   // a late frame is not delayed further
    pace_frame(pacing, nullptr);
    EXPECT_GT(now_ms(), next);   // the next one waits for its deadline
    EXPECT_LT(now_ms(), next + 2);
    EXPECT_NEAR(pacing.next_deadline, next + 1000.0 / 60, 1e-6);
    use_real_clock();
}

TEST(Pacing, UncappedIntervalIsTwoMilliseconds)
{
    use_test_clock(0);
    FramePacing pacing = {0, frame_interval_for(0)};
    for (int frame = 0; frame < 10; ++frame) pace_frame(pacing, nullptr);
    EXPECT_NEAR(now_ms(), 19, 1.5);
    use_real_clock();
}

int pump_calls = 0;

TEST(Pacing, EventsArePumpedOncePerFrame)
{
    use_test_clock(1000);
    pump_calls = 0;
    FramePacing pacing = {1000, 1000.0 / 60};
    for (int frame = 0; frame < 10; ++frame) pace_frame(pacing, [] { ++pump_calls; });
    EXPECT_EQ(pump_calls, 10);
    use_real_clock();
}

TEST(Pacing, FramesStayOnTheDeadlineGrid)
{
    use_test_clock(1000);
    const double interval = 1000.0 / 60;
    FramePacing pacing = {1000, interval};
    for (int frame = 0; frame < 600; ++frame) pace_frame(pacing, nullptr);
    EXPECT_NEAR(pacing.next_deadline, 1000 + 600 * interval, 1e-6);
    // Each frame ends within a whole step past its deadline, never later.
    EXPECT_GT(now_ms(), 1000 + 599 * interval);
    EXPECT_LE(now_ms(), 1000 + 599 * interval + 1);
    use_real_clock();
}

// --- the running runtime ------------------------------------------------------

void no_settings() {}
void no_game() {}

int start_without_display()
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_VIDEODRIVER", "x11", 1);
    static const GameTable entry = {no_settings, no_game, nullptr, nullptr,
                                    nullptr,     nullptr, nullptr};
    // The build folder holds the game's data, so only the display is missing.
    std::string data_dir = SNOW_BINARY_DIR;
    char* argv[] = {const_cast<char*>("snowbelter"), const_cast<char*>("--data-dir"),
                    data_dir.data()};
    return runtime_main(3, argv, entry);
}

TEST(Startup, WithoutADisplayItSaysWhyAndExitsNonzero)
{
    // A fresh process: this test program's own window must not be reused.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(start_without_display()), ::testing::ExitedWithCode(1),
                "snowbelter: cannot start: ");
}

std::string read_log()
{
    std::ifstream file(log_path());
    std::stringstream text;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text << line << '|';
    }
    return text.str();
}

// Runs inside a death test's child: the log is only complete after the
// shut-down, so print it from an exit handler.
void print_log_at_exit()
{
    std::atexit([] { std::fprintf(stderr, "[log %s]\n", read_log().c_str()); });
}

// A window event of that kind, as SDL hands it to the window handler.
SDL_Event window_event(Uint8 which)
{
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.event = which;
    return event;
}

class Frame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(start_test_runtime()) << "no display or GL context";
        release_all_keys();
        allow_escape(1);
    }

    // With the pause while inactive on, hands the window handler an event
    // that pauses the game and checks the caption says so.
    SDL_Event pause_with(Uint8 which)
    {
        set_auto_pause(1);
        SDL_Event event = window_event(which);
        window_proc(event);
        EXPECT_TRUE(runtime_paused());
        EXPECT_STREQ(SDL_GetWindowTitle(screen_window()), "snowbelter <pause>");
        return event;
    }
};

TEST_F(Frame, StartupWritesItsLogLinesInOrder)
{
    std::string log = read_log();
    EXPECT_EQ(log.find("snowbelter 1.0.0|Init GFX|"), 0u) << log;
    EXPECT_NE(log.find("|Init Finalized|"), std::string::npos) << log;
    EXPECT_LT(log.find("Init GFX"), log.find("Init Finalized"));
}

TEST_F(Frame, CloseBoxEndsWithShutdownLoggedLast)
{
    EXPECT_EXIT(
        {
            print_log_at_exit();
            SDL_Event quit = {};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            show_screen();
        },
        ::testing::ExitedWithCode(0),
        "\\[log snowbelter 1.0.0\\|Init GFX\\|.*Init Finalized\\|.*Shut down MRV\\|\\]");
}

TEST_F(Frame, AltF4EndsTheProgramWithStatusZero)
{
    EXPECT_EXIT(
        {
            allow_escape(0);
            set_error(9);
            std::atexit([] { std::fprintf(stderr, "[status %d]\n", runtime_status.status); });
            hold_key(56);
            hold_key(62);
            show_screen();
        },
        ::testing::ExitedWithCode(0), "\\[status 0\\]");
}

TEST_F(Frame, EscapeOnlyQuitsWhenAllowed)
{
    allow_escape(0);
    hold_key(1);
    run_frames(3);   // still here
    hold_key(129);
    run_frames(1);
    release_all_keys();
    EXPECT_EXIT(
        {
            allow_escape(1);
            hold_key(1);
            show_screen();
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(Frame, LosingFocusPausesAndShowsItInTheCaption)
{
    SDL_Event event = pause_with(SDL_WINDOWEVENT_FOCUS_LOST);

    // show_screen holds in its 100 ms sleep loop until the focus returns.
    event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    SDL_PushEvent(&event);
    double before = now_ms();
    show_screen();
    EXPECT_FALSE(runtime_paused());
    EXPECT_GE(now_ms() - before, 100);
    EXPECT_STREQ(SDL_GetWindowTitle(screen_window()), "snowbelter");
    set_auto_pause(0);
}

TEST_F(Frame, HidingPausesAndShowingResumesOnlyWithTheFocus)
{
    SDL_Event event = pause_with(SDL_WINDOWEVENT_HIDDEN);

    // Shown again: the pause lasts exactly as long as the focus is away.
    const bool focused = (SDL_GetWindowFlags(screen_window()) & SDL_WINDOW_INPUT_FOCUS) != 0;
    event.window.event = SDL_WINDOWEVENT_SHOWN;
    window_proc(event);
    EXPECT_EQ(runtime_paused(), !focused);
    event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    window_proc(event);
    EXPECT_FALSE(runtime_paused());
    EXPECT_STREQ(SDL_GetWindowTitle(screen_window()), "snowbelter");
    set_auto_pause(0);
}

TEST_F(Frame, FramesArePacedToTheCap)
{
    limit_fps(60);
    run_frames(2);
    double before = now_ms();
    run_frames(60);
    EXPECT_NEAR(now_ms() - before, 1000, 17);
}

int frame_hook_calls = 0;

TEST_F(Frame, SetScreenRunsFiveFrameCycles)
{
    frame_hook_calls = 0;
    set_test_frame_hook([] { ++frame_hook_calls; });
    set_screen(0, 0, 0);   // 0 keeps the current size
    set_test_frame_hook(nullptr);
    EXPECT_EQ(frame_hook_calls, 5);
    EXPECT_EQ(renderer->screen_width, 320);
    EXPECT_EQ(renderer->screen_height, 240);
}

TEST_F(Frame, FullScreenKeepsTheGameScreenSizeAndTextures)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);   // a name becomes a texture when bound
    glBindTexture(GL_TEXTURE_2D, 0);
    set_screen(320, 240, 1);
    EXPECT_TRUE(window_is_fullscreen());
    EXPECT_EQ(renderer->screen_width, 320);
    EXPECT_TRUE(glIsTexture(texture));
    int x, y, w, h;
    screen_rect_in_window(&x, &y, &w, &h);
    EXPECT_EQ(w * 240, h * 320);   // square pixels
    EXPECT_EQ(w % 160, 0);         // whole steps of a half
    set_screen(320, 240, 0);
    EXPECT_FALSE(window_is_fullscreen());
    EXPECT_TRUE(glIsTexture(texture));
    glDeleteTextures(1, &texture);
}

// --- the 2D state --------------------------------------------------------------

TEST_F(Frame, ViewportCountsFromTheTopLeft)
{
    set_viewport(10, 20, 100, 50);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 10);
    EXPECT_EQ(viewport[1], 170);
    EXPECT_EQ(viewport[2], 100);
    EXPECT_EQ(viewport[3], 50);
    int x, y, w, h;
    get_viewport(&x, &y, &w, &h);
    EXPECT_EQ(w, 100);
    set_viewport(0, 0, 0, 0);
    get_viewport(&x, &y, &w, &h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
}

void fill_rect(int x, int y, int w, int h, float r, float g, float b)
{
    glDisable(GL_TEXTURE_2D);
    glColor4f(r, g, b, 1);
    glBegin(GL_QUADS);
    glVertex2i(x, y);
    glVertex2i(x + w, y);
    glVertex2i(x + w, y + h);
    glVertex2i(x, y + h);
    glEnd();
    glColor4f(1, 1, 1, 1);
}

unsigned pixel_at(int x, int y)
{
    unsigned char rgba[4] = {};
    glReadPixels(x, renderer->screen_height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return rgba[0] | rgba[1] << 8 | rgba[2] << 16;
}

TEST_F(Frame, EveryFrameStartsBlackWithSmoothingOnAndBlendingOff)
{
    fill_rect(0, 0, 50, 50, 1, 0, 0);
    EXPECT_EQ(pixel_at(10, 10), 0x0000FFu);
    set_smoothing(0);
    set_alpha_mode(-0.5);
    show_screen();
    EXPECT_EQ(pixel_at(10, 10), 0u);
    EXPECT_TRUE(renderer->smoothing);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FLOAT_EQ(renderer->alpha, 1.0f);
}

TEST_F(Frame, AlphaModeSwitches)
{
    set_alpha_mode(0.5);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FLOAT_EQ(renderer->alpha, 0.5f);
    set_alpha_mode(2);
    EXPECT_FLOAT_EQ(renderer->alpha, 1.0f);
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(destination, GL_ONE);
    set_alpha_mode(-0.5);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
    set_alpha_mode(0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

}   // namespace
