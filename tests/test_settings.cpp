// The settings that last between runs: the text of settings.ini both ways,
// values that cannot be used, a file written whole or not at all, and the
// windowed size the display switch opens.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "core/media_source.h"
#include "engine/window.h"
#include "game/shell/settings.h"
#include "media/keymap.h"
#include "support/print_assists.h"
#include "support/scratch_folder.h"

namespace {

const SavedSettings DEFAULTS = {
    {KEY_CURSOR_UP, KEY_CURSOR_DOWN, KEY_CURSOR_LEFT, KEY_CURSOR_RIGHT, KEY_LEFT_CTRL, KEY_ENTER},
    0.1,
    true};

SavedSettings parse(const std::string& text, std::vector<std::string>* complaints)
{
    return settings_from_text(text, DEFAULTS, complaints);
}

void expect_same(const SavedSettings& a, const SavedSettings& b)
{
    for (int i = 0; i < 6; ++i) EXPECT_EQ(a.keys[i], b.keys[i]) << "key " << i;
    EXPECT_NEAR(a.music_volume, b.music_volume, 1e-9);
    EXPECT_EQ(a.fullscreen, b.fullscreen);
    EXPECT_EQ(a.effects, b.effects);
    EXPECT_EQ(a.fit, b.fit);
    EXPECT_EQ(a.assists, b.assists);
}

TEST(SettingsText, WhatIsWrittenReadsBackTheSame)
{
    SavedSettings chosen = {{17, 31, 30, 32, 57, 25}, 0.35, false};
    std::vector<std::string> complaints;
    expect_same(parse(settings_text(chosen), &complaints), chosen);
    EXPECT_TRUE(complaints.empty());
    EXPECT_NE(settings_text(chosen).find("jump = 57  # SPACE\n"), std::string::npos);
}

TEST(SettingsText, OptionsAndAssistsReadBackTheSameAtEveryChoice)
{
    // Every choice of every row, each in some written file.
    for (std::size_t i = 0; i < 6; ++i) {
        SavedSettings chosen = DEFAULTS;
        chosen.effects = int(i * 2);
        chosen.fit = i % 2 ? PictureFit::fill : PictureFit::whole_pixels;
        chosen.assists.speed = SPEED_CHOICES[i];
        chosen.assists.time_limit = TIME_LIMIT_CHOICES[i % 3];
        chosen.assists.lives = LIVES_CHOICES[(i + 1) % 3];
        chosen.assists.safe_falls = i % 3 == 0;
        std::vector<std::string> complaints;
        expect_same(parse(settings_text(chosen), &complaints), chosen);
        EXPECT_TRUE(complaints.empty()) << settings_text(chosen);
    }
    // The words a player reads and writes.
    SavedSettings none = DEFAULTS;
    none.assists = {50, TIME_LIMIT_NONE, LIVES_UNLIMITED, true};
    none.fit = PictureFit::fill;
    const std::string text = settings_text(none);
    for (const char* line : {"time_limit = none", "lives = unlimited", "safe_falls = yes",
                             "picture_fit = fill", "speed = 50", "effects = 10"})
        EXPECT_NE(text.find(std::string("\n") + line), std::string::npos) << line;
}

TEST(SettingsText, AnOptionOrAssistThatCannotBeUsedKeepsItsDefaultAndIsNamed)
{
    std::vector<std::string> complaints;
    SavedSettings read = parse("[sound]\n"
                               "effects = 11\n"
                               "effects = -1\n"
                               "effects = 4\n"   // usable
                               "[screen]\npicture_fit = stretch\n"
                               "[assists]\n"
                               "speed = 55\n"
                               "speed = 0\n"
                               "time_limit = 0\n"   // "none" is the word for no limit
                               "time_limit = 600\n"
                               "lives = 0\n"   // "unlimited" is the word for no count
                               "lives = 7\n"
                               "lives = 9\n"   // usable
                               "safe_falls = maybe\n"
                               "cheat = on\n",
                               &complaints);
    SavedSettings expected = DEFAULTS;
    expected.effects = 4;
    expected.assists.lives = 9;
    expect_same(read, expected);
    ASSERT_EQ(complaints.size(), 11u);
    EXPECT_EQ(complaints[0].rfind("line 2 (effects = 11)", 0), 0u) << complaints[0];
    EXPECT_EQ(complaints[2].rfind("line 6 (picture_fit = stretch)", 0), 0u) << complaints[2];
    EXPECT_EQ(complaints[5].rfind("line 10 (time_limit = 0)", 0), 0u) << complaints[5];
    EXPECT_EQ(complaints[10].rfind("line 16 (cheat = on)", 0), 0u) << complaints[10];
}

TEST(SettingsText, TheLanguageIsACodeOrSystemAndAnyOtherWordKeepsTheDefault)
{
    SavedSettings chosen = DEFAULTS;
    chosen.language = "pt_BR";
    const std::string text = settings_text(chosen);
    EXPECT_NE(text.find("\nlanguage = pt_BR  # en, de, fr, es, it, pt_BR, pl or system\n"),
              std::string::npos)
        << text;
    std::vector<std::string> complaints;
    EXPECT_EQ(parse(text, &complaints).language, "pt_BR");
    EXPECT_NE(settings_text(DEFAULTS).find("\nlanguage = system "), std::string::npos);
    SavedSettings german = DEFAULTS;
    german.language = "de";
    EXPECT_EQ(parse("language = system\n", &complaints).language, "");
    EXPECT_TRUE(complaints.empty());
    EXPECT_EQ(settings_from_text("language = klingon\n"
                                 "[keys]\nlanguage = fr\n",
                                 german, &complaints)
                  .language,
              "de");
    ASSERT_EQ(complaints.size(), 2u);
    EXPECT_EQ(complaints[0].rfind("line 1 (language = klingon)", 0), 0u) << complaints[0];
    EXPECT_EQ(complaints[1].rfind("line 3 (language = fr)", 0), 0u) << complaints[1];
}

TEST(SettingsText, KeysMayBeWrittenByTheirNamesInAnyCase)
{
    std::vector<std::string> complaints;
    SavedSettings read =
        parse("[keys]\njump = space\npause = P\nup = cursor up # the arrow\n", &complaints);
    EXPECT_EQ(read.keys[4], KEY_SPACE);
    EXPECT_EQ(read.keys[5], 25);
    EXPECT_EQ(read.keys[0], KEY_CURSOR_UP);
    EXPECT_TRUE(complaints.empty());
}

TEST(SettingsText, EveryValueThatCannotBeUsedKeepsItsDefaultAndIsNamed)
{
    std::vector<std::string> complaints;
    SavedSettings read = parse("[keys]\n"
                               "jump = NO SUCH KEY\n"
                               "pause = 84\n"   // a scan code the key table lacks
                               "left = 300\n"
                               "right = 32\n"   // usable: D
                               "[sound]\nmusic_volume = 7\n"
                               "[screen]\nfullscreen = perhaps\n"
                               "colour = blue\n"
                               "garbage line\n",
                               &complaints);
    SavedSettings expected = DEFAULTS;
    expected.keys[3] = 32;
    expect_same(read, expected);
    ASSERT_EQ(complaints.size(), 7u);
    EXPECT_EQ(complaints[0].rfind("line 2 (jump = NO SUCH KEY)", 0), 0u) << complaints[0];
    EXPECT_EQ(complaints[6].rfind("line 11 (garbage line)", 0), 0u) << complaints[6];
}

TEST(SettingsText, BinaryJunkGivesTheDefaults)
{
    std::string junk;
    for (int i = 0; i < 2000; ++i) junk += static_cast<char>((i * 7919) % 256);
    std::vector<std::string> complaints;
    expect_same(parse(junk, &complaints), DEFAULTS);
    EXPECT_FALSE(complaints.empty());
}

// --- writing a whole file or none ---------------------------------------------

std::string contents_of(const std::string& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(WholeFileReplacement, ReplacesTheFileAndLeavesNoTemporaryBehind)
{
    ScratchFolder scratch;
    std::string path = scratch.path + "deep/er/settings.ini";
    const std::string first = "old", second = "new contents";
    ASSERT_TRUE(replace_whole_file(path, reinterpret_cast<const unsigned char*>(first.data()),
                                   first.size()));
    ASSERT_TRUE(replace_whole_file(path, reinterpret_cast<const unsigned char*>(second.data()),
                                   second.size()));
    EXPECT_EQ(contents_of(path), second);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path + "deep/er")) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(WholeFileReplacement, AFailedWriteLeavesTheOldFileWhole)
{
    ScratchFolder scratch;
    std::string path = scratch.path + "settings.ini";
    write_bytes(path, bytes_of("the old settings"));
    // The new file cannot be made where it must go (a folder is in the way).
    std::filesystem::create_directory(path + ".new-" + std::to_string(getpid()));
    const std::string text = "the new settings";
    EXPECT_FALSE(
        replace_whole_file(path, reinterpret_cast<const unsigned char*>(text.data()), text.size()));
    EXPECT_EQ(contents_of(path), "the old settings");
}

TEST(WholeFileReplacement, NoFolderCanBeMadeUnderAFile)
{
    ScratchFolder scratch;
    write_bytes(scratch.path + "plain", bytes_of("x"));
    const std::string text = "settings";
    EXPECT_FALSE(replace_whole_file(scratch.path + "plain/settings.ini",
                                    reinterpret_cast<const unsigned char*>(text.data()),
                                    text.size()));
}

// --- the windowed size --------------------------------------------------------

TEST(WindowedSize, LargestWholeStepWithinNinetyPercentButNeverBelowTheScreen)
{
    int w = 0, h = 0;
    windowed_size(640, 480, 1280, 1024, &w, &h);
    EXPECT_EQ(w, 960);
    EXPECT_EQ(h, 720);
    windowed_size(640, 480, 1920, 1080, &w, &h);   // the height decides
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 960);
    windowed_size(640, 480, 800, 600, &w, &h);   // too small for two steps
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
}

}   // namespace
