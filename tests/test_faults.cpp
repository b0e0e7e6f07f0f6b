// Faults of the machine under a running game: the temporary folder full or
// in the way while music is extracted, the screenshot, settings and bests
// folders full, in the way or read-only, an audio device that fails to
// open, and an archive that shrinks or vanishes after it was mounted.  The game must play on
// (silent, or without the picture), say so in one log line and leave no
// partial file.
//
// A run-time fault (a bad index, file channel or read) is the other way:
// the program ends at once with exit code 1 and one line on stderr, shut down
// as a normal end is, leaving no temporary file behind.
//
// A full disk is a file size limit (RLIMIT_FSIZE, with SIGXFSZ ignored so a
// write fails instead of ending the process); "in the way" is a folder or
// file where the game wants to write, which stops root too; read-only is a
// read-only mount that only the child sees (a user and mount namespace of
// its own, which stops root too; skipped where namespaces are not
// allowed).  A limit or a
// sound driver belongs to the whole process, so those cases run in a child
// of their own: a death test that must end the way the game ends, having
// printed PLAYED_ON.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "core/archive.h"
#include "core/arrays.h"
#include "core/data.h"
#include "core/errors.h"
#include "core/files.h"
#include "core/log.h"
#include "core/media_source.h"
#include "core/paths.h"
#include "core/sbx_format.h"
#include "game/play/round.h"
#include "game/shell/bests.h"
#include "game/shell/settings.h"
#include "media/image.h"
#include "media/keymap.h"
#include "media/music.h"
#include "media/sound.h"
#include "media/sprites.h"
#include "support/exit_status.h"
#include "support/harness.h"
#include "support/play_fixture.h"
#include "support/scratch_folder.h"
#include "support/wav_builder.h"

namespace {

const char PLAYED_ON[] = "the game played on";
const char ROUND_MUSIC[] = "media/sfx/santa.mp3";
constexpr rlim_t FULL_DISK_BYTES = 64 * 1024;   // the log fits, a tune or a screenshot does not
constexpr int FRAMES = 30;

// What a child found wrong, on stderr; PLAYED_ON only when nothing was.
struct ChildChecks {
    int failures = 0;

    void expect(bool holds, const std::string& what)
    {
        if (holds) return;
        ++failures;
        std::fprintf(stderr, "failed: %s\n", what.c_str());
    }

    // Ends the child as the game ends.
    [[noreturn]] void finish() const
    {
        if (failures == 0) std::fputs(PLAYED_ON, stderr);
        end_program();
    }
};

int log_lines_with(const std::string& text)
{
    const std::vector<unsigned char> bytes = read_bytes(log_path());
    const std::string log(bytes.begin(), bytes.end());
    int count = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
        ++count;
    return count;
}

// From here on no file of this process grows past limit bytes.
void fill_the_disk(rlim_t limit)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit size = {};
    getrlimit(RLIMIT_FSIZE, &size);
    size.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &size);
}

// The limit back where it was: the disk has room again.
void make_room_on_the_disk()
{
    rlimit size = {};
    getrlimit(RLIMIT_FSIZE, &size);
    size.rlim_cur = size.rlim_max;
    setrlimit(RLIMIT_FSIZE, &size);
}

bool write_text_file(const char* path, const std::string& text)
{
    std::ofstream out(path);
    out << text;
    out.close();
    return bool(out);
}

// From here on this process alone sees folder read-only, root too: a user
// and mount namespace of its own (the one mount flags it cannot drop kept).
bool see_read_only(const std::string& folder)
{
    const std::string uid = std::to_string(getuid()), gid = std::to_string(getgid());
    struct statvfs was = {};
    if (statvfs(folder.c_str(), &was) != 0 || unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return false;
    write_text_file("/proc/self/setgroups", "deny");
    unsigned long kept = 0;
    if (was.f_flag & ST_NOSUID) kept |= MS_NOSUID;
    if (was.f_flag & ST_NODEV) kept |= MS_NODEV;
    if (was.f_flag & ST_NOEXEC) kept |= MS_NOEXEC;
    return write_text_file("/proc/self/uid_map", "0 " + uid + " 1") &&
           write_text_file("/proc/self/gid_map", "0 " + gid + " 1") &&
           mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY | kept,
                 nullptr) == 0;
}

// Whether a child may see a folder read-only here (not where namespaces
// are not allowed, as in some containers).
bool read_only_folders_possible()
{
    ScratchFolder scratch;
    const pid_t child = fork();
    if (child == 0) _exit(see_read_only(scratch.path) ? 0 : 1);
    int status = 1;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// An archive of the round's tune (far larger than a full disk takes) and a
// picture, mounted as both archives.
std::string mount_media(const ScratchFolder& scratch)
{
    MemoryBlock tune(4 * FULL_DISK_BYTES);
    for (std::size_t i = 0; i < tune.size(); ++i)
        tune[i] = static_cast<unsigned char>(i * 7919 >> 3);
    const unsigned char pixels[4 * 4 * 4] = {};
    const std::string picture = scratch.file("tree.png");
    std::vector<SbxInput> entries(3);
    entries[0].name = "santa.mp3";
    entries[0].data = tune;
    entries[1].name = "tree.png";
    entries[2].name = "blip.wav";
    entries[2].data = silent_wav(1, 8000, 8, 80);
    MemoryBlock archive;
    if (!write_png(picture.c_str(), pixels, 4, 4) ||
        !read_whole_media(picture.c_str(), entries[1].data) || !sbx_build(entries, false, archive))
        return "";
    std::string path = scratch.file("media.sbx");
    write_bytes(path, archive);
    mount_archives(path.c_str(), path.c_str());
    return path;
}

// Starts the round and its tune, takes a screenshot and plays on.
int play_a_round_with_a_screenshot()
{
    start_test_round();
    play_music(ROUND_MUSIC, 1);
    hold_key(KEY_SPACE);
    int frames = play_frames(1);
    release_key(KEY_SPACE);
    return frames + play_frames(FRAMES - 1);
}

std::string beside_the_program(const char* name)
{
    return exe_folder() + name;
}

// The round's tune and a screenshot, written to folders that cannot take
// them; in_the_way: what blocks the tune's file (it stays as it was).
void check_round_with_nowhere_to_write(ChildChecks& checks, std::size_t in_the_way)
{
    checks.expect(play_a_round_with_a_screenshot() == FRAMES, "the round stopped");
    checks.expect(!music_loaded(), "music plays");
    checks.expect(log_lines_with("Cannot extract santa.mp3") == 1, "one log line for the tune");
    checks.expect(names_starting_with(test_temp_folder(), "sbx").size() == in_the_way,
                  "a partial tune is left");
    checks.expect(log_lines_with("Screenshot: cannot write") == 1, "one log line for the picture");
    checks.expect(screenshot_count() == 0, "a screenshot counts as written");
}

void play_on_a_full_disk()
{
    ChildChecks checks;
    ScratchFolder scratch;
    checks.expect(start_play_runtime() && !mount_media(scratch).empty(), "no runtime");
    fill_the_disk(FULL_DISK_BYTES);
    check_round_with_nowhere_to_write(checks, 0);
    checks.expect(!path_exists(beside_the_program("temp.BMP")), "a partial screenshot is left");
    checks.finish();
}

void play_with_folders_in_the_way()
{
    ChildChecks checks;
    ScratchFolder scratch;
    checks.expect(start_play_runtime(), "no runtime");
    const std::string archive = mount_media(scratch);
    SbxSource source;
    SbxDirectory directory;
    SbxEntry tune;
    checks.expect(sbx_open(archive.c_str(), source) && sbx_read_trailer(source, directory) &&
                      sbx_find_entry(source, directory, "santa.mp3", tune),
                  "no tune in the archive");
    const std::string screenshot = beside_the_program("temp.BMP");
    std::filesystem::remove(screenshot);
    std::filesystem::create_directory(screenshot);
    std::filesystem::create_directory(
        temp_name_for_entry(tune.offset, tune.stored_size, tune.name));
    check_round_with_nowhere_to_write(checks, 1);
    std::filesystem::remove(screenshot);
    checks.finish();
}

// The player's settings written where they cannot go: one log line, and an
// old settings file stays as it was.
void save_settings_where_they_cannot_go(bool full_disk)
{
    ChildChecks checks;
    ScratchFolder scratch;
    TempFolderOverride temp(scratch.path + "temp/");
    setenv("XDG_CONFIG_HOME", scratch.path.c_str(), 1);
    enable_settings();
    const std::string path = settings_path();
    const std::string old_text = "[sound]\nmusic_volume = 0.30\n";
    write_bytes(scratch.file("snowbelter/settings.ini"), bytes_of(old_text));
    if (full_disk)
        fill_the_disk(old_text.size() + 200);   // room for the log line, not for the settings
    else
        std::filesystem::create_directory(path + ".new-" + std::to_string(getpid()));
    save_settings();
    save_settings();   // said once, however many changes fail the same way
    checks.expect(read_bytes(path) == bytes_of(old_text), "the old settings were damaged");
    checks.expect(log_lines_with("Settings: cannot write") == 1, "one log line");
    checks.expect(settings_trouble() ==
                      (full_disk ? StorageTrouble::disk_full : StorageTrouble::other),
                  "the Options would not say why");
    checks.expect(log_lines_with(full_disk ? "(File too large)" : "(Is a directory)") == 1,
                  "the log does not name the cause");
    checks.expect(names_starting_with(scratch.path + "snowbelter/", "settings.ini.new").size() ==
                      (full_disk ? 0u : 1u),
                  "a partial settings file is left");
    checks.finish();
}

// --- the bests where they cannot be kept ---------------------------------------------

enum class BestsFault {
    replay_too_big,
    table_too_big,
    read_only
};

// Every file of a folder with its bytes.
std::map<std::string, std::vector<unsigned char>> files_in(const std::string& folder)
{
    std::map<std::string, std::vector<unsigned char>> files;
    for (const std::string& name : names_starting_with(folder, ""))
        files[name] = read_bytes(folder + name);
    return files;
}

RoundResult standard_round(double frames)
{
    return {frames, 5, 6000, "2026-12-24T20:00:00Z", DEFAULT_ASSISTS};
}

// A best entered where it cannot be kept, over a best kept before: no
// place, the cause in *trouble and one log line, and every file as it was
// (a replay written before its table could not be is a stray, which the
// next result kept removes).
void enter_a_best_that_cannot_be_kept(BestsFault fault)
{
    ChildChecks checks;
    ScratchFolder scratch;
    TempFolderOverride temp(scratch.path + "temp/");
    const std::string folder = scratch.path + "bests/";
    keep_bests_in(folder);
    StorageTrouble trouble = StorageTrouble::other;
    checks.expect(enter_result(standard_round(500), "kept before\n", &trouble) == 1,
                  "the best before was not kept");
    const auto before = files_in(folder);
    constexpr rlim_t ROOM = 250;   // the log line fits, the table does not
    if (fault == BestsFault::read_only)
        checks.expect(see_read_only(folder), "the folder is not read-only");
    else
        fill_the_disk(ROOM);
    const std::string replay(fault == BestsFault::replay_too_big ? 2 * ROOM : 2, 'r');
    const int place = enter_result(standard_round(900), replay, &trouble);
    checks.expect(place == 0, "a result not kept has a place");
    const bool read_only = fault == BestsFault::read_only;
    checks.expect(trouble == (read_only ? StorageTrouble::read_only : StorageTrouble::disk_full),
                  "the trouble is not the cause");
    checks.expect(log_lines_with(read_only ? "Read-only file system" : "File too large") == 1,
                  "one log line naming the cause");
    checks.expect(read_bests().standard.size() == 1, "the bests kept before were damaged");
    auto after = files_in(folder);
    const std::size_t strays = fault == BestsFault::table_too_big ? 1 : 0;
    checks.expect(after.size() == before.size() + strays, "the files in the folder changed");
    for (const auto& file : before)
        checks.expect(after[file.first] == file.second, file.first + " was damaged");
    if (!read_only) {
        make_room_on_the_disk();
        checks.expect(enter_result(standard_round(900), replay, &trouble) == 1 &&
                          trouble == StorageTrouble::none,
                      "the result was not kept once there was room");
        checks.expect(names_starting_with(folder, "best-").size() == 2, "a stray replay is left");
    }
    checks.finish();
}

// Settings changed twice in a folder only this process sees read-only.
void save_settings_in_a_read_only_folder()
{
    ChildChecks checks;
    ScratchFolder scratch;
    TempFolderOverride temp(scratch.path + "temp/");
    setenv("XDG_CONFIG_HOME", (scratch.path + "config").c_str(), 1);
    enable_settings();
    const std::string old_text = "[sound]\nmusic_volume = 0.30\n";
    write_bytes(scratch.file("config/snowbelter/settings.ini"), bytes_of(old_text));
    checks.expect(see_read_only(scratch.path + "config/snowbelter"), "the folder is not read-only");
    save_settings();
    save_settings();
    checks.expect(settings_trouble() == StorageTrouble::read_only, "the trouble is not the cause");
    checks.expect(log_lines_with("Read-only file system") == 1, "one log line naming the cause");
    checks.expect(read_bytes(settings_path()) == bytes_of(old_text),
                  "the old settings were damaged");
    checks.finish();
}

void play_with_an_audio_device_that_fails()
{
    ChildChecks checks;
    ScratchFolder scratch;
    write_bytes(scratch.file("plain"), bytes_of("a file, not a folder"));
    setenv("SDL_AUDIODRIVER", "disk", 1);   // SDL's driver that writes the sound to a file
    setenv("SDL_DISKAUDIOFILE", (scratch.path + "plain/audio.raw").c_str(), 1);
    checks.expect(start_play_runtime(), "no runtime");
    checks.expect(sound_system_ready(), "no silent sound system");
    checks.expect(log_lines_with("No sound device") == 1, "one log line");
    start_test_round();
    checks.expect(play_frames(FRAMES) == FRAMES, "the round stopped");
    checks.finish();
}

TEST(FullDiskDeathTest, TuneAndScreenshotFailWithOneLogLineEachAndTheRoundPlaysOn)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(play_on_a_full_disk(), ::testing::ExitedWithCode(0), PLAYED_ON);
}

TEST(FoldersInTheWayDeathTest, TuneAndScreenshotFailWithOneLogLineEachAndTheRoundPlaysOn)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(play_with_folders_in_the_way(), ::testing::ExitedWithCode(0), PLAYED_ON);
}

TEST(SettingsDeathTest, AFullDiskLeavesTheOldSettingsWholeWithOneLogLine)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(save_settings_where_they_cannot_go(true), ::testing::ExitedWithCode(0), PLAYED_ON);
}

TEST(SettingsDeathTest, AFileInTheWayLeavesTheOldSettingsWholeWithOneLogLine)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(save_settings_where_they_cannot_go(false), ::testing::ExitedWithCode(0), PLAYED_ON);
}

TEST(SettingsDeathTest, AReadOnlyFolderLeavesTheOldSettingsWholeWithOneLogLine)
{
    if (!read_only_folders_possible())
        GTEST_SKIP() << "skipped: user and mount namespaces are not allowed here";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(save_settings_in_a_read_only_folder(), ::testing::ExitedWithCode(0), PLAYED_ON);
}

TEST(BestsDeathTest, AFullDiskForTheReplayKeepsEveryFileAsItWas)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(enter_a_best_that_cannot_be_kept(BestsFault::replay_too_big),
                ::testing::ExitedWithCode(0), PLAYED_ON);
}

TEST(BestsDeathTest, AFullDiskForTheTableLeavesOnlyAStrayTheNextResultRemoves)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(enter_a_best_that_cannot_be_kept(BestsFault::table_too_big),
                ::testing::ExitedWithCode(0), PLAYED_ON);
}

TEST(BestsDeathTest, AReadOnlyFolderKeepsEveryFileAsItWas)
{
    if (!read_only_folders_possible())
        GTEST_SKIP() << "skipped: user and mount namespaces are not allowed here";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(enter_a_best_that_cannot_be_kept(BestsFault::read_only),
                ::testing::ExitedWithCode(0), PLAYED_ON);
}

TEST(AudioDeviceDeathTest, ADeviceThatFailsToOpenLeavesTheRoundSilent)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(play_with_an_audio_device_that_fails(), ::testing::ExitedWithCode(0), PLAYED_ON);
}

// --- an archive that changes under the running game ---------------------------

// Each lookup of the round's media: a picture, a sound and the tune.
struct Lookups {
    bool picture;
    bool sound;
    bool tune;
};

Lookups look_up_media()
{
    load_sprite("media/gfx/tree.png", 5);
    int width = 0, height = 0;
    get_sprite_size(5, &width, &height);
    load_sound("media/sfx/blip.wav", 3, 1);
    play_music(ROUND_MUSIC, 1);
    return Lookups{runtime_status.status == STATUS_SUCCESS && width == 4,
                   sound_buffer_count(3) == 1, music_archive().temp_file.size() > 0};
}

TEST(ChangingArchive, ShrunkOrVanishedArchiveMeansMissingMediaAndTheRoundPlaysOn)
{
    ASSERT_TRUE(start_play_runtime());
    ScratchFolder scratch;
    const std::string path = mount_media(scratch);
    ASSERT_FALSE(path.empty());
    const Lookups whole = look_up_media();
    ASSERT_TRUE(whole.picture && whole.sound && whole.tune);

    const std::uintmax_t size = std::filesystem::file_size(path);
    for (std::uintmax_t left : {size - 1, size / 2, std::uintmax_t(3)}) {
        std::filesystem::resize_file(path, left);
        const Lookups shrunk = look_up_media();
        EXPECT_FALSE(shrunk.picture || shrunk.sound || shrunk.tune) << left;
    }
    std::filesystem::remove(path);
    const Lookups vanished = look_up_media();
    EXPECT_FALSE(vanished.picture || vanished.sound || vanished.tune);
    start_test_round();
    EXPECT_EQ(play_frames(FRAMES), FRAMES);
    archives_shutdown();
}

// --- run-time faults ------------------------------------------------------------

// Start-up has its own lines on stderr; after this one only the way out
// writes there.
const char ENDING[] = "[ending]";
const char ENDING_PATTERN[] = "\\[ending\\]";
const char NO_TEMPORARY_FILE[] = "\\[temporary files 0\\]\n";

void report_temporary_files_at_exit()
{
    std::atexit([] {
        std::fprintf(stderr, "[temporary files %zu]\n",
                     names_starting_with(test_temp_folder(), "sbx").size());
    });
}

// The round with its tune extracted to a temporary file, then the way out.
void end_while_the_tune_plays(void (*end)())
{
    static ScratchFolder scratch;   // static: it goes as the process exits
    if (!start_play_runtime() || mount_media(scratch).empty()) std::_Exit(2);
    start_test_round();
    play_music(ROUND_MUSIC, 1);
    if (names_starting_with(test_temp_folder(), "sbx").size() != 1) std::_Exit(3);
    report_temporary_files_at_exit();
    report_status_at_exit();   // the later handler writes first
    std::fprintf(stderr, "%s\n", ENDING);
    end();
}

void index_out_of_bounds()
{
    NumberArray numbers;
    dim_number_array(numbers, 2);
    numbers.at(5) = 1;
}

void channel_out_of_range()
{
    close_file(8);
}

void read_past_the_end_of_a_file()
{
    const std::string path = std::string(test_temp_folder()) + "one.bin";
    write_bytes(path, {0x01});
    std::int32_t value = 0;
    if (!open_file(0, path.c_str(), FILE_MODE_READ)) std::_Exit(4);
    read_byte(0, value);
    read_byte(0, value);
}

void read_past_the_data()
{
    DataBlock empty{nullptr, 0, 0};
    restore_data(empty);
    double number = 0;
    read_data(number);
}

struct Fault {
    void (*commit)();
    int status;
};

TEST(RunTimeFaultDeathTest, EndsWithCode1AndOneLineNamingItAndNoTemporaryFile)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const Fault faults[] = {{index_out_of_bounds, STATUS_OUT_OF_BOUNDS},
                            {channel_out_of_range, STATUS_OUT_OF_MEMORY},
                            {read_past_the_end_of_a_file, STATUS_NO_SUCH_FILE},
                            {read_past_the_data, STATUS_OUT_OF_DATA}};
    for (const Fault& fault : faults) {
        EXPECT_EXIT(end_while_the_tune_plays(fault.commit), ::testing::ExitedWithCode(1),
                    ENDING_PATTERN + fault_pattern(fault.status) + NO_TEMPORARY_FILE);
    }
}

TEST(RunTimeFaultDeathTest, TheGamesOwnEndStaysCode0WithoutALine)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(end_while_the_tune_plays(end_statement), ::testing::ExitedWithCode(0),
                std::string(ENDING_PATTERN) + "\n" + status_pattern(STATUS_SUCCESS) + "\n" +
                    NO_TEMPORARY_FILE);
}

}   // namespace
