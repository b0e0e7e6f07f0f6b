// Gamepads as the player's keys, with SDL's virtual joystick standing in for
// a real pad: the bound actions, the stick's dead zone, the key screen, a
// round played and paused by pad alone, and a pad pulled out mid-round.
// The page's touch controls, a pad of their own, hold the same keys.
#include <SDL.h>
#include <cstdlib>
#include <gtest/gtest.h>

#include "engine/frame.h"
#include "game/play/round.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/key_names.h"
#include "game/shell/keys_screen.h"
#include "game/shell/menu.h"
#include "game/shell/startup.h"
#include "media/gamepad.h"
#include "media/input.h"
#include "media/keymap.h"
#include "support/harness.h"
#include "support/play_fixture.h"

namespace {

class Gamepad : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The test window rarely has the focus on a shared X server.
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
        ASSERT_TRUE(start_play_runtime());
        reset_play_state();
        set_pad_action_keys(pad_key);
        use_player_keys(true);
        attach();
    }
    void TearDown() override
    {
        if (pad) detach();
        use_player_keys(false);
        set_pad_action_keys(nullptr);
    }

    void attach()
    {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        device = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(device, 0) << SDL_GetError();
        pad = SDL_JoystickOpen(device);
        ASSERT_NE(pad, nullptr) << SDL_GetError();
        run_frames(1);   // the frame cycle's event pump opens the new pad
        ASSERT_EQ(pad_count(), 1);
    }
    void detach()
    {
        SDL_JoystickClose(pad);
        pad = nullptr;
        SDL_JoystickDetachVirtual(device);
    }
    void press(SDL_GameControllerButton button, bool down)
    {
        SDL_JoystickSetVirtualButton(pad, button, down ? 1 : 0);
        SDL_JoystickUpdate();
    }
    void tilt(SDL_GameControllerAxis axis, int value)
    {
        SDL_JoystickSetVirtualAxis(pad, axis, static_cast<Sint16>(value));
        SDL_JoystickUpdate();
    }

    SDL_Joystick* pad = nullptr;
    int device = -1;
};

TEST_F(Gamepad, ButtonsHoldTheBoundKeysAndTheMenuKeys)
{
    press(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_TRUE(key_down(KEY_LEFT_CTRL));
    press(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_FALSE(key_down(KEY_LEFT_CTRL));
    press(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_TRUE(key_down(KEY_ENTER));
    press(SDL_CONTROLLER_BUTTON_START, false);
    press(SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_TRUE(key_down(KEY_ESCAPE));
    press(SDL_CONTROLLER_BUTTON_BACK, false);
    press(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    EXPECT_TRUE(key_down(KEY_CURSOR_UP));
    press(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
    EXPECT_FALSE(key_down(KEY_CURSOR_UP));
}

// Y holds no action, yet it is a button the player pressed (the menu's demo
// ends on it).
TEST_F(Gamepad, EveryButtonCountsAsPressedThoughOnlySomeHoldKeys)
{
    EXPECT_FALSE(any_pad_button());
    press(SDL_CONTROLLER_BUTTON_Y, true);
    EXPECT_TRUE(any_pad_button());
    poll_keyboard();
    EXPECT_FALSE(any_key_held());
    press(SDL_CONTROLLER_BUTTON_Y, false);
    EXPECT_FALSE(any_pad_button());
    press(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_TRUE(any_pad_button());
    poll_keyboard();
    EXPECT_TRUE(any_key_held());
    press(SDL_CONTROLLER_BUTTON_A, false);
}

TEST_F(Gamepad, ARedefinedJumpIsFollowedAndTheMenusStillWork)
{
    bindings.jump = 17;    // W
    bindings.right = 32;   // D
    press(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_TRUE(key_down(17));
    EXPECT_FALSE(key_down(KEY_LEFT_CTRL));
    press(SDL_CONTROLLER_BUTTON_A, false);
    press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    EXPECT_TRUE(key_down(32));
    EXPECT_TRUE(key_down(KEY_CURSOR_RIGHT));   // what the menus read
    press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
}

TEST_F(Gamepad, TheStickCountsOnlyOutsideItsDeadZone)
{
    tilt(SDL_CONTROLLER_AXIS_LEFTX, PAD_STICK_DEAD_ZONE - 100);
    tilt(SDL_CONTROLLER_AXIS_LEFTY, -(PAD_STICK_DEAD_ZONE - 100));
    EXPECT_FALSE(key_down(KEY_CURSOR_RIGHT));
    EXPECT_FALSE(key_down(KEY_CURSOR_UP));
    tilt(SDL_CONTROLLER_AXIS_LEFTX, 30000);
    tilt(SDL_CONTROLLER_AXIS_LEFTY, -30000);
    EXPECT_TRUE(key_down(KEY_CURSOR_RIGHT));
    EXPECT_TRUE(key_down(KEY_CURSOR_UP));
    tilt(SDL_CONTROLLER_AXIS_LEFTX, 0);
    tilt(SDL_CONTROLLER_AXIS_LEFTY, 0);
}

TEST_F(Gamepad, NothingIsHeldWhileAScreenWaitsForAKeyboardKey)
{
    set_pad_keys_enabled(false);
    press(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_FALSE(key_down(KEY_LEFT_CTRL));
    set_pad_keys_enabled(true);
    EXPECT_TRUE(key_down(KEY_LEFT_CTRL));
    press(SDL_CONTROLLER_BUTTON_A, false);
}

TEST_F(Gamepad, ARestingStickNeverWalksSanta)
{
    start_test_round();
    remove_hazards();
    const double x = santa().x, scroll = screen_state.scroll_x;
    tilt(SDL_CONTROLLER_AXIS_LEFTX, PAD_STICK_DEAD_ZONE / 2);
    play_frames(30);
    EXPECT_EQ(santa().x, x);
    EXPECT_EQ(screen_state.scroll_x, scroll);
    tilt(SDL_CONTROLLER_AXIS_LEFTX, 0);
}

TEST_F(Gamepad, ARoundIsWalkedJumpedPausedAndLeftByPad)
{
    start_test_round();
    remove_hazards();
    const double x = santa().x;
    press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    play_frames(10);
    press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    EXPECT_EQ(santa().x, x + 20);   // two pixels a frame
    press(SDL_CONTROLLER_BUTTON_A, true);
    play_frames(3);
    press(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_EQ(santa().jumping, 1);
    play_frames(60);
    press(SDL_CONTROLLER_BUTTON_START, true);
    play_frames(1);
    press(SDL_CONTROLLER_BUTTON_START, false);
    EXPECT_EQ(screen_state.paused, 1);
    play_frames(25);
    press(SDL_CONTROLLER_BUTTON_START, true);
    play_frames(1);
    press(SDL_CONTROLLER_BUTTON_START, false);
    EXPECT_EQ(screen_state.paused, 0);
    play_frames(25);
    press(SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_EQ(play_frames(5), 1);   // Escape ends the round at once
    press(SDL_CONTROLLER_BUTTON_BACK, false);
}

// A frame hook that works the pad: each step holds one button for a frame.
struct PadStep {
    int frame;
    SDL_GameControllerButton button;
};
const PadStep* pad_script = nullptr;
int pad_script_length = 0;
int pad_frames = 0;
SDL_Joystick* scripted_pad = nullptr;

void work_the_pad()
{
    for (int i = 0; i < pad_script_length; ++i) {
        const PadStep& step = pad_script[i];
        if (pad_frames == step.frame || pad_frames == step.frame + 1)
            SDL_JoystickSetVirtualButton(scripted_pad, step.button, pad_frames == step.frame);
    }
    SDL_JoystickUpdate();
    ++pad_frames;
}

template <int N>
void script_pad(SDL_Joystick* pad, const PadStep (&steps)[N])
{
    for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button)
        SDL_JoystickSetVirtualButton(pad, button, 0);   // nothing held over
    pad_script = steps;
    pad_script_length = N;
    pad_frames = 0;
    scripted_pad = pad;
    set_test_frame_hook(work_the_pad);
}

TEST_F(Gamepad, TheMenuAndTheKeyScreenAreWorkedByPadAlone)
{
    create_arrays();
    static const PadStep to_keys[] = {{25, SDL_CONTROLLER_BUTTON_DPAD_DOWN},
                                      {40, SDL_CONTROLLER_BUTTON_START}};
    script_pad(pad, to_keys);
    EXPECT_EQ(menu_visit(), MENU_REDEFINE_KEYS);
    static const PadStep browse[] = {{25, SDL_CONTROLLER_BUTTON_DPAD_DOWN},
                                     {40, SDL_CONTROLLER_BUTTON_BACK}};
    script_pad(pad, browse);
    redefine_keys();
    set_test_frame_hook(nullptr);
    EXPECT_EQ(keys_screen.cursor_y, KEYS_CURSOR_FIRST_Y + KEYS_ROW_SPACING);
    EXPECT_EQ(bindings.down, KEY_CURSOR_DOWN);
}

// While a row waits for a key, the pad's A must not bind the jump key; the
// keyboard's Escape then ends the screen.
bool row_still_waiting = false;
void press_a_then_escape()
{
    work_the_pad();
    if (pad_frames == 50) {
        row_still_waiting = keys_screen.selecting && key_codes.at(0) == KEY_CODE_WAITING;
        use_player_keys(false);
        hold_key(KEY_ESCAPE);
    }
}

TEST_F(Gamepad, PadButtonsBindNothingOnTheKeyScreen)
{
    create_arrays();
    static const PadStep pick_then_a[] = {{25, SDL_CONTROLLER_BUTTON_START},
                                          {40, SDL_CONTROLLER_BUTTON_A}};
    script_pad(pad, pick_then_a);
    set_test_frame_hook(press_a_then_escape);
    redefine_keys();
    set_test_frame_hook(nullptr);
    release_all_keys();
    EXPECT_TRUE(row_still_waiting);
    EXPECT_NE(bindings.up, KEY_LEFT_CTRL);
}

TEST_F(Gamepad, PullingTheLastPadOutPausesAnUnpausedRound)
{
    start_test_round();
    remove_hazards();
    play_frames(2);
    ASSERT_EQ(screen_state.paused, 0);
    detach();
    play_frames(2);
    EXPECT_EQ(pad_count(), 0);
    EXPECT_EQ(screen_state.paused, 1);
}

// The touch controls beside the (idle) virtual pad: each test lets go of
// every touch action it held.
class Touch : public Gamepad {
protected:
    void TearDown() override
    {
        for (int action = 0; action < PAD_ACTION_COUNT; ++action)
            set_touch_action(PadAction(action), false);
        Gamepad::TearDown();
    }
};

TEST_F(Touch, ButtonsHoldThePlayersCurrentBindings)
{
    bindings.jump = 57;   // Space
    set_touch_action(PadAction::jump, true);
    EXPECT_TRUE(key_down(57));
    EXPECT_FALSE(key_down(KEY_LEFT_CTRL));
    set_touch_action(PadAction::jump, false);
    EXPECT_FALSE(key_down(57));
    set_touch_action(PadAction::start, true);
    EXPECT_TRUE(key_down(KEY_ENTER));
    set_touch_action(PadAction::start, false);
    set_touch_action(PadAction::back, true);
    EXPECT_TRUE(key_down(KEY_ESCAPE));
}

TEST_F(Touch, WalkingAndJumpingAtOnceJumpsToTheRight)
{
    start_test_round();
    remove_hazards();
    const double x = santa().x;
    set_touch_action(PadAction::right, true);
    set_touch_action(PadAction::jump, true);
    play_frames(3);
    set_touch_action(PadAction::jump, false);
    EXPECT_EQ(santa().jumping, 1);
    play_frames(7);
    set_touch_action(PadAction::right, false);
    EXPECT_GT(santa().x, x);
}

// On the key screen: Start picks the first row, the page gives up the wait
// (a player with no keyboard), and Back leaves.  A keyboard Escape ends the
// screen if the touch controls could not.
int touch_frames = 0;
bool touch_row_waited = false;
void work_the_touch_controls()
{
    set_touch_action(PadAction::start, touch_frames == 25);
    if (touch_frames == 40) {
        touch_row_waited = keys_screen.selecting && !pad_keys_enabled();
        cancel_keyboard_wait();
    }
    set_touch_action(PadAction::back, touch_frames == 60);
    if (touch_frames == 200) {
        use_player_keys(false);
        hold_key(KEY_ESCAPE);
    }
    ++touch_frames;
}

TEST_F(Touch, GivingUpTheWaitForAKeyKeepsTheRowsKey)
{
    create_arrays();
    const double up = bindings.up;
    touch_frames = 0;
    set_test_frame_hook(work_the_touch_controls);
    redefine_keys();
    set_test_frame_hook(nullptr);
    release_all_keys();
    EXPECT_TRUE(touch_row_waited);
    EXPECT_LT(touch_frames, 200);   // left by the touch Back, not the keyboard
    EXPECT_EQ(bindings.up, up);
    EXPECT_TRUE(pad_keys_enabled());
}

}   // namespace
