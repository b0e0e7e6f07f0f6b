// The options and assists screens driven frame by frame: every row, the
// ways out, the values' ends, the display and the effects' level; and the
// options kept across a restart of the whole game through settings.ini.
#include <SDL_mixer.h>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/log.h"
#include "engine/frame.h"
#include "engine/window.h"
#include "game/media_ids.h"
#include "game/play/assists.h"
#include "game/play/texts.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/game_state.h"
#include "game/shell/options_screen.h"
#include "game/shell/settings.h"
#include "game/shell/startup.h"
#include "media/keymap.h"
#include "media/screen_picture.h"
#include "media/sound.h"
#include "support/harness.h"
#include "support/scratch_folder.h"
#include "support/shell_fixture.h"

// --- Options and assists --------------------------------------------------------------------

namespace {

// One key held for the one frame after the hook of call `at`.
struct Press {
    int at;
    int key;
};

// Plays presses at their frames (nothing held otherwise); `seen` looks at
// every frame first.
void play_presses(const std::vector<Press>& presses, const std::function<void(int)>& seen = nullptr)
{
    start_script([presses, seen](int n) {
        if (seen) seen(n);
        hold_only({});
        for (const Press& press : presses)
            if (press.at == n) hold_only({press.key});
    });
}

std::string traced_screen()
{
    return *snapshot_value(take_snapshot(0, false), "screen");
}

class Options : public Shell {
protected:
    void SetUp() override
    {
        Shell::SetUp();
        set_full_effects_volume(0.75);
        set_effects_level(EFFECTS_LEVEL_FULL);
        assists = DEFAULT_ASSISTS;
    }
    void TearDown() override
    {
        Shell::TearDown();
        choose_language("en");
        set_effects_level(EFFECTS_LEVEL_FULL);
        set_picture_fit(PictureFit::whole_pixels);
        assists = DEFAULT_ASSISTS;
        apply_game_speed();
    }
};

}   // namespace

// The rows in order: Music, Effects, Display, Picture fit, Assists >,
// Best results >, Language, Back.  The screens take keys 20 frames after
// opening and 10 after each step.
TEST_F(Options, EveryRowChangesAtOnceAndBackLeaves)
{
    std::map<int, std::string> screens, language;
    std::map<int, double> music, effects;
    std::map<int, Assists> rules;
    std::map<int, double> frame_ms;
    play_presses({{20, KEY_CURSOR_RIGHT},                             // music up a step
                  {31, KEY_CURSOR_DOWN},   {42, KEY_CURSOR_LEFT},     // effects 9 ...
                  {53, KEY_CURSOR_LEFT},                              // ... and 8
                  {64, KEY_CURSOR_DOWN},   {75, KEY_CURSOR_DOWN},     // to Picture fit
                  {86, KEY_CURSOR_RIGHT},                             // Fill
                  {97, KEY_CURSOR_DOWN},   {108, KEY_ENTER},          // Assists >
                  {129, KEY_CURSOR_RIGHT}, {140, KEY_CURSOR_RIGHT},   // speed 90, 80
                  {151, KEY_CURSOR_DOWN},  {162, KEY_CURSOR_RIGHT},   // 450 s
                  {173, KEY_CURSOR_DOWN},  {184, KEY_CURSOR_LEFT},    // lives: round to Unlimited
                  {195, KEY_CURSOR_DOWN},  {206, KEY_CURSOR_RIGHT},   // safe falls on
                  {217, KEY_ESCAPE},                                  // back to the options ...
                  {238, KEY_CURSOR_DOWN},                             // ... past Best results >
                  {249, KEY_CURSOR_DOWN},  {260, KEY_CURSOR_LEFT},    // ... Language: Polski
                  {271, KEY_CURSOR_DOWN},  {282, KEY_ENTER}},         // ... and Back
                 [&](int n) {
                     screens[n] = traced_screen();
                     language[n] = text_for(TextKey::options_back);
                     music[n] = volumes.music;
                     effects[n] = volumes.sound;
                     rules[n] = assists;
                     frame_ms[n] = frame_pacing.interval;
                 });
    show_options();
    EXPECT_EQ(script.shown, 283);
    EXPECT_EQ(screens[1], "options");
    // A key held at a frame's hook is taken in the next frame, whose end the
    // next hook sees.
    EXPECT_NEAR(music[20], 0.1, 1e-9);
    EXPECT_NEAR(music[21], 0.15, 1e-9);
    EXPECT_NEAR(effects[44], 0.75 * 0.9, 1e-9);
    EXPECT_NEAR(effects[55], 0.75 * 0.8, 1e-9);
    EXPECT_EQ(effects_level(), 8);
    EXPECT_EQ(picture_fit(), PictureFit::fill);
    EXPECT_EQ(screens[109], "options");   // the frame that took Enter ...
    EXPECT_EQ(screens[110], "assists");   // ... and the assists' first
    EXPECT_EQ(rules[131].speed, 90);
    EXPECT_EQ(rules[142].speed, 80);
    // The speed is felt at once: 60, then 54, then 48 frames a second.
    EXPECT_DOUBLE_EQ(frame_ms[129], 1000.0 / 60);
    EXPECT_DOUBLE_EQ(frame_ms[131], 1000.0 / 54);
    EXPECT_DOUBLE_EQ(frame_ms[142], 1000.0 / 48);
    EXPECT_EQ(assists.speed, 80);
    EXPECT_EQ(assists.time_limit, 450);
    EXPECT_EQ(assists.lives, LIVES_UNLIMITED);
    EXPECT_TRUE(assists.safe_falls);
    EXPECT_EQ(screens[219], "options");
    EXPECT_EQ(options_screen.page, OptionsPage::options);
    // Left from following the system goes round to the last language, and
    // the screen speaks it in the frame that took the key.
    EXPECT_EQ(language[260], "Back");
    EXPECT_EQ(language[261], "Wróć");
    EXPECT_EQ(language_choice(), "pl");
}

TEST_F(Options, EscapeAndPadBackLeaveFromAnyRowAndAnAssistsEscapeLeavesOnlyTheAssists)
{
    for (int row = 0; row < 6; ++row) {
        std::vector<Press> presses;
        for (int i = 0; i < row; ++i) presses.push_back({20 + 11 * i, KEY_CURSOR_DOWN});
        presses.push_back({20 + 11 * row, KEY_ESCAPE});
        play_presses(presses);
        show_options();
        EXPECT_EQ(script.shown, 21 + 11 * row) << "row " << row;
    }
    // Escape held on from the assists: they close, and the options wait 20
    // frames before the same key leaves them too.
    hold_only({});
    start_script([](int n) {
        hold_only({});
        if (n == 20 || n == 31 || n == 42 || n == 53) hold_only({KEY_CURSOR_DOWN});
        if (n == 64) hold_only({KEY_ENTER});
        if (n >= 85) hold_only({KEY_ESCAPE});
    });
    show_options();
    // Escape taken in the assists' frame 21 (call 86); the options' next
    // frame ends with call 87 and they wait 20 more.
    EXPECT_EQ(script.shown, 87 + 20);
}

TEST_F(Options, ValuesStopAtTheirEndsOrGoRoundAndTheMusicKeysStillWork)
{
    std::vector<Press> presses;
    for (int i = 0; i < 25; ++i) presses.push_back({20 + 11 * i, KEY_CURSOR_RIGHT});   // music
    presses.push_back({300, KEY_CURSOR_DOWN});
    for (int i = 0; i < 12; ++i) presses.push_back({311 + 11 * i, KEY_CURSOR_RIGHT});   // effects
    presses.push_back({460, KEY_PAGE_DOWN});
    presses.push_back({480, KEY_ESCAPE});
    play_presses(presses);
    show_options();
    EXPECT_NEAR(volumes.music, 1.1 - 0.05, 1e-9);   // 1.1 was the ceiling; Page Down took a step
    EXPECT_EQ(effects_level(), EFFECTS_LEVEL_FULL);
    EXPECT_EQ(volumes.sound, 0.75);   // full, as it always was

    // Game speed goes round its six choices and back to 100 %.
    std::vector<Press> speed = {{20, KEY_CURSOR_DOWN},
                                {31, KEY_CURSOR_DOWN},
                                {42, KEY_CURSOR_DOWN},
                                {53, KEY_CURSOR_DOWN},
                                {64, KEY_ENTER}};
    std::vector<int> seen;
    for (int i = 0; i < 6; ++i) speed.push_back({85 + 11 * i, KEY_CURSOR_RIGHT});
    speed.push_back({160, KEY_ESCAPE});
    speed.push_back({190, KEY_ESCAPE});
    play_presses(speed, [&seen](int n) {
        if (n > 85 && (n - 87) % 11 == 0 && n < 150) seen.push_back(assists.speed);
    });
    show_options();
    EXPECT_EQ(seen, (std::vector<int>{90, 80, 70, 60, 50, 100}));
}

TEST_F(Options, DisplayRowSwitchesAsF11Does)
{
    const bool before = window_is_fullscreen();
    std::vector<bool> modes;
    play_presses({{20, KEY_CURSOR_DOWN},
                  {31, KEY_CURSOR_DOWN},
                  {42, KEY_CURSOR_RIGHT},
                  {60, KEY_CURSOR_LEFT},
                  {80, KEY_ESCAPE}},
                 [&modes](int n) {
                     if (n == 43 || n == 45 || n == 62) modes.push_back(window_is_fullscreen());
                 });
    show_options();
    set_screen(320, 240, 0);
    EXPECT_EQ(modes, (std::vector<bool>{before, !before, before}));
}

TEST_F(Options, EffectsAtZeroPlaySilenceAndAtTenTodaysLevel)
{
    // Today's level on the desktop, and the mixer volume it gave.
    const int todays = mixer_levels(sound_levels(0, 0.75)).volume;
    ASSERT_GT(todays, 0);
    struct Case {
        int level;
        double sound;
        int mixer_volume;
    };
    for (const Case& c :
         {Case{0, 0, 0}, Case{10, 0.75, todays}, Case{11, 0.75, todays}, Case{-1, 0, 0}}) {
        set_effects_level(c.level);
        EXPECT_EQ(volumes.sound, c.sound) << "level " << c.level;
        stop_all_sounds();
        const int channel = play_sound(SOUND_JUMP, 0, volumes.sound);
        ASSERT_GE(channel, 0) << "the jump sound did not play";
        EXPECT_EQ(Mix_Volume(sound_mixer_channel(channel), -1), c.mixer_volume)
            << "level " << c.level;
    }
    set_effects_level(5);
    EXPECT_EQ(volumes.sound, 0.375);
    stop_all_sounds();
}

// --- Options kept across a restart -------------------------------------------------------------

// These run the whole game inside a child process, so the parent's window is
// never shared with a process that shuts it down.

namespace {

// Frames counted since the screen last changed, for scripts that run the
// whole game across many screens.
struct ScreenClock {
    Screen screen = Screen::startup;
    int frames = 0;

    void tick()
    {
        if (screen_state.current != screen) {
            screen = screen_state.current;
            frames = 0;
        }
        ++frames;
    }
};

// Holds key at the frame of the screen's clock that `at` names.
void press_at(const ScreenClock& clock, std::initializer_list<Press> presses)
{
    for (const Press& press : presses)
        if (press.at == clock.frames) hold_only({press.key});
}

// The first run: in the options, Effects down to 7 and Fill; in the
// assists, 9 lives and safe falls; then out, and Exit from the menu.
void change_options_and_exit()
{
    static ScreenClock clock;
    static int menu_visits = 0;
    static bool assists_done = false;
    clock.tick();
    if (clock.frames == 1 && clock.screen == Screen::menu) ++menu_visits;
    hold_only({});
    switch (clock.screen) {
    case Screen::menu:
        press_at(clock, {{20, KEY_CURSOR_DOWN}, {31, KEY_CURSOR_DOWN}});
        press_at(clock, {{42, menu_visits == 1 ? KEY_ENTER : KEY_CURSOR_DOWN}});
        if (menu_visits == 2) press_at(clock, {{53, KEY_ENTER}});
        break;
    case Screen::options:
        if (assists_done) {
            press_at(clock, {{25, KEY_ESCAPE}});
            break;
        }
        press_at(clock, {{20, KEY_CURSOR_DOWN},
                         {31, KEY_CURSOR_LEFT},
                         {42, KEY_CURSOR_LEFT},
                         {53, KEY_CURSOR_LEFT},
                         {64, KEY_CURSOR_DOWN},
                         {75, KEY_CURSOR_DOWN},
                         {86, KEY_CURSOR_RIGHT},
                         {97, KEY_CURSOR_DOWN},
                         {108, KEY_ENTER}});
        break;
    case Screen::assists:
        assists_done = true;
        press_at(clock, {{20, KEY_CURSOR_DOWN},
                         {31, KEY_CURSOR_DOWN},
                         {42, KEY_CURSOR_RIGHT},
                         {53, KEY_CURSOR_DOWN},
                         {64, KEY_CURSOR_RIGHT},
                         {75, KEY_ESCAPE}});
        break;
    case Screen::startup: break;
    default: fail_child("left the menu and the options");
    }
}

bool log_says(const std::string& text)
{
    const std::vector<unsigned char> log = read_bytes(log_path());
    return std::string(log.begin(), log.end()).find(text) != std::string::npos;
}

// A run of the game with settings.ini in use, with a script run at every
// frame; the game must end by itself, with status 0.
void run_with_settings(void (*script)())
{
    EXPECT_EXIT(
        {
            enable_settings();
            prepare_shell();
            start_script([script](int) { script(); });
            game_main();
            fail_child("game_main returned");
        },
        ::testing::ExitedWithCode(0), "");
}

void expect_restored_then_escape()
{
    if (screen_state.current != Screen::menu) return;
    if (effects_level() != 7 || picture_fit() != PictureFit::fill || assists.lives != 9 ||
        !assists.safe_falls || assists.speed != 100) {
        fail_child("the options were not restored");
    }
    hold_only({KEY_ESCAPE});
}

void expect_defaults_named_then_escape()
{
    if (screen_state.current != Screen::menu) return;
    if (effects_level() != EFFECTS_LEVEL_FULL || assists.lives != 5 || !assists.safe_falls)
        fail_child("a damaged line did not keep its default (or a good one was lost)");
    if (!log_says("Settings: line 2 (effects = loud)") ||
        !log_says("Settings: line 4 (lives = 99)"))
        fail_child("the log does not name the damaged lines");
    hold_only({KEY_ESCAPE});
}

}   // namespace

namespace {

// The Music row changed where settings.ini cannot go (its folder's name is
// a file's): the line under the title says so from the next frame drawn,
// in its own words, and the screen goes on.
void change_music_where_settings_cannot_go()
{
    enable_settings();
    prepare_shell();
    const std::string& why = text_for(TextKey::options_not_kept);
    constexpr int NOTE_Y = 32;   // the line under the title, where the Assists greet
    const int x = text_x(TextKey::options_not_kept, why), y = NOTE_Y;
    const int first_letter = letter_colour(why[0]).value();
    play_presses({{20, KEY_CURSOR_RIGHT}, {40, KEY_ESCAPE}}, [&](int n) {
        // The change is made in frame 21, after its drawing; 22 draws the line.
        if (n == 21 && pixel(x, y) == first_letter) fail_child("the line was there before");
        if (n == 22 && pixel(x, y) != first_letter) fail_child("the line is not there");
    });
    show_options();
    if (settings_trouble() != StorageTrouble::other) fail_child("the trouble is not the cause");
    if (script.shown != 41) fail_child("the Options did not go on");
    std::exit(0);
}

}   // namespace

TEST(ShellDeathTest, ASettingThatCannotBeKeptSaysSoUnderTheTitle)
{
    ScratchFolder config;
    EnvOverride config_home("XDG_CONFIG_HOME", config.path.c_str());
    write_bytes(config.path + "snowbelter", bytes_of("a file where the folder should be"));
    EXPECT_EXIT(change_music_where_settings_cannot_go(), ::testing::ExitedWithCode(0), "");
}

TEST(ShellDeathTest, OptionsAndAssistsLastAcrossARestartAndDamagedLinesKeepTheirDefaults)
{
    ScratchFolder config;
    EnvOverride config_home("XDG_CONFIG_HOME", config.path.c_str());
    const std::string file = config.path + "snowbelter/settings.ini";

    run_with_settings(change_options_and_exit);
    const std::vector<unsigned char> bytes = read_bytes(file);
    const std::string text(bytes.begin(), bytes.end());
    for (const char* line : {"\neffects = 7 ", "\npicture_fit = fill ", "\nlives = 9 ",
                             "\nsafe_falls = yes\n", "\nspeed = 100 "})
        EXPECT_NE(text.find(line), std::string::npos) << line << " not in:\n" << text;

    run_with_settings(expect_restored_then_escape);

    write_bytes(file,
                bytes_of("[sound]\neffects = loud\n[assists]\nlives = 99\nsafe_falls = on\n"));
    run_with_settings(expect_defaults_named_then_escape);
}
