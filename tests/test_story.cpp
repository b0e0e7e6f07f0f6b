// The story screen driven frame by frame: when the jump key leaves it, in
// every language and on every device, and its still picture of the text.
#include <gtest/gtest.h>

#include "engine/frame.h"
#include "game/play/texts.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/startup.h"
#include "media/keymap.h"
#include "support/shell_fixture.h"

// --- Story screen -----------------------------------------------------------------------------------

TEST_F(Shell, StoryIgnoresTheJumpKeyForThirtyFrames)
{
    hold_only({29});
    start_script(nullptr);
    show_story();
    EXPECT_EQ(script.shown, 31);
    EXPECT_EQ(screen_state.key_cooldown, 0);
}

TEST_F(Shell, StoryLeavesOnlyOnTheJumpBinding)
{
    hold_only({KEY_ENTER, KEY_ESCAPE, 57});
    start_script([](int n) {
        if (n == 100) hold_only({29});
    });
    show_story();
    EXPECT_EQ(script.shown, 100);
}

TEST_F(Shell, StoryOnAnotherDeviceLeavesOnD)
{
    device_name = "HANDHELD";
    create_arrays();
    hold_only({29});
    start_script([](int n) {
        if (n == 80) hold_only({32});
    });
    show_story();
    EXPECT_EQ(script.shown, 80);
}

// Language never touches the rules: the story lasts until the jump key,
// however many lines it has.
TEST_F(Shell, TheStoryLastsAsLongInEveryLanguage)
{
    for (const char* code : {"en", "de", "fr", "pl"}) {
        choose_language(code);
        hold_only({});
        start_script([](int n) {
            if (n == 45) hold_only({29});
        });
        show_story();
        EXPECT_EQ(script.shown, 45) << code;
    }
    choose_language("en");
}

TEST_F(Shell, StoryTextStaysStillAsTheBackground)
{
    screen_state.current = Screen::round;
    int seen[4] = {};
    Screen during = Screen::startup;
    start_script([&](int n) {
        during = screen_state.current;
        if (n == 10) {
            seen[0] = pixel(130, 20);
            seen[1] = pixel(20, 50);
            seen[2] = pixel(20, 201);
            seen[3] = pixel(27, 201);
            hold_only({29});
        }
    });
    show_story();
    EXPECT_EQ(during, Screen::story);
    EXPECT_EQ(screen_state.current, Screen::round);
    EXPECT_EQ(seen[0], letter_colour('S').value());
    EXPECT_EQ(seen[1], letter_colour('O').value());
    EXPECT_EQ(seen[2], letter_colour('y').value());
    EXPECT_EQ(seen[3], letter_colour('o').value());
}
