// The key screen driven frame by frame, and the key names it shows: the
// compiled-in table and the names read in the player's language.
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "engine/frame.h"
#include "game/play/texts.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/key_names.h"
#include "game/shell/keys_screen.h"
#include "game/shell/settings.h"
#include "game/shell/startup.h"
#include "media/keymap.h"
#include "support/harness.h"
#include "support/play_fixture.h"
#include "support/shell_fixture.h"

TEST_F(Shell, KeyNameTable)
{
    int named = 0;
    for (int code = 0; code < KEY_NAME_COUNT; ++code) named += *key_table_name(code) ? 1 : 0;
    EXPECT_EQ(named, 103);
    EXPECT_STREQ(key_table_name(0), "");
    EXPECT_STREQ(key_table_name(84), "");
    EXPECT_STREQ(key_table_name(299), "");
    EXPECT_STREQ(key_table_name(255), "???");
    EXPECT_STREQ(key_table_name(1), "ESC");
    EXPECT_STREQ(key_table_name(29), "LEFT CTRL");
    EXPECT_STREQ(key_table_name(40), "'");
    EXPECT_STREQ(key_table_name(41), "'");
    EXPECT_STREQ(key_table_name(86), "\\");
    EXPECT_STREQ(key_table_name(156), "ENTER NUMPAD");
    EXPECT_STREQ(key_table_name(211), "DELETE");
}

// --- Key screen ----------------------------------------------------------------------------------

// Key screen scripts: keys held from frame n on are set in the hook of
// frame n - 1, since the screen reads every key before it presents.
TEST_F(Shell, SpaceBecomesTheJumpKey)
{
    bool entered = false, saw_waiting = false;
    int name_first = 0, name_second = 0;
    start_script([&](int) {
        hold_only({});
        if (keys_screen.selecting) {
            if (key_codes.at(4) == 255) saw_waiting = true;
            if (screen_state.key_cooldown == 0) hold_only({57});
        } else if (key_codes.at(4) == 57) {
            if (!name_first) {
                name_first = 1;   // the next frame shows the new name alone
            } else if (name_first == 1) {
                name_first = pixel(150, 160);
                name_second = pixel(157, 160);
                hold_only({KEY_ESCAPE});
            }
        } else if (keys_screen.cursor_y < 153) {
            hold_only({KEY_CURSOR_DOWN});
        } else if (!entered && screen_state.key_cooldown == 0) {
            entered = true;
            hold_only({KEY_ENTER});
        }
    });
    redefine_keys();
    EXPECT_TRUE(saw_waiting);
    EXPECT_STREQ(key_table_name(key_codes.at(4)), "SPACE");
    EXPECT_EQ(name_first, letter_colour('S').value());
    EXPECT_EQ(name_second, letter_colour('P').value());
    KeyBindings expected = DEFAULT_BINDINGS;
    expected.jump = 57;
    expect_bindings(expected);
}

TEST_F(Shell, EnterHeldPastTheCooldownIsTakenAsTheKey)
{
    std::vector<double> codes;
    start_script([&codes](int n) {
        codes.push_back(key_codes.at(0));
        if (n == 20) hold_only({KEY_ENTER});
        if (n == 31) hold_only({KEY_ESCAPE});
    });
    redefine_keys();
    ASSERT_EQ(codes.size(), 32u);
    EXPECT_EQ(codes[19], 200);   // frame 20
    EXPECT_EQ(codes[20], 255);   // frame 21: Enter starts the wait
    EXPECT_EQ(codes[29], 255);   // frame 30: still in the cooldown
    EXPECT_EQ(codes[30], 28);    // frame 31: Enter itself is taken
    EXPECT_EQ(bindings.up, 28);
}

namespace {

// Enter on the first row at frame 20 starts the wait for a key; Escape is
// pressed at escape_frame, and the screen ends on that frame.
void escape_while_waiting_at(int escape_frame)
{
    start_script([escape_frame](int n) {
        if (n == 20) hold_only({KEY_ENTER});
        if (n == 21) hold_only({});
        if (n == escape_frame) hold_only({KEY_ESCAPE});
    });
    redefine_keys();
    EXPECT_EQ(script.shown, escape_frame + 1);
}

}   // namespace

TEST_F(Shell, EscapeWhileWaitingInTheCooldownLeavesTheRowUnbound)
{
    escape_while_waiting_at(24);
    EXPECT_EQ(bindings.up, 255);
    EXPECT_STREQ(key_table_name(bindings.up), "???");
    EXPECT_EQ(bindings.down, 208);
}

TEST_F(Shell, EscapeWhileWaitingAfterTheCooldownBindsEscape)
{
    escape_while_waiting_at(34);
    EXPECT_EQ(bindings.up, 1);
}

TEST_F(Shell, LowestHeldKeyWins)
{
    start_script([](int n) {
        if (n == 20) hold_only({KEY_ENTER});
        if (n == 21) hold_only({});
        if (n == 31) hold_only({30, 16, 44});
        if (n == 33) hold_only({KEY_ESCAPE});
    });
    redefine_keys();
    EXPECT_EQ(bindings.up, 16);
}

TEST_F(Shell, KeyWithoutANameIsBoundAndShowsNothing)
{
    start_script([](int n) {
        if (n == 20) hold_only({KEY_ENTER});
        if (n == 21) hold_only({});
        if (n == 31) hold_only({84});
        if (n == 33) hold_only({KEY_ESCAPE});
    });
    redefine_keys();
    EXPECT_EQ(bindings.up, 84);
    EXPECT_STREQ(key_table_name(bindings.up), "");
}

TEST_F(Shell, KeyNamesOutsideTheTableAreEmpty)
{
    EXPECT_STREQ(key_table_name(-1), "");
    EXPECT_STREQ(key_table_name(300), "");
    EXPECT_STREQ(key_table_name(1e12), "");
    EXPECT_STREQ(key_table_name(std::nan("")), "");
    EXPECT_STREQ(key_table_name(299.5), "");
    EXPECT_STREQ(key_table_name(57.9), "SPACE");
}

TEST_F(Shell, KeyCursorStopsAtTheFirstAndLastRows)
{
    double lowest = 1000, highest = 0;
    std::vector<int> moves;
    double last = KEYS_CURSOR_FIRST_Y;
    hold_only({KEY_CURSOR_UP});
    start_script([&](int n) {
        lowest = std::min(lowest, keys_screen.cursor_y);
        highest = std::max(highest, keys_screen.cursor_y);
        if (keys_screen.cursor_y != last) moves.push_back(n);
        last = keys_screen.cursor_y;
        if (n == 30) hold_only({KEY_CURSOR_DOWN});
        if (n == 120) hold_only({KEY_ESCAPE});
    });
    redefine_keys();
    EXPECT_EQ(lowest, 53);
    EXPECT_EQ(highest, 178);
    EXPECT_EQ(moves, (std::vector<int>{31, 41, 51, 61, 71}));
}

TEST_F(Shell, LeavingWithoutChangesOnAnotherDeviceResetsTheJumpKey)
{
    device_name = "HANDHELD";
    create_arrays();
    ASSERT_EQ(bindings.jump, 32);
    Screen during = Screen::startup;
    hold_only({KEY_ESCAPE});
    start_script([&during](int) { during = screen_state.current; });
    redefine_keys();
    EXPECT_EQ(script.shown, 1);   // Escape ignores the cooldown
    EXPECT_EQ(during, Screen::keys);
    EXPECT_EQ(bindings.jump, 29);
}

TEST_F(Shell, KeyScreenPicture)
{
    int heading = 0, label = 0, name = 0, hint = 0, cursor = 0;
    start_script([&](int n) {
        if (n == 2) {
            heading = pixel(100, 20);
            label = pixel(80, 135);
            name = pixel(150, 135);
            hint = pixel(20, 218);
            cursor = pixel(60, 60);
            hold_only({KEY_ESCAPE});
        }
    });
    redefine_keys();
    EXPECT_EQ(heading, letter_colour('R').value());
    EXPECT_EQ(label, letter_colour('R').value());   // "RIGHT"
    EXPECT_EQ(name, letter_colour('C').value());    // "CURSOR RIGHT"
    EXPECT_EQ(hint, letter_colour('S').value());
    EXPECT_EQ(cursor, PUDDING.value());
}

// The player reads every key named in words in their language, the default
// jump key among them; letters keep their names, and the settings file and
// English keep the table's names.
TEST_F(Shell, KeyNamesShownInTheLanguageAndKeptInTheTable)
{
    choose_language("de");
    EXPECT_STREQ(key_shown_name(KEY_SPACE), "LEERTASTE");
    EXPECT_STREQ(key_shown_name(KEY_CURSOR_LEFT), "PFEIL LINKS");
    EXPECT_STREQ(key_shown_name(KEY_LEFT_CTRL), "STRG LINKS");
    EXPECT_STREQ(key_shown_name(KEY_PAGE_UP), "BILD AUF");
    EXPECT_STREQ(key_shown_name(KEY_ESCAPE), "ESC");
    EXPECT_STREQ(key_shown_name(30), "A");
    EXPECT_STREQ(key_shown_name(KEY_CODE_WAITING), "???");
    EXPECT_STREQ(key_table_name(KEY_SPACE), "SPACE");
    SavedSettings saved = {{KEY_SPACE, KEY_CURSOR_LEFT, 30, 32, KEY_LEFT_CTRL, 25}, 0.1, true};
    EXPECT_NE(settings_text(saved).find("up = 57  # SPACE\n"), std::string::npos);
    EXPECT_NE(settings_text(saved).find("jump = 29  # LEFT CTRL\n"), std::string::npos);
    choose_language("fr");
    EXPECT_STREQ(key_shown_name(KEY_LEFT_CTRL), "CTRL GAUCHE");
    EXPECT_STREQ(key_shown_name(KEY_ESCAPE), "ÉCHAP");
    choose_language("pl");
    EXPECT_STREQ(key_shown_name(KEY_RIGHT_SHIFT), "PRAWY SHIFT");
    choose_language("en");
    for (int code = 0; code < KEY_NAME_COUNT; ++code)
        EXPECT_STREQ(key_shown_name(code), key_table_name(code)) << "code " << code;
}
