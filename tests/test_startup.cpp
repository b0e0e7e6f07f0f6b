// The game's side of program start, piece by piece: the settings handed to
// the runtime, the display, the media, the arrays, the volumes and the snow.
#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/numbers.h"
#include "engine/frame.h"
#include "engine/window.h"
#include "game/media_ids.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "game/shell/key_names.h"
#include "game/shell/session.h"
#include "game/shell/startup.h"
#include "media/keymap.h"
#include "media/music.h"
#include "media/renderer.h"
#include "media/sound.h"
#include "media/sprites.h"
#include "support/harness.h"
#include "support/shell_fixture.h"

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
