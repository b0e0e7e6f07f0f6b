// The main menu driven frame by frame: each visit's fresh start, the cursor,
// the choices, the music volume keys and the picture; the loop of screens it
// heads, and the game's ways out through it.
#include <gtest/gtest.h>
#include <initializer_list>
#include <vector>

#include "core/errors.h"
#include "core/numbers.h"
#include "engine/frame.h"
#include "engine/window.h"
#include "game/play/assists.h"
#include "game/play/draw.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/bests.h"
#include "game/shell/menu.h"
#include "game/shell/startup.h"
#include "media/gamepad.h"
#include "media/keymap.h"
#include "media/music.h"
#include "support/exit_status.h"
#include "support/harness.h"
#include "support/shell_fixture.h"

// --- Level map reload ----------------------------------------------------------------------

TEST_F(Shell, ReloadRestoresTheLevelRowsAndLeavesTheRestEmpty)
{
    level_map.at(0, 2) = 0;   // as a round's conveyor set-up leaves them
    level_map.at(29, 2) = 0;
    level_map.at(5, 40) = 7;   // rows below the level are not touched
    reload_level_map();
    EXPECT_EQ(level_map.at(0, 2), 16);
    EXPECT_EQ(level_map.at(29, 2), 17);
    EXPECT_EQ(level_map.at(61, 6), 1);
    EXPECT_EQ(level_map.at(33, 3), 9);
    EXPECT_EQ(level_map.at(47, 5), 5);
    EXPECT_EQ(level_map.at(63, 7), 46);
    EXPECT_EQ(level_map.at(5, 40), 7);
    for (int c = 0; c < 64; ++c) {
        EXPECT_EQ(level_map.at(c, 22), 0) << c;
        EXPECT_NE(level_map.at(c, 21), 0) << c;
        EXPECT_EQ(level_map.at(c, 0), 0) << c;
        EXPECT_EQ(level_map.at(c, 1), 0) << c;
    }
    reload_level_map();   // the block starts from its beginning every time
    EXPECT_EQ(level_map.at(0, 2), 16);
    EXPECT_EQ(level_map.at(63, 21), 44);
}

// --- Main menu ------------------------------------------------------------------------------

// The credit line names the best standard result, and the volume keys only
// when asked to (a key of the keyboard was pressed in the visit).
TEST(MenuCredit, TheBestAndTheKeysWhenAsked)
{
    Bests none;
    Bests best;
    best.standard = {{frames_on_clock(128, 24), 5, 6000, "2026-12-24T20:00:00Z", {}}};
    Bests assisted_only;
    assisted_only.assisted = {{frames_on_clock(400, 0),
                               5,
                               6000,
                               "2026-12-24T20:00:00Z",
                               {50, TIME_LIMIT_NONE, LIVES_UNLIMITED, true}}};
    struct Case {
        bool name_keys;
        const Bests* bests;
        const char* line;
    };
    const Case cases[] = {
        {true, &none, "PgUp/PgDn music volume. Merry Christmas!"},
        {true, &assisted_only, "PgUp/PgDn music volume. Merry Christmas!"},
        {true, &best, "Best: 2:08 to spare. PgUp/PgDn music volume."},
        {false, &none, "Merry Christmas!"},
        {false, &assisted_only, "Merry Christmas!"},
        {false, &best, "Best: 2:08 to spare. Merry Christmas!"},
    };
    for (const Case& c : cases) {
        std::string line = credit_line(*c.bests, c.name_keys);
        EXPECT_EQ(line, c.line);
        EXPECT_LE(5 + text_width(line.c_str()), 320 - 5) << line;
    }
}

// A visit names the volume keys once a key of the keyboard is down in it:
// not before, not for a touch or a pad holding keys, and not in the next
// visit until a key is pressed there.  The credit line's first letter tells
// ("Merry Christmas!" or "PgUp/PgDn ...").
TEST_F(Shell, CreditLineNamesKeysOnlyAfterAKeyboardKeyInTheVisit)
{
    std::vector<int> first_letters;
    start_script([&first_letters](int n) {
        if (n == 5 || n == 15 || n == 25 || n == 35 || n == 45)
            first_letters.push_back(pixel(5, 229));
        if (n == 10 || n == 30) {
            note_input_kind(n == 10 ? InputKind::touch : InputKind::pad);
            hold_only({KEY_CURSOR_UP});
        }
        if (n == 20 || n == 40) {
            note_input_kind(InputKind::keyboard);
            hold_only({KEY_LEFT_SHIFT});
        }
        if (n == 12 || n == 22 || n == 32 || n == 42) hold_only({});
        if (n == 46) hold_only({KEY_ESCAPE});
    });
    note_input_kind(InputKind::keyboard);
    EXPECT_EQ(menu_visit(), MENU_EXIT);
    start_script([&first_letters](int n) {
        if (n == 5) first_letters.push_back(pixel(5, 229));
        if (n == 6) hold_only({KEY_ESCAPE});
    });
    hold_only({});
    EXPECT_EQ(menu_visit(), MENU_EXIT);
    const int m = letter_colour('M').value(), p = letter_colour('P').value();
    EXPECT_EQ(first_letters, std::vector<int>({m, m, p, p, p, m}));
    note_input_kind(InputKind::keyboard);
}

TEST_F(Shell, MenuVisitStartsAfresh)
{
    screen_state.scroll_x = 0;
    menu_cursor_y = 173;
    level_map.at(0, 2) = 0;
    double cursor_at_first_frame = 0, cooldown_at_first_frame = 0, choice_at_first_frame = -1;
    Screen screen_at_first_frame = Screen::startup;
    start_script([&](int n) {
        if (n == 1) {
            cursor_at_first_frame = menu_cursor_y;
            cooldown_at_first_frame = screen_state.key_cooldown;
            choice_at_first_frame = menu_choice;
            screen_at_first_frame = screen_state.current;
        }
        if (n == 30) hold_only({KEY_ESCAPE});
    });
    EXPECT_EQ(menu_visit(), MENU_EXIT);
    EXPECT_EQ(screen_state.scroll_x, -320);
    EXPECT_EQ(cursor_at_first_frame, 123);
    EXPECT_EQ(cooldown_at_first_frame, 19);   // 20, counted down once before the present
    EXPECT_EQ(choice_at_first_frame, MENU_NONE);
    EXPECT_EQ(screen_at_first_frame, Screen::menu);
    EXPECT_EQ(level_map.at(0, 2), 16);
    EXPECT_EQ(script.shown, 30);
    EXPECT_FALSE(music_loaded());   // stopped on leaving (and silent without the file)
}

TEST_F(Shell, EnterHeldOnArrivalChoosesInTheTwentiethFrame)
{
    hold_only({KEY_ENTER});
    start_script(nullptr);
    EXPECT_EQ(menu_visit(), MENU_START_GAME);
    EXPECT_EQ(script.shown, 20);
}

TEST_F(Shell, EscapeChoosesExitFromAnyEntry)
{
    hold_only({KEY_CURSOR_DOWN});
    start_script([](int n) {
        if (n == 21) hold_only({KEY_ESCAPE});
    });
    EXPECT_EQ(menu_visit(), MENU_EXIT);
    EXPECT_EQ(menu_cursor_y, 148);
    EXPECT_EQ(script.shown, 30);   // the step re-armed the cooldown
}

TEST_F(Shell, JumpBindingChoosesTheEntryUnderTheCursor)
{
    bindings.jump = 57;
    hold_only({KEY_CURSOR_DOWN});
    start_script([](int n) {
        if (n == 21) hold_only({57});
    });
    EXPECT_EQ(menu_visit(), MENU_REDEFINE_KEYS);
    EXPECT_EQ(script.shown, 30);
}

TEST_F(Shell, CursorStepsEveryTenthFrameAndStopsAtTheLastEntry)
{
    std::vector<double> cursor;
    hold_only({KEY_CURSOR_DOWN});
    start_script([&cursor](int n) {
        cursor.push_back(menu_cursor_y);
        if (n == 70) hold_only({KEY_ENTER});
    });
    EXPECT_EQ(menu_visit(), MENU_EXIT);
    ASSERT_EQ(cursor.size(), 70u);
    EXPECT_EQ(cursor[19], 123);   // frame 20: still in the opening cooldown
    EXPECT_EQ(cursor[20], 148);   // frame 21
    EXPECT_EQ(cursor[29], 148);
    EXPECT_EQ(cursor[30], 173);   // frame 31
    EXPECT_EQ(cursor[40], 198);   // frame 41: Exit, the last entry
    EXPECT_EQ(cursor[69], 198);
}

namespace {

// The choice of a visit that steps the cursor down `steps` times (one step
// every 11 frames from frame 21 on) and then holds `key`.
MenuChoice choice_after_steps(int steps, int key)
{
    const int choose_at = 21 + 11 * steps;
    start_script([key, choose_at](int n) {
        hold_only({});
        if (n >= 21 && n < choose_at && (n - 21) % 11 == 0) hold_only({KEY_CURSOR_DOWN});
        if (n >= choose_at) hold_only({key});
    });
    const MenuChoice choice = menu_visit();
    EXPECT_EQ(menu_cursor_y, 123 + 25 * steps);
    return choice;
}

}   // namespace

TEST_F(Shell, FourEntriesEachChosenByEnterUnderTheCursorAndEscapeExitsFromAny)
{
    const MenuChoice by_enter[] = {MENU_START_GAME, MENU_REDEFINE_KEYS, MENU_OPTIONS, MENU_EXIT};
    for (int steps = 0; steps < 4; ++steps) {
        EXPECT_EQ(choice_after_steps(steps, KEY_ENTER), by_enter[steps]) << steps << " steps";
        EXPECT_EQ(choice_after_steps(steps, KEY_ESCAPE), MENU_EXIT) << steps << " steps";
    }
}

TEST_F(Shell, CursorUpOnTheFirstEntryDoesNotStartTheCooldown)
{
    double cursor_at_26 = 0;
    hold_only({KEY_CURSOR_UP});
    start_script([&cursor_at_26](int n) {
        if (n == 25) hold_only({KEY_CURSOR_DOWN});
        if (n == 26) {
            cursor_at_26 = menu_cursor_y;
            hold_only({KEY_ESCAPE});
        }
    });
    EXPECT_EQ(menu_visit(), MENU_EXIT);
    EXPECT_EQ(cursor_at_26, 148);   // moved at once in frame 26
}

TEST_F(Shell, CursorKeysAreFixedNotTheBindings)
{
    bindings.down = 31;
    bindings.up = 17;
    hold_only({31});
    start_script([](int n) {
        if (n == 40) hold_only({KEY_ESCAPE});
    });
    menu_visit();
    EXPECT_EQ(menu_cursor_y, 123);
}

namespace {

// Holds key in the menu until Escape at escape_frame; the frames on which
// the music volume changed.
std::vector<int> volume_changes_holding(int key, int escape_frame)
{
    std::vector<int> steps;
    double last = volumes.music;
    hold_only({key});
    start_script([&steps, &last, escape_frame](int n) {
        if (volumes.music != last) steps.push_back(n);
        last = volumes.music;
        if (n == escape_frame) hold_only({KEY_ESCAPE});
    });
    menu_visit();
    return steps;
}

}   // namespace

TEST_F(Shell, PageUpRaisesTheMusicVolumeEveryTenthFrameUpTo1Point1)
{
    const std::vector<int> steps = volume_changes_holding(KEY_PAGE_UP, 250);
    ASSERT_EQ(steps.size(), 20u);
    for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(steps[i], 1 + 10 * static_cast<int>(i));
    EXPECT_NEAR(volumes.music, 1.1, 1e-9);
    EXPECT_EQ(music_stored_volume(), -1);   // forgotten when the music stopped
}

TEST_F(Shell, PageDownLowersTheMusicVolumeDownToZero)
{
    volumes.music = 1.1;
    int steps = 0;
    double last = volumes.music;
    double sent = -2;
    hold_only({KEY_PAGE_DOWN});
    start_script([&](int n) {
        if (volumes.music != last) ++steps;
        last = volumes.music;
        sent = music_stored_volume();
        if (n == 300) hold_only({KEY_ESCAPE});
    });
    menu_visit();
    EXPECT_EQ(steps, 22);   // 1.1 is a little above 22 steps of 0.05
    EXPECT_NEAR(volumes.music, 0, 1e-9);
    EXPECT_LE(volumes.music, 0);
    EXPECT_EQ(sent, volumes.music);   // passed on every frame
}

TEST_F(Shell, VolumeCooldownIsNotResetByAVisit)
{
    screen_state.volume_cooldown = 5;
    const std::vector<int> steps = volume_changes_holding(KEY_PAGE_UP, 20);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0], 6);
    EXPECT_EQ(steps[1], 16);
}

TEST_F(Shell, MenuPicture)
{
    int sky = 0, title = 0, trees = 0, ground_left = 0, ground_right = 0;
    int entries[4] = {}, entry_gaps[4] = {};
    std::vector<int> cursor_column;   // at each cursor row: the pudding or not
    hold_only({});
    start_script([&](int n) {
        if (n == 21) {
            sky = pixel(5, 5);
            title = pixel(20, 40);
            trees = pixel(5, 150);
            ground_left = pixel(2, 230);
            ground_right = pixel(12, 230);
            for (int i = 0; i < 4; ++i) {
                entries[i] = pixel(120, 130 + 25 * i);
                entry_gaps[i] = pixel(121, 130 + 25 * i);
            }
        }
        if (n == 21 || n == 41 || n == 61 || n == 81) {
            for (int y : {123, 148, 173, 198}) cursor_column.push_back(pixel(100, y + 5));
            hold_only({KEY_CURSOR_DOWN});
        } else {
            hold_only({});
        }
        if (n == 90) hold_only({KEY_ESCAPE});
    });
    menu_visit();
    EXPECT_EQ(sky, SKY.value());
    EXPECT_EQ(title, TITLE.value());
    EXPECT_EQ(trees, TREES.value());
    EXPECT_EQ(ground_left, GROUND_LEFT.value());
    EXPECT_EQ(ground_right, GROUND_RIGHT.value());
    EXPECT_EQ(entries[0], letter_colour('S').value());
    EXPECT_EQ(entries[1], letter_colour('R').value());
    EXPECT_EQ(entries[2], letter_colour('O').value());
    EXPECT_EQ(entries[3], letter_colour('E').value());
    for (int gap : entry_gaps) EXPECT_NE(gap, letter_colour('S').value());
    ASSERT_EQ(cursor_column.size(), 16u);
    const int p = PUDDING.value();
    std::vector<bool> on;
    for (int value : cursor_column) on.push_back(value == p);
    // Four looks down the cursor's column, one per entry it stands on.
    for (std::size_t i = 0; i < on.size(); ++i) EXPECT_EQ(on[i], i % 5 == 0) << i;
}

TEST_F(Shell, MenuPictureIsDoubledOnTheDesktop)
{
    device_name = "DESKTOP";
    set_screen(640, 480, 1);
    int title = 0, entry = 0, cursor = 0;
    start_script([&](int n) {
        if (n == 3) {
            title = shown_pixel(2 * 20 + 1, 2 * 40 + 1);
            entry = shown_pixel(2 * 120 + 1, 2 * 155 + 1);
            cursor = shown_pixel(2 * 100, 2 * 130);
            hold_only({KEY_ESCAPE});
        }
    });
    menu_visit();
    set_screen(320, 240, 0);
    EXPECT_EQ(title, TITLE.value());
    EXPECT_EQ(entry, letter_colour('R').value());
    EXPECT_EQ(cursor, PUDDING.value());
}

// --- The loop of screens ------------------------------------------------------------------------

TEST_F(Shell, ManyMenuAndKeyScreenVisitsKeepTheStackFlat)
{
    const int visits = 150;
    int menu_visits = 0, key_visits = 0, frames_on_screen = 0;
    Screen last = Screen::startup;
    const char* first_depth = nullptr;
    const char* last_depth = nullptr;
    start_script([&](int) {
        char marker = 0;
        if (screen_state.current != last) {
            frames_on_screen = 0;
            last = screen_state.current;
            if (screen_state.current == Screen::menu) ++menu_visits;
            if (screen_state.current == Screen::keys) ++key_visits;
        }
        ++frames_on_screen;
        if (screen_state.current == Screen::keys) {
            hold_only({KEY_ESCAPE});
            return;
        }
        if (frames_on_screen == 1 && menu_visits == 1) first_depth = &marker;
        if (frames_on_screen == 1) last_depth = &marker;
        if (menu_visits > visits)
            hold_only({KEY_ESCAPE});
        else if (frames_on_screen == 20)
            hold_only({KEY_CURSOR_DOWN});
        else if (frames_on_screen >= 22)
            hold_only({KEY_ENTER});
        else
            hold_only({});
    });
    script.limit = 40 * (visits + 2);
    main_menu();
    EXPECT_EQ(menu_visits, visits + 1);
    EXPECT_EQ(key_visits, visits);
    EXPECT_EQ(first_depth, last_depth);
}

TEST_F(Shell, StartGameRunsARoundAndComesBackToAReloadedMenu)
{
    int menu_visits = 0;
    bool saw_story = false, saw_round = false;
    double conveyor_cell_in_round = -1, conveyor_cell_back = -1;
    Screen last = Screen::startup;
    int frames_on_screen = 0;
    hold_only({KEY_ENTER});
    start_script([&](int) {
        if (screen_state.current != last) {
            frames_on_screen = 0;
            last = screen_state.current;
            if (screen_state.current == Screen::menu) ++menu_visits;
        }
        ++frames_on_screen;
        if (screen_state.current == Screen::story) {
            saw_story = true;
            hold_only({to_int(bindings.jump)});
        } else if (screen_state.current == Screen::round) {
            saw_round = true;
            conveyor_cell_in_round = level_map.at(0, 2);
            hold_only({KEY_ESCAPE});
        } else if (screen_state.current == Screen::menu && menu_visits == 2) {
            if (frames_on_screen == 1) conveyor_cell_back = level_map.at(0, 2);
            hold_only({KEY_ESCAPE});
        } else if (screen_state.current == Screen::menu) {
            hold_only({KEY_ENTER});
        }
    });
    main_menu();
    EXPECT_TRUE(saw_story);
    EXPECT_TRUE(saw_round);
    EXPECT_EQ(menu_visits, 2);
    EXPECT_EQ(conveyor_cell_in_round, 0);   // the round's set-up cleared it
    EXPECT_EQ(conveyor_cell_back, 16);
}

// --- The whole game's ways out ---------------------------------------------------------------------

// These start the runtime inside the child, so the parent's window is never
// shared with a process that shuts it down.
TEST(ShellDeathTest, EscapeInTheMenuEndsTheGameWithStatusZero)
{
    EXPECT_EXIT(
        {
            prepare_shell();
            report_status_at_exit();
            set_error(3);
            hold_only({KEY_ESCAPE});
            start_script([](int) {
                if (screen_state.current != Screen::menu &&
                    screen_state.current != Screen::startup) {
                    fail_child("left the menu");
                }
            });
            game_main();
            fail_child("game_main returned");
        },
        ::testing::ExitedWithCode(0), status_pattern(0));
}

TEST(ShellDeathTest, ExitAfterTheKeyScreenEndsTheGameWithStatusZero)
{
    EXPECT_EXIT(
        {
            prepare_shell();
            report_status_at_exit();
            start_script([](int) {
                static int menu_frames = 0, menu_visits = 0;
                static Screen last = Screen::startup;
                if (screen_state.current != last && screen_state.current == Screen::menu) {
                    ++menu_visits;
                    menu_frames = 0;
                }
                last = screen_state.current;
                if (screen_state.current == Screen::keys) {
                    hold_only({KEY_ESCAPE});
                    return;
                }
                if (screen_state.current != Screen::menu) return;
                ++menu_frames;
                hold_only({});
                if (menu_visits == 1 && menu_frames == 20) hold_only({KEY_CURSOR_DOWN});
                if (menu_visits == 1 && menu_frames >= 22) hold_only({KEY_ENTER});
                if (menu_visits == 2 &&
                    (menu_frames == 20 || menu_frames == 31 || menu_frames == 42)) {
                    hold_only({KEY_CURSOR_DOWN});
                }
                if (menu_visits == 2 && menu_frames >= 53) hold_only({KEY_ENTER});
                if (menu_visits == 3) fail_child("menu again");
            });
            game_main();
            fail_child("game_main returned");
        },
        ::testing::ExitedWithCode(0), status_pattern(0));
}
