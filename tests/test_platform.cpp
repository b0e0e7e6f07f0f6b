// platform_info: key handling, every key's answer, and the Linux sources
// behind them (time, battery, locale, documents folder, GL entry points).
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <string>

#include "core/errors.h"
#include "engine/platform.h"
#include "support/harness.h"
#include "support/scratch_folder.h"

namespace {

std::string ask(const char* key)
{
    StringValue value = key;
    return platform_info(value).c_str();
}

bool matches(const std::string& text, const char* pattern)
{
    return std::regex_match(text, std::regex(pattern));
}

void write_text(const std::string& path, const std::string& text)
{
    write_bytes(path, bytes_of(text));
}

std::tm broken_down(int year, int month, int day, int hour, int minute, int second)
{
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    return parts;
}

}   // namespace

// --- Keys --------------------------------------------------------------------

TEST(PlatformKeys, DeviceIsDesktopInAnyCase)
{
    EXPECT_EQ(ask("device"), "DESKTOP");
    EXPECT_EQ(ask("Device"), "DESKTOP");
    EXPECT_EQ(ask("DEVICE"), "DESKTOP");
}

TEST(PlatformKeys, TheCallersKeyBecomesUpperCase)
{
    StringValue key = "dEvIcE";
    platform_info(key);
    EXPECT_STREQ(key.c_str(), "DEVICE");

    StringValue mixed = "glext:glActiveTextureARB";
    platform_info(mixed);
    EXPECT_STREQ(mixed.c_str(), "GLEXT:GLACTIVETEXTUREARB");
}

TEST(PlatformKeys, OnlyAsciiLettersAreUpperCased)
{
    StringValue key = "d\xe9vice-1";
    EXPECT_EQ(std::string(platform_info(key).c_str()), "NO_DATA");
    EXPECT_STREQ(key.c_str(), "D\xe9VICE-1");
}

TEST(PlatformKeys, EmptyKeyGivesWin32)
{
    EXPECT_EQ(ask(""), "WIN32");
}

TEST(PlatformKeys, UnknownKeysGiveNoDataAndLeaveTheStatusAlone)
{
    runtime_status.status = 5;
    EXPECT_EQ(ask("colour"), "NO_DATA");
    EXPECT_EQ(ask("DEVICES"), "NO_DATA");
    EXPECT_EQ(ask("DEV"), "NO_DATA");
    EXPECT_EQ(ask(" DEVICE"), "NO_DATA");
    for (const char* key : {"", "device", "time", "battery", "compiled", "id", "hostid", "locale",
                            "documents", "GLEXT:glBegin"}) {
        ask(key);
    }
    EXPECT_EQ(runtime_status.status, 5);
    runtime_status.status = 0;
}

TEST(PlatformKeys, IdsAreEightHexadecimalDigits)
{
    EXPECT_TRUE(matches(ask("id"), "[0-9A-Fa-f]{8}")) << ask("id");
    EXPECT_EQ(ask("ID"), ask("id"));   // stable
    EXPECT_TRUE(matches(ask("hostid"), "[0-9A-Fa-f]{8}")) << ask("hostid");
}

TEST(PlatformKeys, CompiledIsMonthDayYearDashTime)
{
    EXPECT_TRUE(matches(ask("compiled"),
                        "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) +[0-9]{1,2} "
                        "[0-9]{4}-[0-9]{2}:[0-9]{2}:[0-9]{2}"))
        << ask("compiled");
}

// --- Time ----------------------------------------------------------------------

TEST(PlatformTime, FieldsArePaddedToTwoDigits)
{
    EXPECT_STREQ(local_time_text(broken_down(2009, 12, 24, 9, 5, 7)).c_str(),
                 "2009-12-24 09:05:07");
    EXPECT_STREQ(local_time_text(broken_down(2024, 1, 2, 0, 0, 0)).c_str(), "2024-01-02 00:00:00");
}

TEST(PlatformTime, OneSecondBeforeTheNewYear)
{
    EXPECT_STREQ(local_time_text(broken_down(1999, 12, 31, 23, 59, 59)).c_str(),
                 "1999-12-31 23:59:59");
}

TEST(PlatformTime, YearHasNoLeadingZeros)
{
    EXPECT_STREQ(local_time_text(broken_down(987, 3, 4, 5, 6, 7)).c_str(), "987-03-04 05:06:07");
}

TEST(PlatformTime, TimeKeyGivesTheLocalTimeNow)
{
    std::time_t before = std::time(nullptr);
    std::string answer = ask("time");
    std::time_t after = std::time(nullptr);
    ASSERT_TRUE(matches(answer, "[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}")) << answer;
    std::tm early{}, late{};
    localtime_r(&before, &early);
    localtime_r(&after, &late);
    std::string first = local_time_text(early).c_str();
    std::string last = local_time_text(late).c_str();
    EXPECT_TRUE(answer == first || answer == last) << answer;
}

// --- Battery -------------------------------------------------------------------

TEST(PlatformBattery, FirstBatteryCapacityIsTheAnswer)
{
    ScratchFolder supplies;
    write_text(supplies.file("AC/type"), "Mains\n");
    write_text(supplies.file("AC/online"), "1\n");
    write_text(supplies.file("BAT1/type"), "Battery\n");
    write_text(supplies.file("BAT1/capacity"), "42\n");
    write_text(supplies.file("BAT0/type"), "Battery\n");
    write_text(supplies.file("BAT0/capacity"), "87\n");
    EXPECT_EQ(battery_percent_in(supplies.path), 87);
}

TEST(PlatformBattery, NoBatteryGives255)
{
    ScratchFolder supplies;
    write_text(supplies.file("AC/type"), "Mains\n");
    EXPECT_EQ(battery_percent_in(supplies.path), 255);
    EXPECT_EQ(battery_percent_in(supplies.path + "missing"), 255);
}

TEST(PlatformBattery, UnreadableCapacityIsSkipped)
{
    ScratchFolder supplies;
    write_text(supplies.file("BAT0/type"), "Battery\n");
    write_text(supplies.file("BAT0/capacity"), "garbage\n");
    write_text(supplies.file("BAT1/type"), "Battery\n");
    EXPECT_EQ(battery_percent_in(supplies.path), 255);
}

TEST(PlatformBattery, BatteryKeyIsANumberText)
{
    std::string answer = ask("battery");
    ASSERT_TRUE(matches(answer, "[0-9]+")) << answer;
    int percent = std::atoi(answer.c_str());
    EXPECT_TRUE(percent <= 100 || percent == 255) << answer;
}

// --- Locale --------------------------------------------------------------------

TEST(PlatformLocale, LanguageCodesFromLocaleNames)
{
    struct Case {
        const char* locale;
        const char* code;
    };
    const Case cases[] = {// The language part, in lower case.
                          {"de_DE.UTF-8", "de"},
                          {"FR", "fr"},
                          {"pt_BR@latin", "pt"},
                          // Historic renamings.
                          {"el_GR.UTF-8", "gr"},
                          {"du", "nl"},
                          {"po_PL", "pl"},
                          {"en_GB.UTF-8", "us"},
                          {"am_ET", "us"},
                          {"C", "us"},
                          {"C.UTF-8", "us"},
                          // Anything but two letters falls back to "us".
                          {"POSIX", "us"},
                          {"", "us"},
                          {nullptr, "us"},
                          {"ast_ES", "us"},
                          {"1x_YY", "us"}};
    for (const Case& c : cases)
        EXPECT_STREQ(language_code_for(c.locale).c_str(), c.code)
            << (c.locale ? c.locale : "(none)");
}

TEST(PlatformLocale, LocaleKeyFollowsTheEnvironment)
{
    EnvOverride all("LC_ALL", "it_IT.UTF-8");
    EXPECT_EQ(ask("locale"), "it");
    EnvOverride none("LC_ALL", nullptr);
    EnvOverride messages("LC_MESSAGES", nullptr);
    EnvOverride lang("LANG", "el_GR.UTF-8");
    EXPECT_EQ(ask("LOCALE"), "gr");
}

// --- Documents folder -------------------------------------------------------------

class PlatformDocuments : public ::testing::Test {
protected:
    ScratchFolder home;
    EnvOverride home_variable{"HOME", nullptr};
    EnvOverride config_variable{"XDG_CONFIG_HOME", nullptr};

    void SetUp() override { setenv("HOME", without_slash(home.path).c_str(), 1); }

    static std::string without_slash(std::string path)
    {
        if (path.size() > 1 && path.back() == '/') path.pop_back();
        return path;
    }
    void make_folder(const std::string& relative)
    {
        write_text(home.file(relative + "/.keep"), "");
    }
    void write_user_dirs(const std::string& line)
    {
        write_text(home.file(".config/user-dirs.dirs"), "# written by a test\n" + line + "\n");
    }
};

TEST_F(PlatformDocuments, NoFolderGivesNoData)
{
    EXPECT_EQ(ask("documents"), "NO_DATA");
}

TEST_F(PlatformDocuments, PlainDocumentsFolderInHome)
{
    make_folder("Documents");
    EXPECT_EQ(ask("documents"), home.path + "Documents");
}

TEST_F(PlatformDocuments, UserDirsEntryRelativeToHome)
{
    make_folder("Documents");
    make_folder("Papiere");
    write_user_dirs("XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"");
    EXPECT_EQ(ask("DOCUMENTS"), home.path + "Papiere");
}

TEST_F(PlatformDocuments, UserDirsEntryWithAnAbsolutePath)
{
    ScratchFolder elsewhere;
    write_user_dirs("XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"" +
                    without_slash(elsewhere.path) + "\"");
    EXPECT_EQ(ask("documents"), without_slash(elsewhere.path));
}

TEST_F(PlatformDocuments, UserDirsInXdgConfigHome)
{
    ScratchFolder config;
    make_folder("Texte");
    write_text(config.file("user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"$HOME/Texte\"\n");
    EnvOverride config_home("XDG_CONFIG_HOME", without_slash(config.path).c_str());
    EXPECT_EQ(ask("documents"), home.path + "Texte");
}

TEST_F(PlatformDocuments, MissingOrDisabledEntryFallsBackToDocuments)
{
    make_folder("Documents");
    write_user_dirs("XDG_DOCUMENTS_DIR=\"$HOME/Gone\"");
    EXPECT_EQ(ask("documents"), home.path + "Documents");
    write_user_dirs("XDG_DOCUMENTS_DIR=\"$HOME/\"");
    EXPECT_EQ(ask("documents"), home.path + "Documents");
}

TEST_F(PlatformDocuments, MalformedEntriesAreIgnored)
{
    write_user_dirs("XDG_DOCUMENTS_DIR=$HOME/Unquoted\nXDG_DOCUMENTS_DIR=\"relative/path\"");
    make_folder("Unquoted");
    EXPECT_EQ(ask("documents"), "NO_DATA");
}

// --- GL entry points ---------------------------------------------------------------

class PlatformGl : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(start_test_runtime()) << "no display or GL context"; }
};

TEST_F(PlatformGl, KnownEntryPointsAndExtensionsAreAvailable)
{
    for (const char* key :
         {"GLEXT:glActiveTextureARB", "glext:glActiveTextureARB", "GlExt:glBindTexture",
          "GLEXT:glGenFramebuffersEXT", "GLEXT:GL_ARB_multitexture"})
        EXPECT_EQ(ask(key), "1") << key;
}

TEST_F(PlatformGl, MissingNamesAreNotAvailable)
{
    // Entry points are case-sensitive: the upper-cased name must not be used.
    for (const char* key :
         {"GLEXT:GLACTIVETEXTUREARB", "GLEXT:", "GLEXT:noSuchEntryPoint",
          "GLEXT:glNoSuchEntryPoint", "GLEXT:glBind Texture", "GLEXT:GL_SNOW_no_such_extension"})
        EXPECT_EQ(ask(key), "0") << key;
}
