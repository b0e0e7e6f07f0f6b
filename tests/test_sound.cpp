// Sound effects: the WAV reader (good, odd and hostile files), the slots on
// SDL's dummy audio driver (loading, buffer rotation, the one-buffer rule,
// stopping), the decibel arithmetic, and the fallback without a device.

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/log.h"
#include "core/sbx_format.h"
#include "media/sound.h"
#include "media/wav.h"
#include "support/quiet_environment.h"
#include "support/scratch_folder.h"
#include "support/wav_builder.h"

namespace {

::testing::Environment* const quiet_environment =
    ::testing::AddGlobalTestEnvironment(new QuietEnvironment);

bool parse(const Bytes& bytes, WavSound* out)
{
    return parse_wav(bytes.data(), bytes.size(), out);
}

// ---------------------------------------------------------------------------
// The WAV reader.

TEST(WavReader, ReadsMono8Bit)
{
    Bytes file = silent_wav(1, 11025, 8, 100);
    WavSound wav;
    ASSERT_TRUE(parse(file, &wav));
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.sample_rate, 11025);
    EXPECT_EQ(wav.bits_per_sample, 8);
    EXPECT_EQ(wav.block_align, 1);
    EXPECT_EQ(wav.data_offset, 44u);
    EXPECT_EQ(wav.data_size, 100u);
}

TEST(WavReader, ReadsStereo16Bit)
{
    WavSound wav;
    ASSERT_TRUE(parse(silent_wav(2, 22050, 16, 10), &wav));
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.sample_rate, 22050);
    EXPECT_EQ(wav.bits_per_sample, 16);
    EXPECT_EQ(wav.block_align, 4);
    EXPECT_EQ(wav.data_size, 40u);
}

TEST(WavReader, SkipsOtherChunksAroundFmt)
{
    Bytes samples = {1, 2, 3, 4, 5, 6};
    Bytes file = wav_file({{"LIST", Bytes(10, 'x')},
                           {"fmt ", fmt_body(1, 1, 8000, 1, 8)},
                           {"fact", Bytes(4, 0)},
                           {"data", samples}});
    WavSound wav;
    ASSERT_TRUE(parse(file, &wav));
    EXPECT_EQ(wav.data_size, samples.size());
    EXPECT_EQ(Bytes(file.begin() + wav.data_offset, file.begin() + wav.data_offset + wav.data_size),
              samples);
}

TEST(WavReader, OddChunkIsFollowedByItsPadByte)
{
    Bytes file = wav_file({{"fmt ", fmt_body(1, 1, 8000, 1, 8)},
                           {"junk", Bytes(3, 'j')},   // 3 bytes + 1 pad
                           {"data", Bytes(8, 0x80)}});
    WavSound wav;
    ASSERT_TRUE(parse(file, &wav));
    EXPECT_EQ(wav.data_size, 8u);
    EXPECT_EQ(wav.data_offset, file.size() - 8);
}

TEST(WavReader, LongFmtChunkIsSkippedPastItsExtraBytes)
{
    Bytes file = wav_file({{"fmt ", fmt_body(1, 2, 8000, 4, 16, 2)}, {"data", Bytes(16, 0)}});
    WavSound wav;
    ASSERT_TRUE(parse(file, &wav));
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.data_size, 16u);
}

TEST(WavReader, FormatTagIsNotConsulted)
{
    Bytes file = wav_file({{"fmt ", fmt_body(3, 1, 8000, 2, 16)}, {"data", Bytes(4, 0)}});
    WavSound wav;
    EXPECT_TRUE(parse(file, &wav));
}

TEST(WavReader, MoreThanOneChannelIsTakenAsTwo)
{
    Bytes file = wav_file({{"fmt ", fmt_body(1, 3, 8000, 4, 16)}, {"data", Bytes(8, 0)}});
    WavSound wav;
    ASSERT_TRUE(parse(file, &wav));
    EXPECT_EQ(wav.channels, 2);
}

TEST(WavReader, DataIsCutToWholeFrames)
{
    Bytes file = wav_file({{"fmt ", fmt_body(1, 2, 8000, 4, 16)}, {"data", Bytes(10, 0)}});
    WavSound wav;
    ASSERT_TRUE(parse(file, &wav));
    EXPECT_EQ(wav.data_size, 8u);
}

struct BrokenWav {
    const char* why;
    Bytes bytes;
};

std::vector<BrokenWav> broken_wavs()
{
    Bytes fmt8 = fmt_body(1, 1, 8000, 1, 8);
    Bytes good = silent_wav(1, 8000, 8, 16);
    Bytes not_riff = good;
    not_riff[0] = 'X';
    Bytes not_wave = good;
    not_wave[8] = 'X';
    Bytes data_past_end = good;
    data_past_end.resize(data_past_end.size() - 1);
    return {
        {"empty", {}},
        {"header only", Bytes(good.begin(), good.begin() + 11)},
        {"not RIFF", not_riff},
        {"not WAVE", not_wave},
        {"no fmt chunk", wav_file({{"data", Bytes(8, 0)}})},
        {"data before fmt only", wav_file({{"data", Bytes(8, 0)}, {"fmt ", fmt8}})},
        {"no data chunk", wav_file({{"fmt ", fmt8}})},
        {"fmt shorter than 16",
         wav_file({{"fmt ", Bytes(fmt8.begin(), fmt8.begin() + 14)}, {"data", Bytes(8, 0)}})},
        {"zero channels", wav_file({{"fmt ", fmt_body(1, 0, 8000, 1, 8)}, {"data", Bytes(8, 0)}})},
        {"zero rate", wav_file({{"fmt ", fmt_body(1, 1, 0, 1, 8)}, {"data", Bytes(8, 0)}})},
        {"rate too low", wav_file({{"fmt ", fmt_body(1, 1, 50, 1, 8)}, {"data", Bytes(8, 0)}})},
        {"rate too high",
         wav_file({{"fmt ", fmt_body(1, 1, 1000000, 1, 8)}, {"data", Bytes(8, 0)}})},
        {"24 bits", wav_file({{"fmt ", fmt_body(1, 1, 8000, 3, 24)}, {"data", Bytes(9, 0)}})},
        {"4 bits", wav_file({{"fmt ", fmt_body(0x11, 1, 8000, 1, 4)}, {"data", Bytes(8, 0)}})},
        {"block align not channels x bytes",
         wav_file({{"fmt ", fmt_body(1, 2, 8000, 3, 16)}, {"data", Bytes(12, 0)}})},
        {"block align zero",
         wav_file({{"fmt ", fmt_body(1, 1, 8000, 0, 8)}, {"data", Bytes(8, 0)}})},
        {"empty data", wav_file({{"fmt ", fmt8}, {"data", {}}})},
        {"data shorter than a frame",
         wav_file({{"fmt ", fmt_body(1, 2, 8000, 4, 16)}, {"data", Bytes(3, 0)}})},
        {"data chunk larger than the file", data_past_end},
        {"data size near 4 GiB", wav_file({{"fmt ", fmt8}, {"data", Bytes(8, 0), 0xFFFFFFF0}})},
        {"skipped chunk past the end",
         wav_file({{"LIST", Bytes(4, 0), 100000}, {"fmt ", fmt8}, {"data", Bytes(8, 0)}})},
        {"fmt size past the end", wav_file({{"fmt ", fmt8, 0x7FFFFFFF}})},
    };
}

TEST(WavReader, MalformedFilesAreRefused)
{
    for (const BrokenWav& broken : broken_wavs()) {
        WavSound wav;
        EXPECT_FALSE(parse(broken.bytes, &wav)) << broken.why;
    }
}

TEST(WavReader, NullBytesAreRefused)
{
    WavSound wav;
    EXPECT_FALSE(parse_wav(nullptr, 100, &wav));
}

TEST(WavReader, EveryTruncationIsRefused)
{
    Bytes file = wav_file(
        {{"LIST", Bytes(5, 'l')}, {"fmt ", fmt_body(1, 2, 8000, 4, 16)}, {"data", Bytes(40, 0)}});
    WavSound wav;
    ASSERT_TRUE(parse(file, &wav));
    for (size_t size = 0; size < file.size(); ++size) {
        // A copy of exactly that size, so a read past it is a read past the block.
        Bytes cut(file.begin(), file.begin() + size);
        EXPECT_FALSE(parse(cut, &wav)) << "size " << size;
    }
}

TEST(WavReader, MutatedFilesNeverPointPastTheirBytes)
{
    Bytes file = wav_file(
        {{"fmt ", fmt_body(1, 2, 8000, 4, 16)}, {"junk", Bytes(3, 'j')}, {"data", Bytes(24, 0)}});
    for (size_t at = 0; at < file.size(); ++at) {
        for (std::uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            Bytes mutated = file;
            mutated[at] = value;
            WavSound wav;
            if (!parse(mutated, &wav)) continue;
            EXPECT_LE(wav.data_offset + wav.data_size, mutated.size()) << "byte " << at;
            EXPECT_GT(wav.data_size, 0u);
            EXPECT_EQ(wav.data_size % wav.block_align, 0u);
            EXPECT_TRUE(wav.channels == 1 || wav.channels == 2);
        }
    }
}

// ---------------------------------------------------------------------------
// The decibel arithmetic.

TEST(SoundLevels, VolumeBecomesHundredthsOfADecibel)
{
    EXPECT_EQ(sound_levels(0, 1).attenuation, 0);
    EXPECT_EQ(sound_levels(0, 0.5).attenuation, -5000);
    EXPECT_EQ(sound_levels(0, 2).attenuation, 0);
    EXPECT_EQ(sound_levels(0, 0).attenuation, -10000);
    EXPECT_EQ(sound_levels(0, -4).attenuation, -10000);
}

TEST(SoundLevels, VolumeIsCutToWholeHundredths)
{
    EXPECT_EQ(sound_levels(0, 0.755).attenuation, -2500);
    EXPECT_EQ(sound_levels(0, 0.009).attenuation, -10000);
}

TEST(SoundLevels, PanIsClampedAndScaled)
{
    EXPECT_EQ(sound_levels(-3, 1).pan, -10000);
    EXPECT_EQ(sound_levels(3, 1).pan, 10000);
    EXPECT_EQ(sound_levels(0.25, 1).pan, 2500);
    EXPECT_EQ(sound_levels(0, 1).pan, 0);
}

TEST(SoundLevels, NotANumberIsQuiet)
{
    SoundLevels levels = sound_levels(std::nan(""), std::nan(""));
    EXPECT_EQ(levels.attenuation, -10000);
    EXPECT_EQ(levels.pan, -10000);
}

TEST(MixerLevels, AttenuationBecomesAnAmplitude)
{
    EXPECT_EQ(mixer_levels({0, 0}).volume, MIX_MAX_VOLUME);
    EXPECT_EQ(mixer_levels({-10000, 0}).volume, 0);
    // 6 dB down halves the amplitude (10^-0.3 = 0.501).
    EXPECT_EQ(mixer_levels({-600, 0}).volume, 64);
    // The game's default 0.75: -25 dB, 5.6 % of full amplitude.
    EXPECT_EQ(mixer_levels(sound_levels(0, 0.75)).volume, 7);
}

TEST(MixerLevels, PanAttenuatesTheOtherSide)
{
    MixerLevels centre = mixer_levels({0, 0});
    EXPECT_EQ(centre.left, 255);
    EXPECT_EQ(centre.right, 255);
    MixerLevels left = mixer_levels({0, -10000});
    EXPECT_EQ(left.left, 255);
    EXPECT_EQ(left.right, 0);
    MixerLevels right = mixer_levels({0, 600});
    EXPECT_EQ(right.left, 128);
    EXPECT_EQ(right.right, 255);
}

// ---------------------------------------------------------------------------
// Slots on the dummy driver.

// Long enough to play on through any test: 30 s at 1000 Hz.
const int LONG_RATE = 1000;
const size_t LONG_FRAMES = 30 * LONG_RATE;

class SoundSlots : public ::testing::Test {
protected:
    ScratchFolder scratch;
    std::string long_wav;

    void SetUp() override
    {
        sound_init();
        ASSERT_TRUE(sound_system_ready());
        long_wav = scratch.file("long.wav");
        write_wav(long_wav, silent_wav(1, LONG_RATE, 8, LONG_FRAMES));
    }
    void TearDown() override { sound_shutdown(); }

    std::string write(const std::string& name, const Bytes& bytes)
    {
        std::string path = scratch.file(name);
        write_wav(path, bytes);
        return path;
    }
};

TEST_F(SoundSlots, LoadClampsTheBufferCount)
{
    const std::pair<int, int> counts[] = {{0, 1}, {-2, 1}, {1, 1}, {3, 3}, {4, 4}, {9, 4}};
    int id = 10;
    for (const auto& count : counts) {
        load_sound(long_wav.c_str(), id, count.first);
        EXPECT_EQ(sound_buffer_count(id), count.second) << "asked " << count.first;
        EXPECT_EQ(sound_file_name(id), long_wav);
        ++id;
    }
}

TEST_F(SoundSlots, MissingOrMalformedFileLeavesTheSlotEmpty)
{
    std::string missing = scratch.path + "missing.wav";
    load_sound(missing.c_str(), 1, 1);
    EXPECT_EQ(sound_buffer_count(1), 0);
    EXPECT_EQ(play_sound(1, 0, 1), -1);
    for (const BrokenWav& broken : broken_wavs()) {
        std::string path = write("broken.wav", broken.bytes);
        load_sound(path.c_str(), 2, 2);
        EXPECT_EQ(sound_buffer_count(2), 0) << broken.why;
        EXPECT_EQ(play_sound(2, 0, 1), -1) << broken.why;
    }
}

TEST_F(SoundSlots, ReloadingReleasesTheOldSampleFirst)
{
    load_sound(long_wav.c_str(), 4, 2);
    int channel = play_sound(4, 0, 1);
    ASSERT_EQ(channel, 4 * 256);
    std::string broken = write("broken.wav", broken_wavs()[2].bytes);
    load_sound(broken.c_str(), 4, 2);
    EXPECT_EQ(sound_buffer_count(4), 0);
    EXPECT_EQ(sound_playing(channel), 0);
    EXPECT_STREQ(sound_file_name(4), "");
}

TEST_F(SoundSlots, IdsOutsideTheTableAreIgnored)
{
    load_sound(long_wav.c_str(), SOUND_SLOT_COUNT, 1);
    load_sound(long_wav.c_str(), -1, 1);
    EXPECT_EQ(sound_buffer_count(SOUND_SLOT_COUNT), 0);
    EXPECT_EQ(sound_buffer_count(-1), 0);
    EXPECT_EQ(play_sound(SOUND_SLOT_COUNT, 0, 1), -1);
    EXPECT_EQ(play_sound(-1, 0, 1), -1);
}

TEST_F(SoundSlots, ThreeBuffersRotateAndTheFourthPlayRestartsTheFirst)
{
    const int id = 7;
    load_sound(long_wav.c_str(), id, 3);
    EXPECT_EQ(play_sound(id, 0, 1), id * 256 + 0);
    EXPECT_EQ(play_sound(id, 0, 1), id * 256 + 1);
    EXPECT_EQ(play_sound(id, 0, 1), id * 256 + 2);
    EXPECT_EQ(play_sound(id, 0, 1), id * 256 + 0);
    for (int buffer = 0; buffer < 3; ++buffer)
        EXPECT_EQ(sound_playing(id * 256 + buffer), 1) << "buffer " << buffer;
}

TEST_F(SoundSlots, FinishedBufferIsReusedWithoutMovingOn)
{
    const int id = 8;
    load_sound(long_wav.c_str(), id, 3);
    int first = play_sound(id, 0, 1);
    ASSERT_EQ(first, id * 256);
    stop_sound(first);
    EXPECT_EQ(sound_playing(first), 0);
    EXPECT_EQ(play_sound(id, 0, 1), id * 256 + 0);
    EXPECT_EQ(play_sound(id, 0, 1), id * 256 + 1);
}

TEST_F(SoundSlots, OneBufferIsNotRestartedWhileItPlays)
{
    const int id = 1;
    load_sound(long_wav.c_str(), id, 1);
    int channel = play_sound(id, 0, 0.75);
    ASSERT_EQ(channel, id * 256);
    EXPECT_EQ(play_sound(id, 0, 0.75), -1);
    EXPECT_EQ(sound_playing(channel), 1);
    stop_sound(channel);
    EXPECT_EQ(play_sound(id, 0, 0.75), channel);
}

TEST_F(SoundSlots, OneBufferPlaysAgainOnceItHasFinished)
{
    const int id = 2;
    std::string blip = write("blip.wav", silent_wav(1, 8000, 8, 80));   // 10 ms
    load_sound(blip.c_str(), id, 1);
    int channel = play_sound(id, 0, 1);
    ASSERT_EQ(channel, id * 256);
    // The dummy device plays in real time; wait (boundedly) for the end.
    for (int waited = 0; sound_playing(channel) && waited < 10000; waited += 10) SDL_Delay(10);
    ASSERT_EQ(sound_playing(channel), 0);
    EXPECT_EQ(play_sound(id, 0, 1), channel);
}

TEST_F(SoundSlots, VolumeReachesTheMixerChannel)
{
    load_sound(long_wav.c_str(), 3, 2);
    int quiet = play_sound(3, -0.5, 0.5);
    int loud = play_sound(3, 0.5, 1.0);
    ASSERT_GE(quiet, 0);
    ASSERT_GE(loud, 0);
    EXPECT_EQ(Mix_Volume(sound_mixer_channel(quiet), -1),
              mixer_levels(sound_levels(-0.5, 0.5)).volume);
    EXPECT_EQ(Mix_Volume(sound_mixer_channel(loud), -1), MIX_MAX_VOLUME);
}

TEST_F(SoundSlots, StopAllSoundsStopsEveryBufferOfEverySlot)
{
    load_sound(long_wav.c_str(), 5, 2);
    load_sound(long_wav.c_str(), 6, 1);
    std::vector<int> channels = {play_sound(5, 0, 1), play_sound(5, 0, 1), play_sound(6, 0, 1)};
    for (int channel : channels) ASSERT_EQ(sound_playing(channel), 1);
    stop_all_sounds();
    for (int channel : channels) EXPECT_EQ(sound_playing(channel), 0);
}

TEST_F(SoundSlots, ChannelsThatNameNoBufferNeverPlay)
{
    load_sound(long_wav.c_str(), 9, 1);
    ASSERT_EQ(play_sound(9, 0, 1), 9 * 256);
    EXPECT_EQ(sound_playing(-1), 0);
    EXPECT_EQ(sound_playing(9 * 256 + 1), 0);   // the slot has one buffer
    EXPECT_EQ(sound_playing(SOUND_SLOT_COUNT * 256), 0);
    EXPECT_EQ(sound_mixer_channel(-5), -1);
    stop_sound(-1);
    stop_sound(9 * 256 + 3);
    EXPECT_EQ(sound_playing(9 * 256), 1);
}

TEST_F(SoundSlots, ManyEffectsAtOnceGetMixerChannelsOfTheirOwn)
{
    const int slots = 12;   // 48 buffers: more than the mixer starts with
    for (int id = 0; id < slots; ++id) load_sound(long_wav.c_str(), 100 + id, 4);
    std::vector<int> channels;
    for (int id = 0; id < slots; ++id)
        for (int buffer = 0; buffer < 4; ++buffer) channels.push_back(play_sound(100 + id, 0, 1));
    std::vector<int> mixers;
    for (int channel : channels) {
        ASSERT_GE(channel, 0);
        EXPECT_EQ(sound_playing(channel), 1) << channel;
        mixers.push_back(sound_mixer_channel(channel));
    }
    std::sort(mixers.begin(), mixers.end());
    EXPECT_EQ(std::unique(mixers.begin(), mixers.end()), mixers.end());
}

TEST_F(SoundSlots, StereoAnd16BitFilesLoad)
{
    std::string stereo = write("stereo.wav", silent_wav(2, 44100, 16, 4410));
    load_sound(stereo.c_str(), 11, 1);
    EXPECT_EQ(sound_buffer_count(11), 1);
    EXPECT_EQ(play_sound(11, 1, 1), 11 * 256);
}

TEST_F(SoundSlots, LoadsAnEntryOfTheGeneralArchiveFromMemory)
{
    MemoryBlock archive;
    Bytes wav = silent_wav(1, 8000, 8, 800);
    ASSERT_TRUE(sbx_build({{"boom.wav", MemoryBlock(wav.begin(), wav.end())}}, false, archive));
    std::string archive_path = scratch.file("gfx.sbx");
    write_wav(archive_path, Bytes(archive.begin(), archive.end()));
    mount_archives(archive_path.c_str(), "");
    load_sound("media/gfx/boom.wav", 12, 2);
    EXPECT_EQ(sound_buffer_count(12), 2);
    EXPECT_EQ(std::string(sound_file_name(12)).rfind("mem://", 0), 0u) << sound_file_name(12);
    load_sound("media/gfx/absent.wav", 13, 1);
    EXPECT_EQ(sound_buffer_count(13), 0);
    archives_shutdown();
}

TEST_F(SoundSlots, ShutDownEmptiesEverySlot)
{
    load_sound(long_wav.c_str(), 0, 1);
    load_sound(long_wav.c_str(), SOUND_SLOT_COUNT - 1, 4);
    sound_shutdown();
    EXPECT_FALSE(sound_system_ready());
    int rate = 0, channels = 0;
    Uint16 format = 0;
    EXPECT_EQ(Mix_QuerySpec(&rate, &format, &channels), 0);   // the device is closed
    EXPECT_EQ(sound_buffer_count(0), 0);
    EXPECT_EQ(sound_buffer_count(SOUND_SLOT_COUNT - 1), 0);
    sound_init();   // for TearDown
}

// ---------------------------------------------------------------------------
// Start-up without a device, and without a sound system at all.

std::string read_log()
{
    std::vector<unsigned char> bytes = read_bytes(log_path());
    return std::string(bytes.begin(), bytes.end());
}

TEST(SoundDevice, NoDeviceFallsBackToTheDummyDriverWithOneLogLine)
{
    ScratchFolder scratch;
    TempFolderOverride temp(scratch.path);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    sound_init();
    EXPECT_TRUE(sound_system_ready());
    EXPECT_STREQ(SDL_GetCurrentAudioDriver(), "dummy");
    std::string log = read_log();
    EXPECT_EQ(log.rfind("No sound device", 0), 0u) << log;
    EXPECT_EQ(log.find("No sound device", 1), std::string::npos) << log;

    std::string path = scratch.file("blip.wav");
    write_wav(path, silent_wav(1, 8000, 8, 8000));
    load_sound(path.c_str(), 1, 1);
    EXPECT_EQ(play_sound(1, 0, 1), 256);
    sound_shutdown();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

TEST(SoundDevice, WithoutASoundSystemSlotsStayEmptyAndPlayFails)
{
    ScratchFolder scratch;
    std::string path = scratch.file("blip.wav");
    write_wav(path, silent_wav(1, 8000, 8, 8000));
    ASSERT_FALSE(sound_system_ready());
    load_sound(path.c_str(), 1, 1);
    EXPECT_EQ(sound_buffer_count(1), 0);
    EXPECT_EQ(play_sound(1, 0, 1), -1);
    EXPECT_EQ(sound_playing(256), 0);
    stop_all_sounds();
    sound_shutdown();   // twice in a row is harmless
}

TEST(SoundDevice, StartUpAndShutDownRepeat)
{
    for (int round = 0; round < 3; ++round) {
        sound_init();
        EXPECT_TRUE(sound_system_ready());
        sound_shutdown();
        EXPECT_FALSE(sound_system_ready());
    }
}

}   // namespace
