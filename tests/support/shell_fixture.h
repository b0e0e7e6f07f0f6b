/*
 * shell_fixture.h - the game's screens under test, driven frame by frame:
 * a 320 x 240 window in a scratch folder whose media/gfx/ holds small test
 * pictures and one sound (everything else is missing on purpose), a frame
 * script run at the start of every show_screen, and the pixels read back.
 *
 * Each test picture is one colour, and each frame of the test font is one
 * opaque pixel at its cell's top-left corner in a colour that names the
 * frame, so a pixel tells which picture, or which letter, covers it.
 *
 * Shell is the fixture those tests share: each test starts from the state
 * game_main leaves before the menu and leaves no frame hook or key behind.
 *
 * Callers: the screens' tests (draw, start-up, menu, key screen, story,
 * options).  Not for: the round's tests (play_fixture.h) or production code.
 */
#pragma once

#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>

// --- Test pictures ---------------------------------------------------------

struct Rgb {
    int r, g, b;
    int value() const { return r + 256 * g + 65536 * b; }
};

// The one colour of each test picture.
constexpr Rgb SKY{20, 30, 90};
constexpr Rgb TREES{30, 120, 40};
constexpr Rgb TITLE{230, 40, 50};
constexpr Rgb PUDDING{120, 60, 20};
constexpr Rgb GROUND_LEFT{200, 200, 210};
constexpr Rgb GROUND_RIGHT{150, 150, 170};

// The colour that names a frame of the test font, the frame of an ASCII
// letter, and the colour that names that letter.
Rgb frame_colour(int frame);
int ascii_frame(char letter);
Rgb letter_colour(char letter);

// --- Scripts ---------------------------------------------------------------

// A frame script: on_show runs at the start of every show_screen with the
// number of that call.  Runaway screens are stopped by holding the keys that
// leave every screen.
struct Script {
    int shown = 0;
    int limit = 2000;
    std::function<void(int)> on_show;
};
extern Script script;

// Releases every key, then holds these.
void hold_only(std::initializer_list<int> codes);

// Starts a fresh script with on_show (which may be null) as the frame hook.
void start_script(std::function<void(int)> on_show);

// Moves into the test media's folder and loads them as start-up does.
void load_test_media();

// Brings the shell to the state game_main leaves before the menu, on a
// 320 x 240 window, on a device that is not the desktop (no doubling).
void prepare_shell(const char* device = "TEST");

class Shell : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// --- Pixels ----------------------------------------------------------------

// The pixel (x, y) of the 320 x 240 picture as the frame being presented
// has it.
int pixel(int x, int y);

// The pixel (x, y) of the frame presented last as the desktop's 640 x 480
// window shows it.
int shown_pixel(int x, int y);

// --- Whole games in a child process ----------------------------------------

// Leaving the program from a screen the script did not expect fails the
// death test through a nonzero exit code.
[[noreturn]] void fail_child(const char* why);
