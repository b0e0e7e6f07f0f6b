// The game shell driven frame by frame: start-up, the main menu and its loop
// of screens, the key screen, the story screen, the shared text and frame
// steps.  Keys come from the scripted keyboard; a frame hook plays a script
// at the start of every show_screen, and pictures are checked by pixels drawn
// from small test images whose colours say which picture (or which letter)
// covers a pixel.
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/clock.h"
#include "core/errors.h"
#include "core/log.h"
#include "core/numbers.h"
#include "engine/frame.h"
#include "engine/window.h"
#include "game/play/assists.h"
#include "game/play/draw.h"
#include "game/play/texts.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/bests.h"
#include "game/shell/game_state.h"
#include "game/shell/key_names.h"
#include "game/shell/keys_screen.h"
#include "game/shell/level_data.h"
#include "game/shell/menu.h"
#include "game/shell/options_screen.h"
#include "game/shell/session.h"
#include "game/shell/settings.h"
#include "game/shell/shell_keys.h"
#include "game/shell/startup.h"
#include "game/shell/story.h"
#include "media/gamepad.h"
#include "media/grabs.h"
#include "media/image.h"
#include "media/keymap.h"
#include "media/music.h"
#include "media/renderer.h"
#include "media/screen_picture.h"
#include "media/sound.h"
#include "media/sprites.h"
#include "support/exact_text.h"
#include "support/exit_status.h"
#include "support/harness.h"
#include "support/play_fixture.h"
#include "support/scratch_folder.h"

namespace {

// --- Test pictures ---------------------------------------------------------------

struct Rgb {
    int r, g, b;
    int value() const { return r + 256 * g + 65536 * b; }
};

constexpr Rgb SKY{20, 30, 90};
constexpr Rgb TREES{30, 120, 40};
constexpr Rgb TITLE{230, 40, 50};
constexpr Rgb PUDDING{120, 60, 20};
constexpr Rgb GROUND_LEFT{200, 200, 210};
constexpr Rgb GROUND_RIGHT{150, 150, 170};
constexpr int FONT_FRAMES_PER_ROW = 10;
constexpr int FONT_ROWS = 17;   // room for every frame of the font

// Each font frame is one opaque pixel at its cell's top-left corner, in a
// colour that names the frame, so a pixel tells which letter stands there.
Rgb frame_colour(int frame)
{
    return Rgb{40 + frame, 220, 30};
}

int ascii_frame(char letter)
{
    return static_cast<unsigned char>(letter) - 32;
}

Rgb letter_colour(char letter)
{
    return frame_colour(ascii_frame(letter));
}

struct Picture {
    int width, height;
    std::vector<unsigned char> rgba;

    Picture(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4, 0) {}
    void fill(int x0, int y0, int w, int h, Rgb c)
    {
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) {
                unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
                p[0] = static_cast<unsigned char>(c.r);
                p[1] = static_cast<unsigned char>(c.g);
                p[2] = static_cast<unsigned char>(c.b);
                p[3] = 255;
            }
        }
    }
    void save(const std::string& path) const
    {
        ASSERT_TRUE(write_png(path.c_str(), rgba.data(), width, height)) << path;
    }
};

Picture font_picture()
{
    Picture font(9 * FONT_FRAMES_PER_ROW, 11 * FONT_ROWS);
    for (int frame = 1; frame < FONT_FRAMES_PER_ROW * FONT_ROWS; ++frame) {
        int x = 9 * (frame % FONT_FRAMES_PER_ROW);
        int y = 11 * (frame / FONT_FRAMES_PER_ROW);
        font.fill(x, y, 1, 1, frame_colour(frame));
    }
    return font;
}

// A tiny mono 16-bit PCM WAV file.
std::vector<unsigned char> wav_bytes()
{
    const int samples = 64;
    std::vector<unsigned char> b;
    auto u32 = [&b](unsigned v) {
        for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&b](unsigned v) {
        b.push_back(v & 0xFF);
        b.push_back((v >> 8) & 0xFF);
    };
    auto tag = [&b](const char* t) { b.insert(b.end(), t, t + 4); };
    tag("RIFF");
    u32(36 + samples * 2);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(22050);
    u32(44100);
    u16(2);
    u16(16);
    tag("data");
    u32(samples * 2);
    for (int i = 0; i < samples; ++i) u16(static_cast<unsigned>((i % 8) * 1000));
    return b;
}

// The folder the shell tests run in: "media/gfx/" holds the pictures the
// screens draw and one sound; everything else is missing on purpose.
const std::string& media_folder()
{
    static ScratchFolder* folder = nullptr;
    if (folder) return folder->path;
    folder = new ScratchFolder();   // lives for the whole test program
    Picture sky(32, 240);
    sky.fill(0, 0, 32, 240, SKY);
    sky.save(folder->file("media/gfx/sky.png"));
    Picture trees(396, 89);
    trees.fill(0, 0, 396, 89, TREES);
    trees.save(folder->file("media/gfx/trees.png"));
    Picture title(288, 69);
    title.fill(0, 0, 288, 69, TITLE);
    title.save(folder->file("media/gfx/snowbelter2.png"));
    Picture puddings(24, 26);
    puddings.fill(0, 0, 24, 26, PUDDING);
    puddings.save(folder->file("media/gfx/puddings.png"));
    Picture tiles(100, 70);   // frames 44 and 45 are the ground
    tiles.fill(40, 56, 10, 14, GROUND_RIGHT);
    tiles.fill(50, 56, 10, 14, GROUND_LEFT);
    tiles.save(folder->file("media/gfx/tiles3.png"));
    font_picture().save(folder->file("media/gfx/font.png"));
    write_bytes(folder->file("media/gfx/jump.wav"), wav_bytes());
    return folder->path;
}

// --- Scripts -----------------------------------------------------------------------

// A frame script: on_show runs at the start of every show_screen with the
// number of that call.  Runaway screens are stopped by holding the keys that
// leave every screen.
struct Script {
    int shown = 0;
    int limit = 2000;
    std::function<void(int)> on_show;
};
Script script;

void hold_only(std::initializer_list<int> codes)
{
    release_all_keys();
    for (int code : codes) hold_key(code);
}

void script_hook()
{
    ++script.shown;
    if (script.shown == script.limit) ADD_FAILURE() << "screen did not end within the script";
    if (script.shown >= script.limit) {
        hold_only({KEY_ESCAPE, to_int(bindings.jump)});
        return;
    }
    if (script.on_show) script.on_show(script.shown);
}

void start_script(std::function<void(int)> on_show)
{
    script = Script{};
    script.on_show = std::move(on_show);
    set_test_frame_hook(script_hook);
}

void load_test_media()
{
    ASSERT_EQ(chdir(media_folder().c_str()), 0);
    load_media();
}

// Brings the shell to the state game_main leaves before the menu, on a
// 320 x 240 window, on a device that is not the desktop (no doubling).
void prepare_shell(const char* device = "TEST")
{
    ASSERT_TRUE(start_test_runtime()) << "no display or GL context";
    // Tests running side by side on one X server take the focus from each
    // other; a screen script must not freeze in the inactive-window pause.
    set_auto_pause(0);
    // As the game's start-up does: Escape is the screens' key.  Without this
    // a held Escape ends the test program at once, with status 0, and the
    // test's checks never run.
    allow_escape(0);
    load_test_media();
    release_all_keys();
    bindings = DEFAULT_BINDINGS;
    device_name = "DESKTOP";   // the desktop's tables; the device only matters for drawing
    create_arrays();
    device_name = device;
    screen_state.key_cooldown = 0;
    screen_state.volume_cooldown = 0;
    volumes.music = 0.1;
    set_error(0);
}

class Shell : public ::testing::Test {
protected:
    void SetUp() override { prepare_shell(); }
    void TearDown() override
    {
        set_test_frame_hook(nullptr);
        release_all_keys();
    }
};

// The pixel (x, y) of the 320 x 240 picture as the frame being presented
// has it.
int pixel(int x, int y)
{
    return get_pixel(x, y);
}

// The pixel (x, y) of the frame presented last as the desktop's 640 x 480
// window shows it.
int shown_pixel(int x, int y)
{
    std::vector<uint8_t> shown(640 * 480 * 3);   // rows bottom first
    read_presented_picture_bgr(shown.data());
    const uint8_t* p = &shown[(std::size_t(479 - y) * 640 + x) * 3];
    return p[2] + 256 * p[1] + 65536 * p[0];
}

}   // namespace

// --- draw_text and finish_frame ------------------------------------------------------

TEST_F(Shell, TextAdvancesSevenPixelsAndNarrowLettersPullTheRestIn)
{
    clear_screen();
    draw_text(50, 60, "Hi!");
    EXPECT_EQ(pixel(50, 60), letter_colour('H').value());
    EXPECT_EQ(pixel(57, 60), letter_colour('i').value());
    EXPECT_EQ(pixel(60, 60), letter_colour('!').value());   // 14 - 4
    EXPECT_EQ(pixel(64, 60), 0);
}

TEST_F(Shell, WideLettersPushTheRestOut)
{
    clear_screen();
    draw_text(10.9, 20.7, "Wall");   // positions truncate
    EXPECT_EQ(pixel(10, 20), letter_colour('W').value());
    EXPECT_EQ(pixel(18, 20), letter_colour('a').value());   // 7 + 1
    EXPECT_EQ(pixel(25, 20), letter_colour('l').value());   // 14 + 1
    EXPECT_EQ(pixel(28, 20), letter_colour('l').value());   // 21 + 1 - 4
}

TEST_F(Shell, AsciiKeepsItsFramesAndPlaces)
{
    clear_screen();
    draw_text(20, 30, "Mix it!");
    const int xs[] = {20, 28, 31, 38, 45, 48, 54};   // M +1, i -4, t -1
    const char* letters = "Mix it!";
    for (int i = 0; i < 7; ++i) {
        if (letters[i] == ' ') continue;
        EXPECT_EQ(pixel(xs[i], 30), letter_colour(letters[i]).value()) << letters[i];
    }
    EXPECT_EQ(pixel(27, 30), 0);
}

TEST_F(Shell, Utf8TextDrawsTheAccentedLettersFrames)
{
    clear_screen();
    draw_text(10, 40, "Größe");
    draw_text(10, 60, "¡Sí! Łódź");
    const int first_row[] = {ascii_frame('G'), ascii_frame('r'), 141, 121, ascii_frame('e')};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(pixel(10 + 7 * i, 40), frame_colour(first_row[i]).value()) << i;
    // ¡ and í are narrow: what follows them moves left.
    EXPECT_EQ(pixel(10, 60), frame_colour(95).value());
    EXPECT_EQ(pixel(13, 60), letter_colour('S').value());
    EXPECT_EQ(pixel(20, 60), frame_colour(133).value());
    EXPECT_EQ(pixel(24, 60), letter_colour('!').value());
    EXPECT_EQ(pixel(35, 60), frame_colour(153).value());
    EXPECT_EQ(pixel(42, 60), frame_colour(138).value());
}

TEST_F(Shell, AMissingLetterDrawsAQuestionMarkAndIsLoggedOnce)
{
    ScratchFolder scratch;
    TempFolderOverride temp(scratch.path);
    clear_screen();
    for (int frame = 0; frame < 3; ++frame) draw_text(10, 40, "5€ 5€");
    EXPECT_EQ(pixel(17, 40), letter_colour('?').value());
    EXPECT_EQ(pixel(38, 40), letter_colour('?').value());
    const std::vector<unsigned char> bytes = read_bytes(log_path());
    const std::string log(bytes.begin(), bytes.end());
    EXPECT_EQ(log, "Text: the font has no U+20AC (\xE2\x82\xAC), drawn as '?'\r\n");
}

TEST_F(Shell, BrokenUtf8DrawsAQuestionMarkAndStopsAtTheTextsEnd)
{
    clear_screen();
    draw_text(10, 40, exact_text("a\x80z\xC3"));   // its last byte is the cut
    EXPECT_EQ(pixel(10, 40), letter_colour('a').value());
    EXPECT_EQ(pixel(17, 40), letter_colour('?').value());
    EXPECT_EQ(pixel(24, 40), letter_colour('z').value());
    EXPECT_EQ(pixel(31, 40), letter_colour('?').value());
    EXPECT_EQ(pixel(38, 40), 0);
}

TEST(FontSpacing, TableOfNarrowAndWideLetters)
{
    EXPECT_EQ(font_spacing('!' - 32), -3);
    EXPECT_EQ(font_spacing('.' - 32), -3);
    EXPECT_EQ(font_spacing('I' - 32), -4);
    EXPECT_EQ(font_spacing('M' - 32), 1);
    EXPECT_EQ(font_spacing('t' - 32), -1);
    EXPECT_EQ(font_spacing('w' - 32), 1);
    EXPECT_EQ(font_spacing('A' - 32), 0);
    EXPECT_EQ(font_spacing(-32), 0);
}

TEST_F(Shell, EmptyTextAndOddBytesDrawNothingHarmful)
{
    clear_screen();
    draw_text(30, 30, "");
    EXPECT_EQ(pixel(30, 30), 0);
    draw_text(-500, -500, "far away");
    draw_text(30, 30, "\x01\x1f\xff");
    SUCCEED();
}

TEST_F(Shell, MissingFontDrawsNothing)
{
    reset_sprite(ANIM_FONT);
    clear_screen();
    draw_text(40, 40, "Hello");
    EXPECT_EQ(pixel(40, 40), 0);
    load_test_media();
    draw_text(40, 40, "Hello");
    EXPECT_EQ(pixel(40, 40), letter_colour('H').value());
}

TEST_F(Shell, FinishFrameOnTheDesktopShowsThePictureDoubled)
{
    device_name = "DESKTOP";
    set_screen(640, 480, 1);
    start_script([](int) {});
    draw_text(50, 60, "Hi");
    finish_frame();
    set_test_frame_hook(nullptr);
    const int seen[4] = {shown_pixel(2 * 50, 2 * 60), shown_pixel(2 * 50 + 1, 2 * 60 + 1),
                         shown_pixel(2 * 57 + 1, 2 * 60), shown_pixel(2 * 50 + 2, 2 * 60)};
    set_screen(320, 240, 0);
    EXPECT_EQ(seen[0], letter_colour('H').value());
    EXPECT_EQ(seen[1], letter_colour('H').value());   // pixel-sharp, no smoothing
    EXPECT_EQ(seen[2], letter_colour('i').value());
    EXPECT_NE(seen[3], letter_colour('H').value());
    EXPECT_EQ(script.shown, 1);
}

TEST_F(Shell, FinishFrameElsewhereShowsThePictureAsDrawn)
{
    int seen[2] = {};
    start_script([&seen](int) {
        seen[0] = pixel(50, 60);
        seen[1] = pixel(100, 120);
    });
    draw_text(50, 60, "Hi");
    finish_frame();
    EXPECT_EQ(seen[0], letter_colour('H').value());
    EXPECT_NE(seen[1], letter_colour('H').value());
    EXPECT_EQ(script.shown, 1);
}

// --- Start-up ---------------------------------------------------------------------------

TEST(Startup, ProjectSettings)
{
    ProjectSettings saved = project_settings;
    project_settings = ProjectSettings{};
    project_settings.title = "other";
    project_settings.exclusive_input = 0;
    project_settings.screen_width = 1;
    apply_project_settings();
    EXPECT_EQ(project_settings.screen_width, 640);
    EXPECT_EQ(project_settings.screen_height, 480);
    EXPECT_EQ(project_settings.fullscreen, 0);
    EXPECT_EQ(project_settings.frame_rate, 60);
    EXPECT_EQ(project_settings.multisample_level, 0);
    EXPECT_EQ(project_settings.exclusive_input, 1);
    EXPECT_EQ(project_settings.debug, 0);
    EXPECT_EQ(project_settings.title, "snowbelter");
    project_settings = saved;
}

TEST(Startup, TableHandsTheRuntimeTheGame)
{
    EXPECT_EQ(snowbelter_table.apply_project_settings, &apply_project_settings);
    EXPECT_EQ(snowbelter_table.game_main, &game_main);
    EXPECT_EQ(snowbelter_table.key_source, &session_keys);
    EXPECT_EQ(snowbelter_table.frame, &session_frame);
    EXPECT_NE(snowbelter_table.pad_action_key, nullptr);
    EXPECT_NE(snowbelter_table.display_mode_changed, nullptr);
    EXPECT_EQ(snowbelter_table.quit, nullptr);
}

TEST_F(Shell, DesktopGetsTheDoubledFullScreenAndEscapeDoesNotQuit)
{
    set_up_display();
    EXPECT_STREQ(device_name.c_str(), "DESKTOP");
    EXPECT_EQ(renderer->screen_width, 640);
    EXPECT_EQ(renderer->screen_height, 480);
    EXPECT_EQ(project_settings.fullscreen, 1);
    hold_key(KEY_ESCAPE);
    run_frames(3);   // still running
    release_all_keys();
    set_screen(320, 240, 0);
}

TEST_F(Shell, MediaLoadsWhatIsThereAndLeavesMissingIdsEmpty)
{
    load_media();
    EXPECT_EQ(runtime_status.status, STATUS_NO_SUCH_FILE);   // the last strip is missing
    const SpriteEntry* font = sprite_entry(ANIM_FONT);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->width, 90);
    EXPECT_EQ(font->frame_width, 9);
    EXPECT_EQ(font->frame_height, 11);
    EXPECT_EQ(sprite_entry(ANIM_PUDDINGS)->frame_width, 24);
    EXPECT_EQ(sprite_entry(ANIM_TILES_LARGE)->frame_height, 14);
    EXPECT_EQ(sprite_entry(ANIM_SANTA)->width, 0);
    EXPECT_EQ(sprite_entry(ANIM_MERRY_CHRISTMAS)->width, 0);
    EXPECT_EQ(sound_buffer_count(SOUND_JUMP), 1);
    EXPECT_EQ(sound_buffer_count(SOUND_PICKUP), 0);
    EXPECT_EQ(sound_buffer_count(SOUND_DROP), 0);
    draw_anim(ANIM_SANTA, 3, 10, 10);   // an empty id draws nothing
}

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

TEST_F(Shell, KeyCodesCopyTheBindingsOnTheDesktop)
{
    device_name = "DESKTOP";
    create_arrays();
    for (int i = 0; i < BINDING_COUNT; ++i) {
        EXPECT_EQ(key_codes.at(i), DEFAULT_BINDINGS.*BINDING_ORDER[i]) << i;
    }
    EXPECT_EQ(array_count(key_codes), 6);
    EXPECT_EQ(bindings.jump, 29);
}

TEST_F(Shell, OtherDevicesJumpWithDButKeyCodesStillSayLeftCtrl)
{
    device_name = "HANDHELD";
    create_arrays();
    EXPECT_EQ(bindings.jump, 32);
    EXPECT_EQ(key_codes.at(4), 29);
    EXPECT_STREQ(key_table_name(key_codes.at(4)), "LEFT CTRL");
}

TEST_F(Shell, LevelMapIsEmptyAfterCreation)
{
    EXPECT_EQ(array_count(level_map, 0), 64);
    EXPECT_EQ(array_count(level_map, 1), 64);
    for (int c = 0; c < 64; ++c) {
        for (int r = 0; r < 64; ++r) ASSERT_EQ(level_map.at(c, r), 0) << c << "," << r;
    }
}

TEST_F(Shell, VolumesDependOnTheDevice)
{
    device_name = "DESKTOP";
    volumes.music = 0.7;
    set_volumes();
    EXPECT_EQ(volumes.music, 0.1);
    EXPECT_EQ(volumes.sound, 0.75);
    device_name = "HANDHELD";
    set_volumes();
    EXPECT_EQ(volumes.sound, 0.05);
    EXPECT_EQ(music_stored_volume(), 0.1);
}

TEST_F(Shell, SnowflakesAreMadeInTheirDrawOrderWithinTheScreen)
{
    dim_record_array(snowflakes, 0);
    seed_rnd(1234);
    create_snowflakes();
    ASSERT_EQ(array_count(snowflakes), 151);
    seed_rnd(1234);
    for (int i = 0; i < 151; ++i) {
        const Snowflake& flake = snowflakes.at(i);
        double x = rnd(640), y = rnd(240), size = rnd(2);
        rnd(2);   // the one more number each flake draws
        EXPECT_EQ(flake.x, x) << i;
        EXPECT_EQ(flake.y, y) << i;
        EXPECT_EQ(flake.size, size) << i;
        EXPECT_EQ(flake.tick, 0);
        EXPECT_TRUE(flake.x >= 0 && flake.x <= 640) << flake.x;
        EXPECT_TRUE(flake.y >= 0 && flake.y <= 240) << flake.y;
        EXPECT_TRUE(flake.size >= 0 && flake.size <= 2) << flake.size;
    }
}

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

// The credit line names the best standard result and only the controls in
// use; with neither a best nor anything but a keyboard it is as it always was.
TEST(MenuCredit, TheBestAndOnlyTheControlsInUse)
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
        InputKind input;
        const Bests* bests;
        const char* line;
    };
    const Case cases[] = {
        {InputKind::keyboard, &none, "PgUp/PgDn music volume. Merry Christmas!"},
        {InputKind::keyboard, &assisted_only, "PgUp/PgDn music volume. Merry Christmas!"},
        {InputKind::keyboard, &best, "Best: 2:08 to spare. PgUp/PgDn music volume."},
        {InputKind::pad, &none, "Merry Christmas!"},
        {InputKind::touch, &none, "Merry Christmas!"},
        {InputKind::touch, &best, "Best: 2:08 to spare. Merry Christmas!"},
        {InputKind::pad, &best, "Best: 2:08 to spare. Merry Christmas!"},
    };
    for (const Case& c : cases) {
        note_input_kind(c.input);
        std::string line = credit_line(*c.bests);
        EXPECT_EQ(line, c.line);
        EXPECT_LE(5 + text_width(line.c_str()), 320 - 5) << line;
    }
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
    start_script([steps, key, choose_at](int n) {
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

// The player reads Space, Enter and the cursor keys in their language; the
// settings file and every other key keep the table's names.
TEST_F(Shell, KeyNamesShownInTheLanguageAndKeptInTheTable)
{
    choose_language("de");
    EXPECT_STREQ(key_shown_name(KEY_SPACE), "LEERTASTE");
    EXPECT_STREQ(key_shown_name(KEY_CURSOR_LEFT), "PFEIL LINKS");
    EXPECT_STREQ(key_shown_name(KEY_LEFT_CTRL), "LEFT CTRL");
    EXPECT_STREQ(key_shown_name(KEY_CODE_WAITING), "???");
    EXPECT_STREQ(key_table_name(KEY_SPACE), "SPACE");
    SavedSettings saved = {{KEY_SPACE, KEY_CURSOR_LEFT, 30, 32, 57, 25}, 0.1, true};
    EXPECT_NE(settings_text(saved).find("up = 57  # SPACE\n"), std::string::npos);
    choose_language("en");
    EXPECT_STREQ(key_shown_name(KEY_SPACE), "SPACE");
    EXPECT_STREQ(key_shown_name(KEY_CURSOR_DOWN), "CURSOR DOWN");
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

class Options : public ::testing::Test {
protected:
    void SetUp() override
    {
        prepare_shell();
        set_full_effects_volume(0.75);
        set_effects_level(EFFECTS_LEVEL_FULL);
        assists = DEFAULT_ASSISTS;
    }
    void TearDown() override
    {
        set_test_frame_hook(nullptr);
        release_all_keys();
        choose_language("en");
        set_effects_level(EFFECTS_LEVEL_FULL);
        set_picture_fit(PictureFit::whole_pixels);
        assists = DEFAULT_ASSISTS;
        apply_game_speed();
    }
};

}   // namespace

// The rows in order: Music, Effects, Display, Picture fit, Assists >,
// Language, Back.  The screens take keys 20 frames after opening and 10
// after each step.
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
                  {238, KEY_CURSOR_DOWN},  {249, KEY_CURSOR_LEFT},    // ... Language: Polski
                  {260, KEY_CURSOR_DOWN},  {271, KEY_ENTER}},         // ... and Back
                 [&](int n) {
                     screens[n] = traced_screen();
                     language[n] = text_for(TextKey::options_back);
                     music[n] = volumes.music;
                     effects[n] = volumes.sound;
                     rules[n] = assists;
                     frame_ms[n] = frame_pacing.interval;
                 });
    show_options();
    EXPECT_EQ(script.shown, 272);
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
    EXPECT_EQ(language[249], "Back");
    EXPECT_EQ(language[250], "Wróć");
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

// --- The whole game's ways out ---------------------------------------------------------------------

// These start the runtime inside the child, so the parent's window is never
// shared with a process that shuts it down.
// Leaving the program from a screen the script did not expect fails the
// death test through a nonzero exit code.
[[noreturn]] void fail_child(const char* why)
{
    std::fprintf(stderr, "[%s]\n", why);
    std::_Exit(1);
}

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
