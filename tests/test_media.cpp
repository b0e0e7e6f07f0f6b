/*
 * test_media.cpp - the game's own media as the build packs it: every picture
 * and sound that start-up loads is found in media/gfx.sbx and loads cleanly,
 * and both tunes are in media/sfx.sbx.
 */
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

#include "core/archive.h"
#include "core/errors.h"
#include "game/shell/media_table.h"
#include "game/shell/startup.h"
#include "media/sound.h"
#include "media/sprites.h"
#include "support/harness.h"

namespace {

class BuiltMedia : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(start_test_runtime());
        ASSERT_EQ(chdir(SNOW_BINARY_DIR), 0);   // media/ lies beside the game
        mount_archives("media/gfx.sbx", "media/sfx.sbx");
    }
};

TEST_F(BuiltMedia, EveryStripLoadsFromTheArchiveAtAWholeNumberOfFrames)
{
    for (std::size_t i = 0; i < STRIP_FILE_COUNT; ++i) {
        const StripFile& strip = STRIP_FILES[i];
        load_anim(strip.file, strip.id, strip.frame_width, strip.frame_height);
        EXPECT_EQ(runtime_status.status, STATUS_SUCCESS) << strip.file;
        int width = 0, height = 0;
        get_sprite_size(strip.id, &width, &height);
        EXPECT_GT(width, 0) << strip.file;
        EXPECT_EQ(width % strip.frame_width, 0) << strip.file;
        EXPECT_EQ(height % strip.frame_height, 0) << strip.file;
    }
}

TEST_F(BuiltMedia, TheWholeStartUpLoadLeavesStatusZero)
{
    load_media();
    EXPECT_EQ(runtime_status.status, STATUS_SUCCESS);
    for (int id : {SOUND_JUMP, SOUND_PICKUP, SOUND_DROP})
        EXPECT_EQ(sound_buffer_count(id), 1) << id;
}

TEST_F(BuiltMedia, BothTunesAreInTheMusicArchive)
{
    std::string out;
    for (const char* tune : {"media/sfx/santa.mp3", "media/sfx/filler.mp3"}) {
        EXPECT_TRUE(resolve_media_path(music_archive(), tune, out, false)) << tune;
        EXPECT_EQ(access(out.c_str(), R_OK), 0) << out;
    }
}

}   // namespace
