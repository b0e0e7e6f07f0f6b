// Music: starting and stopping pieces, the loop deadline on the test clock,
// the volume sent only when it changes, pieces from the music archive, and
// the decoder check at start-up.  WAV pieces stand in for MP3 ones: the
// mixer plays both through the same music stream.

#include <SDL_mixer.h>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

#include "core/archive.h"
#include "core/clock.h"
#include "core/log.h"
#include "core/sbx_format.h"
#include "media/music.h"
#include "media/sound.h"
#include "support/quiet_environment.h"
#include "support/scratch_folder.h"
#include "support/wav_builder.h"

namespace {

const double CLOCK_START_MS = 1000;
const int TUNE_RATE = 1000;

::testing::Environment* const quiet_environment =
    ::testing::AddGlobalTestEnvironment(new QuietEnvironment);

class Music : public ::testing::Test {
protected:
    ScratchFolder scratch;

    void SetUp() override
    {
        use_test_clock(CLOCK_START_MS);
        sound_init();
        ASSERT_TRUE(sound_system_ready());
    }
    void TearDown() override
    {
        music_shutdown();
        sound_shutdown();
        use_real_clock();
    }

    // A silent piece of the given length in seconds.
    std::string tune(const std::string& name, double seconds)
    {
        std::string path = scratch.file(name);
        write_wav(path, silent_wav(1, TUNE_RATE, 8, static_cast<size_t>(seconds * TUNE_RATE)));
        return path;
    }

    static double position() { return Mix_GetMusicPosition(nullptr); }
};

// ---------------------------------------------------------------------------
// Looping.

TEST_F(Music, LoopingPieceRestartsWhenItsLengthHasPassed)
{
    std::string forty = tune("forty.wav", 40);
    play_music(forty.c_str(), 1);
    ASSERT_TRUE(music_loaded());
    EXPECT_DOUBLE_EQ(music_length_ms(), 40000);
    EXPECT_DOUBLE_EQ(music_loop_deadline(), CLOCK_START_MS + 40000);

    ASSERT_EQ(Mix_SetMusicPosition(20.0), 0);
    advance_test_clock(39999);
    music_loop_check();
    EXPECT_DOUBLE_EQ(music_loop_deadline(), CLOCK_START_MS + 40000);
    EXPECT_GE(position(), 20.0);   // not restarted yet

    advance_test_clock(1);
    music_loop_check();
    EXPECT_DOUBLE_EQ(music_loop_deadline(), CLOCK_START_MS + 80000);
    EXPECT_LT(position(), 20.0);   // back at the beginning
}

TEST_F(Music, DeadlineCountsFromTheCheckThatRestarted)
{
    std::string forty = tune("forty.wav", 40);
    play_music(forty.c_str(), 1);
    advance_test_clock(45000);   // a check came late
    music_loop_check();
    EXPECT_DOUBLE_EQ(music_loop_deadline(), CLOCK_START_MS + 45000 + 40000);
}

TEST_F(Music, PieceWithoutLengthRestartsEvery500Milliseconds)
{
    std::string blip = tune("blip.wav", 0.001);
    play_music(blip.c_str(), 1);
    ASSERT_TRUE(music_loaded());
    EXPECT_DOUBLE_EQ(music_length_ms(), MUSIC_MIN_LENGTH_MS);
    EXPECT_DOUBLE_EQ(music_loop_deadline(), CLOCK_START_MS + 500);
    for (int restart = 1; restart <= 3; ++restart) {
        advance_test_clock(499);
        music_loop_check();
        EXPECT_DOUBLE_EQ(music_loop_deadline(), CLOCK_START_MS + 500 * restart);
        advance_test_clock(1);
        music_loop_check();
        EXPECT_DOUBLE_EQ(music_loop_deadline(), CLOCK_START_MS + 500 * (restart + 1));
    }
}

TEST_F(Music, PiecePlayedOnceHasNoDeadline)
{
    std::string forty = tune("forty.wav", 40);
    play_music(forty.c_str(), 0);
    ASSERT_TRUE(music_loaded());
    EXPECT_EQ(music_loop_deadline(), 0);
    ASSERT_EQ(Mix_SetMusicPosition(20.0), 0);
    advance_test_clock(100000);
    music_loop_check();
    EXPECT_EQ(music_loop_deadline(), 0);
    EXPECT_GE(position(), 20.0);
}

TEST_F(Music, CheckWithoutMusicDoesNothing)
{
    advance_test_clock(100000);
    music_loop_check();
    EXPECT_FALSE(music_loaded());
    EXPECT_EQ(music_loop_deadline(), 0);
}

// ---------------------------------------------------------------------------
// Starting and stopping.

TEST_F(Music, StopForgetsPieceDeadlineAndVolume)
{
    std::string forty = tune("forty.wav", 40);
    play_music(forty.c_str(), 1);
    set_music_volume(0.3);
    stop_music();
    EXPECT_FALSE(music_loaded());
    EXPECT_FALSE(Mix_PlayingMusic());
    EXPECT_EQ(music_loop_deadline(), 0);
    EXPECT_EQ(music_stored_volume(), -1);
    advance_test_clock(50000);
    music_loop_check();
    EXPECT_FALSE(Mix_PlayingMusic());
}

TEST_F(Music, MissingFileStopsTheOldPieceAndPlaysNothing)
{
    std::string forty = tune("forty.wav", 40);
    play_music(forty.c_str(), 1);
    std::string missing = scratch.path + "missing.mp3";
    play_music(missing.c_str(), 1);
    EXPECT_FALSE(music_loaded());
    EXPECT_FALSE(Mix_PlayingMusic());
    EXPECT_EQ(music_loop_deadline(), 0);
    EXPECT_EQ(music_file_name(), missing);
}

TEST_F(Music, FileThatIsNoMusicPlaysNothing)
{
    std::string junk = scratch.file("junk.mp3");
    write_wav(junk, Bytes(300, 0x5A));
    play_music(junk.c_str(), 1);
    EXPECT_FALSE(music_loaded());
    EXPECT_EQ(music_loop_deadline(), 0);
}

TEST_F(Music, PlaysAnEntryOfTheMusicArchiveFromATemporaryFile)
{
    Bytes wav = silent_wav(1, TUNE_RATE, 8, 3 * TUNE_RATE);
    MemoryBlock archive;
    ASSERT_TRUE(sbx_build({{"tune.wav", MemoryBlock(wav.begin(), wav.end())}}, false, archive));
    std::string archive_path = scratch.file("sfx.sbx");
    write_wav(archive_path, Bytes(archive.begin(), archive.end()));
    mount_archives("", archive_path.c_str());
    play_music("media/sfx/tune.wav", 1);
    EXPECT_TRUE(music_loaded());
    EXPECT_DOUBLE_EQ(music_length_ms(), 3000);
    EXPECT_FALSE(music_archive().temp_file.empty());
    EXPECT_TRUE(path_exists(music_archive().temp_file));
    archives_shutdown();
}

// ---------------------------------------------------------------------------
// Volume.

TEST_F(Music, NewPieceStartsAtFullVolume)
{
    std::string forty = tune("forty.wav", 40);
    Mix_VolumeMusic(3);
    play_music(forty.c_str(), 0);
    EXPECT_EQ(music_stored_volume(), 1.0);
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
}

TEST_F(Music, EqualVolumeIsSentOnlyOnce)
{
    std::string forty = tune("forty.wav", 40);
    play_music(forty.c_str(), 0);
    set_music_volume(0.5);
    EXPECT_EQ(Mix_VolumeMusic(-1), 64);
    Mix_VolumeMusic(5);   // a second send would overwrite this
    set_music_volume(0.5);
    EXPECT_EQ(Mix_VolumeMusic(-1), 5);
    set_music_volume(0.25);
    EXPECT_EQ(Mix_VolumeMusic(-1), 32);
}

TEST_F(Music, NewPieceMakesTheNextVolumeBeSent)
{
    std::string forty = tune("forty.wav", 40);
    play_music(forty.c_str(), 0);
    set_music_volume(0.5);
    play_music(forty.c_str(), 0);
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
    set_music_volume(0.5);
    EXPECT_EQ(Mix_VolumeMusic(-1), 64);
}

TEST_F(Music, VolumeWithoutAPieceIsStoredButNotSent)
{
    Mix_VolumeMusic(7);
    set_music_volume(0.1);
    EXPECT_EQ(music_stored_volume(), 0.1);
    EXPECT_EQ(Mix_VolumeMusic(-1), 7);
}

TEST(MusicVolume, ThousandthsMapOntoTheMixerScale)
{
    EXPECT_EQ(mixer_music_volume(1.0), MIX_MAX_VOLUME);
    EXPECT_EQ(mixer_music_volume(0.5), 64);
    EXPECT_EQ(mixer_music_volume(0.1), 13);     // 100 thousandths: 12.8
    EXPECT_EQ(mixer_music_volume(0.0005), 0);   // under one thousandth
    EXPECT_EQ(mixer_music_volume(0), 0);
}

TEST(MusicVolume, OutOfRangeValuesAreClamped)
{
    EXPECT_EQ(mixer_music_volume(1.1), MIX_MAX_VOLUME);
    EXPECT_EQ(mixer_music_volume(1e12), MIX_MAX_VOLUME);
    EXPECT_EQ(mixer_music_volume(-0.2), 0);
    EXPECT_EQ(mixer_music_volume(std::nan("")), 0);
}

// ---------------------------------------------------------------------------
// The decoder check.

TEST(MusicDecoder, Mp3DecoderIsLoadedOrItsAbsenceLogged)
{
    ScratchFolder scratch;
    TempFolderOverride temp(scratch.path);
    sound_init();
    ASSERT_TRUE(sound_system_ready());
    bool decoder = (Mix_Init(0) & MIX_INIT_MP3) != 0;
    std::vector<unsigned char> bytes = read_bytes(log_path());
    std::string log(bytes.begin(), bytes.end());
    EXPECT_NE(decoder, log.find("No MP3 decoder") != std::string::npos) << log;
    sound_shutdown();
}

TEST(MusicDecoder, WithoutASoundSystemNothingPlays)
{
    ScratchFolder scratch;
    std::string path = scratch.file("tune.wav");
    write_wav(path, silent_wav(1, TUNE_RATE, 8, TUNE_RATE));
    ASSERT_FALSE(sound_system_ready());
    play_music(path.c_str(), 1);
    EXPECT_FALSE(music_loaded());
    EXPECT_EQ(music_loop_deadline(), 0);
    music_loop_check();
    stop_music();
}

}   // namespace
