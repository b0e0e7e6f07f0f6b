// The command line, where the game looks for its data, how a failed start is
// reported, and the slots that keep copies of the game running side by side
// apart.
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/log.h"
#include "core/paths.h"
#include "engine/frame.h"
#include "engine/options.h"
#include "support/scratch_folder.h"

namespace {

bool parse(std::vector<std::string> words, Options* options, std::string* error)
{
    words.insert(words.begin(), "snowbelter");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    return parse_options(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(Options, KnownOptionsAreTakenAndUnknownOnesRefusedByName)
{
    Options options;
    std::string error;
    ASSERT_TRUE(parse({"--data-dir", "/games/snow", "--version"}, &options, &error));
    EXPECT_EQ(options.data_dir, "/games/snow");
    EXPECT_TRUE(options.show_version);
    EXPECT_FALSE(options.show_help);

    EXPECT_FALSE(parse({"--fulscreen"}, &options, &error));
    EXPECT_EQ(error, "unknown option --fulscreen");
    EXPECT_FALSE(parse({"level2"}, &options, &error));
    EXPECT_EQ(error, "unknown option level2");
    EXPECT_FALSE(parse({"--data-dir"}, &options, &error));
    EXPECT_EQ(error, "option --data-dir needs a value");
}

TEST(Options, AnEmptyCommandLineGivesTheDefaults)
{
    Options options;
    options.data_dir = "left over";
    std::string error;
    ASSERT_TRUE(parse_options(0, nullptr, &options, &error));
    EXPECT_TRUE(options.data_dir.empty());
    EXPECT_FALSE(options.show_help || options.show_version);
}

// --- the data folder --------------------------------------------------------

TEST(DataFolder, CandidatesComeInTheirOrderWithTheXdgDefaults)
{
    EnvOverride home("HOME", "/home/santa");
    EnvOverride data_home("XDG_DATA_HOME", nullptr);
    EnvOverride data_dirs("XDG_DATA_DIRS", nullptr);
    std::string exe = exe_folder();
    std::string prefix = exe.substr(0, exe.find_last_of('/', exe.size() - 2) + 1);
    std::vector<std::string> expected = {"/chosen/",
                                         exe,
                                         prefix + "share/snowbelter/",
                                         "/home/santa/.local/share/snowbelter/",
                                         "/usr/local/share/snowbelter/",
                                         "/usr/share/snowbelter/"};
    EXPECT_EQ(data_folder_candidates("/chosen"), expected);
}

TEST(DataFolder, XdgVariablesReplaceTheDefaultsAndEmptyEntriesAreSkipped)
{
    EnvOverride data_home("XDG_DATA_HOME", "/data/home");
    EnvOverride data_dirs("XDG_DATA_DIRS", "/a::/b/");
    std::vector<std::string> found = data_folder_candidates("");
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[0], exe_folder());
    EXPECT_EQ(found[2], "/data/home/snowbelter/");
    EXPECT_EQ(found[3], "/a/snowbelter/");
    EXPECT_EQ(found[4], "/b/snowbelter/");
}

TEST(DataFolder, TheFirstFolderHoldingTheMarkerWins)
{
    ScratchFolder one, two, three;
    write_bytes(two.file("media/gfx.sbx"), bytes_of("x"));
    write_bytes(three.file("media/gfx.sbx"), bytes_of("x"));
    std::filesystem::create_directories(one.path + "media/gfx.sbx");   // a folder is no archive
    EXPECT_EQ(first_folder_holding({one.path, two.path, three.path}, "media/gfx.sbx"), two.path);
    EXPECT_EQ(first_folder_holding({one.path}, "media/gfx.sbx"), "");
}

// --- copies running side by side ---------------------------------------------

TEST(InstanceSlots, TheFirstCopyKeepsThePlainNames)
{
    ScratchFolder scratch;
    TempFolderOverride temp(scratch.path);
    ASSERT_EQ(claim_instance_slot(), 1);
    EXPECT_EQ(name_for_instance("ErrorLog.txt"), "ErrorLog.txt");
    EXPECT_EQ(log_path(), scratch.path + "ErrorLog.txt");
}

// --- the whole start, in fresh processes --------------------------------------

struct NoGame {
    static void settings() {}
    static void main() {}
};

int run_main(std::vector<std::string> words)
{
    static const GameTable entry = {NoGame::settings, NoGame::main, nullptr, nullptr,
                                    nullptr,          nullptr,      nullptr};
    words.insert(words.begin(), "snowbelter");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    return runtime_main(static_cast<int>(argv.size()), argv.data(), entry);
}

class Start : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(Start, VersionAndHelpAnswerBeforeAnythingStarts)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(run_main({"--version"}), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "snowbelter 1.0.0\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(run_main({"--data-dir", "/nowhere", "--help"}), 0);
    std::string usage = testing::internal::GetCapturedStdout();
    EXPECT_EQ(usage.rfind("Usage: snowbelter [OPTION]...\n", 0), 0u) << usage;
    EXPECT_NE(usage.find("--data-dir DIR"), std::string::npos);
}

TEST_F(Start, AnUnknownOptionPrintsOneLineAndTheUsageAndExitsTwo)
{
    EXPECT_EXIT(std::exit(run_main({"--windowed"})), ::testing::ExitedWithCode(2),
                "^snowbelter: unknown option --windowed\nUsage: snowbelter");
}

TEST_F(Start, WithoutDataItNamesEveryFolderSearchedAndExitsOne)
{
    EXPECT_EXIT(
        {
            // No display: no message box can wait for a click.
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            unsetenv("SDL_VIDEODRIVER");
            setenv("XDG_DATA_DIRS", "/nowhere/a:/nowhere/b", 1);
            std::exit(run_main({"--data-dir", "/nowhere/chosen"}));
        },
        ::testing::ExitedWithCode(1),
        "snowbelter: cannot start: the game's data \\(media/gfx.sbx\\) is in none of these "
        "folders: /nowhere/chosen/, .*, /nowhere/a/snowbelter/, /nowhere/b/snowbelter/\n");
}

TEST_F(Start, WithDataButNoDisplayItSaysSoAndExitsOne)
{
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            unsetenv("SDL_VIDEODRIVER");
            std::exit(run_main({"--data-dir", SNOW_BINARY_DIR}));
        },
        ::testing::ExitedWithCode(1),
        "snowbelter: cannot start: no display: neither DISPLAY nor WAYLAND_DISPLAY is set");
}

}   // namespace
