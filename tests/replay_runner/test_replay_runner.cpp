// The replay runner's pieces without the game running: the script format,
// the keyboard's frame accounting, the state fields and the trace, and the
// picture checks with the files they leave behind.
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "game/play/world.h"
#include "game/shell/game_state.h"
#include "game/shell/replay_script.h"
#include "media/image.h"
#include "replay_runner/checks.h"
#include "replay_runner/drawing.h"
#include "replay_runner/feeder.h"
#include "support/scratch_folder.h"

namespace {

ReplayScript parsed(const std::string& text)
{
    ReplayScript script;
    std::string error;
    EXPECT_TRUE(parse_replay(text, key_code_named, &script, &error)) << error;
    return script;
}

std::string parse_error(const std::string& text)
{
    ReplayScript script;
    std::string error;
    EXPECT_FALSE(parse_replay(text, key_code_named, &script, &error)) << text;
    return error;
}

bool held(const ReplayScript& script, int frame, int code)
{
    unsigned char state[KEY_CODE_COUNT];
    keys_of_frame(script, frame, state);
    return state[code] == KEY_DOWN_BIT;
}

DecodedImage plain_picture(int width, int height, uint8_t grey)
{
    DecodedImage image;
    allocate_image(image, width, height);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = image.pixels[i + 1] = image.pixels[i + 2] = grey;
        image.pixels[i + 3] = 255;
    }
    return image;
}

void save(const std::string& path, const DecodedImage& image)
{
    ASSERT_TRUE(write_png(path.c_str(), image.pixels.data(), image.width, image.height));
}

}   // namespace

// --- Script format ---------------------------------------------------------------

TEST(ReplayScriptFormat, SeedDefaultsToOneAndTakesThirtyTwoBits)
{
    EXPECT_EQ(parsed("end 5\n").seed, 1u);
    EXPECT_EQ(parsed("seed 4294967295\nend 5\n").seed, 4294967295u);
    EXPECT_NE(parse_error("seed 4294967296\n").find("line 1"), std::string::npos);
    parse_error("seed\n");
    parse_error("seed -3\n");
}

TEST(ReplayScriptFormat, LinesHoldTheirKeysOnTheirFramesAndAddUp)
{
    ReplayScript script = parsed("10-12 205 29\n20 ENTER\n");
    EXPECT_FALSE(held(script, 9, 205));
    EXPECT_TRUE(held(script, 10, 205));
    EXPECT_TRUE(held(script, 12, 29));
    EXPECT_FALSE(held(script, 13, 29));
    EXPECT_FALSE(held(script, 19, 28));
    EXPECT_TRUE(held(script, 20, 28));
    EXPECT_FALSE(held(script, 21, 28));

    // Lines covering one frame add up.
    script = parsed("0-100 CURSOR_RIGHT\n50 LEFT_CTRL\n40-60 cursor_up\n");
    EXPECT_TRUE(held(script, 50, 205) && held(script, 50, 29) && held(script, 50, 200));
    EXPECT_FALSE(held(script, 51, 29));
    EXPECT_TRUE(held(script, 51, 205));
}

TEST(ReplayScriptFormat, KeyNamesComeFromTheGamesTable)
{
    EXPECT_EQ(key_code_named("CURSOR RIGHT"), 205);
    EXPECT_EQ(key_code_named("LEFT CTRL"), 29);
    EXPECT_EQ(key_code_named("ENTER"), 28);
    EXPECT_EQ(key_code_named("SPACE"), 57);
    EXPECT_EQ(key_code_named("ESC"), 1);
    EXPECT_EQ(key_code_named("D"), 32);
    EXPECT_EQ(key_code_named("'"), 40);   // 40 and 41 share the name
    EXPECT_EQ(key_code_named("NO SUCH KEY"), -1);
    EXPECT_EQ(key_code_named(""), -1);
    ReplayScript script = parsed("3 PAGE_UP 7_NUMPAD\n");
    EXPECT_TRUE(held(script, 3, 201));
    EXPECT_TRUE(held(script, 3, 71));
}

TEST(ReplayScriptFormat, DecimalKeysAreScanCodesEvenWhenANameMatches)
{
    ReplayScript script = parsed("0 2 255\n");
    EXPECT_TRUE(held(script, 0, 2));   // code 2, the key named "1"
    EXPECT_FALSE(held(script, 0, 3));
    EXPECT_TRUE(held(script, 0, 255));
    parse_error("0 256\n");
}

TEST(ReplayScriptFormat, CommentsAndBlankLinesAreIgnored)
{
    ReplayScript script = parsed("# a route\n\n   \n5-6 ESC   # leave\nend 9 # done\n");
    EXPECT_TRUE(held(script, 5, 1));
    EXPECT_EQ(script.end_frame, 9);
    EXPECT_EQ(script.keys.size(), 1u);
}

TEST(ReplayScriptFormat, BadLinesAreRefusedWithTheirLineNumber)
{
    EXPECT_EQ(parse_error("end 5\nfly 3\n"), "line 2: unknown directive fly");
    EXPECT_EQ(parse_error("\n9-3 ENTER\n"), "line 2: bad frame range 9-3");
    EXPECT_EQ(parse_error("4\n"), "line 1: no key after 4");
    EXPECT_EQ(parse_error("4 NOKEY\n"), "line 1: no key named NOKEY");
    parse_error("1-x ENTER\n");
    parse_error("-5 ENTER\n");
    parse_error("end\n");
    parse_error("end 4 5\n");
}

TEST(ReplayScriptFormat, WithoutOptionLinesTheRulesAreTheDefaults)
{
    ReplayScript script = parsed("seed 3\n30 ENTER\nend 40\n");
    EXPECT_FALSE(assists_on(script.rules));
    EXPECT_EQ(option_lines(script.rules), "");
}

TEST(ReplayScriptFormat, OptionLinesSetEachRuleAndWriteBackTheSame)
{
    struct Case {
        const char* lines;
        Assists rules;
    };
    const Case cases[] = {
        {"option speed 50\n", {50, 300, 5, false}},
        {"option speed 90\n", {90, 300, 5, false}},
        {"option time_limit 450\n", {100, 450, 5, false}},
        {"option time_limit none\n", {100, TIME_LIMIT_NONE, 5, false}},
        {"option lives 9\n", {100, 300, 9, false}},
        {"option lives unlimited\n", {100, 300, LIVES_UNLIMITED, false}},
        {"option safe_falls on\n", {100, 300, 5, true}},
        {"option speed 60\noption time_limit none\noption lives unlimited\n"
         "option safe_falls on\n",
         {60, TIME_LIMIT_NONE, LIVES_UNLIMITED, true}},
    };
    for (const Case& c : cases) {
        ReplayScript script = parsed(std::string(c.lines) + "seed 2\n5 ENTER\n");
        EXPECT_EQ(script.rules.speed, c.rules.speed) << c.lines;
        EXPECT_EQ(script.rules.time_limit, c.rules.time_limit) << c.lines;
        EXPECT_EQ(script.rules.lives, c.rules.lives) << c.lines;
        EXPECT_EQ(script.rules.safe_falls, c.rules.safe_falls) << c.lines;
        EXPECT_EQ(option_lines(script.rules), c.lines);
        EXPECT_TRUE(assists_on(script.rules)) << c.lines;
    }
    // Naming a default is allowed and writes nothing back.
    ReplayScript script = parsed("option speed 100\noption safe_falls off\n");
    EXPECT_FALSE(assists_on(script.rules));
}

TEST(ReplayScriptFormat, OptionLinesComeFirstAndNameOnlyTheMenusChoices)
{
    EXPECT_EQ(parse_error("30 ENTER\noption speed 50\n"),
              "line 2: option lines come before any frame line");
    EXPECT_EQ(parse_error("end 9\noption lives 9\n"),
              "line 2: option lines come before any frame line");
    EXPECT_EQ(parse_error("option speed 55\n"), "line 1: no option speed 55");
    EXPECT_EQ(parse_error("option lives 0\n"), "line 1: no option lives 0");
    EXPECT_EQ(parse_error("option time_limit 0\n"), "line 1: no option time_limit 0");
    EXPECT_EQ(parse_error("option safe_falls yes\n"), "line 1: no option safe_falls yes");
    EXPECT_EQ(parse_error("option gravity low\n"), "line 1: no option gravity low");
    EXPECT_EQ(parse_error("option speed\n"), "line 1: expected: option NAME VALUE");
    // A seed line and comments may stand before them.
    EXPECT_EQ(parsed("# a best\nseed 4\noption lives 9\n").rules.lives, 9);
}

TEST(ReplayScriptFormat, ChecksKeepTheirFramesAndLines)
{
    ReplayScript script = parsed("expect score 6000\n"
                                 "at 120 expect screen menu\n"
                                 "stop_when screen end\n"
                                 "screenshot 30 menu.png\n"
                                 "screenshot 40 round.png 12\n");
    ASSERT_EQ(script.expectations.size(), 2u);
    EXPECT_EQ(script.expectations[0].frame, AT_STOP);
    EXPECT_EQ(script.expectations[0].field, "score");
    EXPECT_EQ(script.expectations[0].value, "6000");
    EXPECT_EQ(script.expectations[1].frame, 120);
    EXPECT_EQ(script.expectations[1].line, 2);
    ASSERT_EQ(script.stops.size(), 1u);
    EXPECT_EQ(script.stops[0].value, "end");
    ASSERT_EQ(script.screenshots.size(), 2u);
    EXPECT_EQ(script.screenshots[0].tolerance, 0);
    EXPECT_EQ(script.screenshots[1].name, "round.png");
    EXPECT_EQ(script.screenshots[1].tolerance, 12);
    parse_error("expect score\n");
    parse_error("at 5 score 3\n");
    parse_error("screenshot menu.png\n");
    parse_error("stop_when screen\n");
}

TEST(ReplayScriptFormat, TheLastFrameIsEndElseTheLargestNamed)
{
    EXPECT_EQ(last_frame(parsed("0-300 ENTER\nend 120\n")), 120);
    EXPECT_EQ(last_frame(parsed("0-300 ENTER\nat 400 expect lives 5\n")), 400);
    EXPECT_EQ(last_frame(parsed("screenshot 500 x.png\n10 ESC\n")), 500);
    EXPECT_EQ(last_frame(parsed("expect lives 5\n")), -1);
}

// --- Keyboard frames ----------------------------------------------------------------

TEST(ReplayKeyboard, FrameZeroRunsFromStartUpUntilTheFirstCallReturns)
{
    EXPECT_EQ(keyboard_frame(0, false), 0);
    EXPECT_EQ(keyboard_frame(1, false), 0);   // inside call 0, before its pacing
    EXPECT_EQ(keyboard_frame(1, true), 1);    // call 0 has paced: frame 1
    EXPECT_EQ(keyboard_frame(42, false), 41);
    EXPECT_EQ(keyboard_frame(42, true), 42);
}

// --- Frames drawn ---------------------------------------------------------------------

TEST(ReplayDrawing, ScreenChangesAndScreenshotsAreDrawnOnce)
{
    ReplayScript script =
        parsed("screenshot 500 a.png\nscreenshot 30 b.png\nscreenshot 10 c.png\n");
    std::vector<int> drawn = frames_to_draw({10, 30, 80}, script);
    EXPECT_EQ(drawn, (std::vector<int>{10, 30, 80, 500}));
    EXPECT_TRUE(frame_drawn(drawn, 80));
    EXPECT_FALSE(frame_drawn(drawn, 81));
    EXPECT_FALSE(frame_drawn(drawn, 0));
    EXPECT_TRUE(frames_to_draw({}, parsed("end 9\n")).empty());
}

// --- State fields and trace ---------------------------------------------------------------

TEST(ReplayState, TheTraceHeaderIsFixed)
{
    EXPECT_EQ(trace_header(),
              "frame,screen,santa_x,santa_y,scroll_x,score,lives,time_left,finale_phase,"
              "parts_fitted,carried_part,santa_hit,paused,key_cooldown");
}

TEST(ReplayState, NumbersPrintWithTenSignificantDigits)
{
    EXPECT_EQ(number_text(6000), "6000");
    EXPECT_EQ(number_text(-320), "-320");
    EXPECT_EQ(number_text(0.1 + 0.05), "0.15");
    EXPECT_EQ(number_text(1.0 / 3), "0.3333333333");
    EXPECT_EQ(number_text(12345678901.0), "1.23456789e+10");
}

TEST(ReplayState, SantaFieldsAreEmptyWithoutSanta)
{
    while (array_count(santa_list) > 0) array_delete(santa_list, 0);
    screen_state.current = Screen::menu;
    tally.score = 2000;
    GameSnapshot snapshot = take_snapshot(17, false);
    EXPECT_EQ(trace_line(snapshot).rfind("17,menu,,,", 0), 0u);
    EXPECT_EQ(*snapshot_value(snapshot, "santa_x"), "");
    EXPECT_EQ(*snapshot_value(snapshot, "score"), "2000");
    EXPECT_EQ(*snapshot_value(snapshot, "quit"), "0");
    EXPECT_EQ(snapshot_value(snapshot, "nonsense"), nullptr);
}

TEST(ReplayState, SnapshotsReadTheGameAsItIs)
{
    Santa santa{};
    santa.x = 160;
    santa.y = 121.5;
    array_append(santa_list, santa);
    array_append(reindeer, Reindeer{});
    screen_state.current = Screen::round;
    screen_state.scroll_x = -320;
    tally.lives = 4;
    screen_state.paused = 1;
    GameSnapshot snapshot = take_snapshot(3, true);
    std::string line = trace_line(snapshot);
    EXPECT_EQ(line.rfind("3,round,160,121.5,-320,", 0), 0u) << line;
    EXPECT_EQ(*snapshot_value(snapshot, "lives"), "4");
    EXPECT_EQ(*snapshot_value(snapshot, "paused"), "1");
    EXPECT_EQ(*snapshot_value(snapshot, "reindeer"), "1");
    EXPECT_EQ(*snapshot_value(snapshot, "round_lists"), "2");
    EXPECT_EQ(*snapshot_value(snapshot, "quit"), "1");
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 13);
    array_delete(santa_list, 0);
    array_delete(reindeer, 0);
}

TEST(ReplayState, OnlyKnownFieldsCanBeChecked)
{
    EXPECT_TRUE(is_state_field("frame"));
    EXPECT_TRUE(is_state_field("finale_phase"));
    EXPECT_TRUE(is_state_field("bind_jump"));
    EXPECT_TRUE(is_state_field("quit"));
    EXPECT_FALSE(is_state_field("santa"));
    EXPECT_EQ(check_field_names(parsed("expect lives 5\nend 3\n")), "");
    EXPECT_EQ(check_field_names(parsed("end 3\nat 2 expect live 5\n")),
              "line 2: no state field named live");
    EXPECT_EQ(check_field_names(parsed("stop_when scren end\nend 3\n")),
              "line 1: no state field named scren");
}

// --- Checks ---------------------------------------------------------------------------

TEST(ReplayChecks, ValuesMatchAsNumbersOrAsText)
{
    EXPECT_TRUE(value_matches("6000", "6000"));
    EXPECT_TRUE(value_matches("6000", "6000.0"));
    EXPECT_TRUE(value_matches("-320", "-320"));
    EXPECT_FALSE(value_matches("-318", "-320"));
    EXPECT_TRUE(value_matches("round", "round"));
    EXPECT_FALSE(value_matches("menu", "round"));
    EXPECT_TRUE(value_matches("", "none"));
    EXPECT_FALSE(value_matches("0", "none"));
    EXPECT_FALSE(value_matches("", "0"));
}

TEST(ReplayChecks, AFailedFieldCheckSaysWhatItFound)
{
    GameSnapshot snapshot{{"frame", "9"}, {"santa_x", ""}, {"lives", "3"}};
    EXPECT_EQ(check_field(snapshot, "lives", "3"), "");
    EXPECT_EQ(check_field(snapshot, "lives", "5"), "lives is 3, expected 5");
    EXPECT_EQ(check_field(snapshot, "santa_x", "160"), "santa_x is none, expected 160");
    EXPECT_EQ(check_field(snapshot, "score", "0"), "no state field named score");
}

TEST(ReplayChecks, PicturesCountTheirDifferingPixels)
{
    DecodedImage a = plain_picture(4, 3, 10);
    DecodedImage b = plain_picture(4, 3, 10);
    EXPECT_EQ(compare_pictures(a, b).differing, 0);
    b.pixels[5 * 4 + 1] = 11;   // green of pixel (1, 1)
    b.pixels[11 * 4 + 3] = 0;   // alpha of the last pixel
    PictureDifference difference = compare_pictures(a, b);
    EXPECT_TRUE(difference.same_size);
    EXPECT_EQ(difference.differing, 2);
    EXPECT_FALSE(compare_pictures(a, plain_picture(3, 4, 10)).same_size);
}

TEST(ReplayChecks, TheDifferencePictureMarksChangedPixelsRed)
{
    DecodedImage a = plain_picture(2, 1, 200);
    DecodedImage b = plain_picture(2, 1, 200);
    b.pixels[4] = 0;
    DecodedImage diff = difference_picture(a, b);
    ASSERT_EQ(diff.width, 2);
    EXPECT_EQ(diff.pixels[0], 50);   // unchanged: a quarter of the reference
    EXPECT_EQ(diff.pixels[3], 255);
    EXPECT_EQ(diff.pixels[4], 255);   // changed: red
    EXPECT_EQ(diff.pixels[5], 0);
    EXPECT_EQ(difference_picture(a, plain_picture(1, 1, 0)).width, 0);
}

TEST(ReplayChecks, AMatchingPictureLeavesNothingBehind)
{
    ScratchFolder folder;
    save(folder.file("screen.png"), plain_picture(8, 8, 90));
    save(folder.file("ref.png"), plain_picture(8, 8, 90));
    EXPECT_EQ(check_picture(folder.file("screen.png"), folder.file("ref.png"),
                            folder.file("out/menu"), 0),
              "");
    EXPECT_FALSE(path_exists(folder.file("out/menu.actual.png")));
    EXPECT_FALSE(path_exists(folder.file("out/menu.diff.png")));
}

TEST(ReplayChecks, AMismatchWritesTheActualAndTheDifference)
{
    ScratchFolder folder;
    DecodedImage screen = plain_picture(8, 8, 90);
    screen.pixels[0] = 91;
    screen.pixels[40] = 91;
    save(folder.file("screen.png"), screen);
    save(folder.file("ref.png"), plain_picture(8, 8, 90));
    std::string why = check_picture(folder.file("screen.png"), folder.file("ref.png"),
                                    folder.file("out/round"), 1);
    EXPECT_NE(why.find("2 pixels differ"), std::string::npos) << why;
    DecodedImage actual, diff;
    ASSERT_TRUE(read_png_file(folder.file("out/round.actual.png"), &actual));
    EXPECT_EQ(actual.pixels, screen.pixels);
    ASSERT_TRUE(read_png_file(folder.file("out/round.diff.png"), &diff));
    EXPECT_EQ(diff.pixels[0], 255);
    EXPECT_EQ(diff.pixels[1], 0);
    EXPECT_EQ(check_picture(folder.file("screen.png"), folder.file("ref.png"),
                            folder.file("out/round"), 2),
              "");
}

TEST(ReplayChecks, AMissingReferenceFailsAndKeepsTheScreen)
{
    ScratchFolder folder;
    save(folder.file("screen.png"), plain_picture(4, 4, 1));
    std::string why =
        check_picture(folder.file("screen.png"), folder.file("none.png"), folder.file("end"), 0);
    EXPECT_NE(why.find("no reference picture"), std::string::npos) << why;
    EXPECT_TRUE(path_exists(folder.file("end.actual.png")));
    EXPECT_NE(
        check_picture(folder.file("nothing.png"), folder.file("none.png"), folder.file("x"), 0),
        "");
}

TEST(ReplayChecks, PicturesOfAnotherSizeFail)
{
    ScratchFolder folder;
    save(folder.file("screen.png"), plain_picture(4, 4, 1));
    save(folder.file("ref.png"), plain_picture(4, 5, 1));
    std::string why = check_picture(folder.file("screen.png"), folder.file("ref.png"),
                                    folder.file("small"), 1000);
    EXPECT_NE(why.find("4x4, the reference 4x5"), std::string::npos) << why;
    EXPECT_FALSE(path_exists(folder.file("small.diff.png")));
}
