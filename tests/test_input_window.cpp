// The mouse over a real window (Xvfb): window coordinates turned into the
// game's screen pixels when the picture is shown scaled, the cursor moved to
// the stored position when it is shown again, and a hidden cursor's movement
// scaled down to screen pixels.

#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/frame.h"
#include "engine/window.h"
#include "media/input.h"
#include "media/screen_picture.h"
#include "support/harness.h"

namespace {

const int SCREEN_W = 320;
const int SCREEN_H = 240;
const int WINDOW_SCALE = 2;

class WindowMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(start_test_runtime(SCREEN_W, SCREEN_H)) << "no display";
        SDL_Window* window = screen_window();
        SDL_SetWindowSize(window, SCREEN_W * WINDOW_SCALE, SCREEN_H * WINDOW_SCALE);
        int w = 0, h = 0;
        for (int tries = 0; tries < 200; ++tries) {
            pump_messages();
            SDL_GetWindowSize(window, &w, &h);
            if (w == SCREEN_W * WINDOW_SCALE && h == SCREEN_H * WINDOW_SCALE) break;
            SDL_Delay(5);
        }
        int x, y, rect_w, rect_h;
        screen_rect_in_window(&x, &y, &rect_w, &rect_h);
        if (rect_w != SCREEN_W * WINDOW_SCALE || rect_h != SCREEN_H * WINDOW_SCALE)
            GTEST_SKIP() << "the window did not take the doubled size";
    }

    // Moves the system cursor inside the window and lets its events arrive.
    static void warp(int window_x, int window_y)
    {
        SDL_WarpMouseInWindow(screen_window(), window_x, window_y);
        settle();
    }
    static void settle()
    {
        for (int i = 0; i < 20; ++i) {
            SDL_Delay(2);
            pump_messages();
        }
        poll_keyboard();   // makes the movement due
    }
    static void read(double* x, double* y)
    {
        double left, right;
        mouse_state(x, y, &left, &right);
    }
};

TEST_F(WindowMouse, VisibleCursorIsReportedInScreenPixels)
{
    show_mouse_cursor(1);
    warp(200, 100);
    double x, y;
    read(&x, &y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
}

TEST_F(WindowMouse, ShowingAHiddenCursorPutsItAtTheStoredPosition)
{
    show_mouse_cursor(0);
    set_mouse(30, 40);
    show_mouse_cursor(1);
    settle();
    int window_x = -1, window_y = -1;
    SDL_GetMouseState(&window_x, &window_y);
    EXPECT_EQ(window_x, 30 * WINDOW_SCALE);
    EXPECT_EQ(window_y, 40 * WINDOW_SCALE);
    double x, y;
    read(&x, &y);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
}

TEST_F(WindowMouse, HiddenCursorMovementIsScaledToScreenPixels)
{
    show_mouse_cursor(0);
    set_mouse(160, 120);
    double x, y;
    read(&x, &y);
    // A movement of 40 right and 10 up in window units, through the event pump.
    SDL_Event motion = {};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = SDL_GetWindowID(screen_window());
    motion.motion.xrel = 40;
    motion.motion.yrel = -10;
    SDL_PushEvent(&motion);
    settle();
    read(&x, &y);
    EXPECT_EQ(x, 160 + 40 / WINDOW_SCALE);
    EXPECT_EQ(y, 120 - 10 / WINDOW_SCALE);
}

}   // namespace
