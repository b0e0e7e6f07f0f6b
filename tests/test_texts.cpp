// The game's words in its seven languages: which language the system's
// variables choose and in what order, the player's choice over them, the
// tables as the game reads them, and the rooms and story layout the screens
// and the build's check share.
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "engine/host_languages.h"
#include "game/play/language_table.h"
#include "game/play/placeholders.h"
#include "game/play/story_layout.h"
#include "game/play/text_keys.h"
#include "game/play/texts.h"

namespace {

const char* const LOCALE_VARIABLES[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

// Sets the four variables (null: unset) for one test and puts them back.
class SystemLanguages : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : LOCALE_VARIABLES) {
            const char* value = std::getenv(name);
            saved_.push_back(value ? value : "");
            had_.push_back(value != nullptr);
        }
    }
    void TearDown() override
    {
        for (std::size_t i = 0; i < saved_.size(); ++i)
            set(LOCALE_VARIABLES[i], had_[i] ? saved_[i].c_str() : nullptr);
        choose_language("en");
    }
    static void set(const char* name, const char* value)
    {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    static void set_all(const char* language, const char* all, const char* messages,
                        const char* lang)
    {
        set("LANGUAGE", language);
        set("LC_ALL", all);
        set("LC_MESSAGES", messages);
        set("LANG", lang);
    }
    static std::string chosen()
    {
        choose_language("");
        return language_in_use();
    }

private:
    std::vector<std::string> saved_;
    std::vector<bool> had_;
};

}   // namespace

TEST_F(SystemLanguages, LanguageListComesFirstAndItsFirstLanguageTheGameHasWins)
{
    set_all("ja:de_AT:fr", "it_IT.UTF-8", nullptr, "es_ES.UTF-8");
    EXPECT_EQ(chosen(), "de");
    set_all("pt:pl", nullptr, nullptr, "de_DE.UTF-8");
    EXPECT_EQ(chosen(), "pt_BR");
}

TEST_F(SystemLanguages, ThenLcAllThenLcMessagesThenLang)
{
    set_all(nullptr, "fr_FR.UTF-8", "es_ES.UTF-8", "it_IT.UTF-8");
    EXPECT_EQ(chosen(), "fr");
    set("LC_ALL", nullptr);
    EXPECT_EQ(chosen(), "es");
    set("LC_MESSAGES", "");
    EXPECT_EQ(chosen(), "it");
    set("LANGUAGE", "");   // set but empty: as unset
    EXPECT_EQ(chosen(), "it");
}

TEST_F(SystemLanguages, ALanguageListOfNoneTheGameHasFallsToTheLocale)
{
    set_all("ja:zh_TW", nullptr, nullptr, "pl_PL.UTF-8");
    EXPECT_EQ(chosen(), "pl");
}

TEST_F(SystemLanguages, ALanguageTheGameLacksMeansEnglish)
{
    set_all(nullptr, nullptr, nullptr, "ja_JP.UTF-8");
    EXPECT_EQ(chosen(), "en");
    set("LANG", "C");
    EXPECT_EQ(chosen(), "en");
    set("LANG", nullptr);
    EXPECT_EQ(chosen(), "en");
}

TEST_F(SystemLanguages, ThePlayersChoiceWinsOverTheSystemAndAnUnknownOneFollowsIt)
{
    set_all("it", nullptr, nullptr, nullptr);
    choose_language("de");
    EXPECT_EQ(language_in_use(), "de");
    EXPECT_EQ(language_choice(), "de");
    EXPECT_EQ(text_for(TextKey::menu_start), "Spiel starten");
    choose_language("xx");
    EXPECT_EQ(language_choice(), "");
    EXPECT_EQ(language_in_use(), "it");
    EXPECT_EQ(text_for(TextKey::menu_start), "Gioca");
}

TEST(LanguageTags, MatchedWholeThenByTheirFirstPart)
{
    EXPECT_EQ(language_for_tags({"pt_BR.UTF-8"}), "pt_BR");
    EXPECT_EQ(language_for_tags({"pt-BR"}), "pt_BR");   // as a browser names it
    EXPECT_EQ(language_for_tags({"PT_br"}), "pt_BR");
    EXPECT_EQ(language_for_tags({"pt_PT.UTF-8"}), "pt_BR");   // the only Portuguese
    EXPECT_EQ(language_for_tags({"de-CH"}), "de");
    EXPECT_EQ(language_for_tags({"fr_CA.UTF-8@euro"}), "fr");
    EXPECT_EQ(language_for_tags({"en_GB"}), "en");
    EXPECT_EQ(language_for_tags({"xx", "it", "de"}), "it");
    EXPECT_EQ(language_for_tags({"zh-Hant-TW", "C", ""}), "en");
    EXPECT_EQ(language_for_tags({}), "en");
}

TEST(LanguageTags, TheDesktopsListSplitsAtColonsAndEndsWithTheLocale)
{
    const char* before = std::getenv("LANGUAGE");
    const std::string kept = before ? before : "";
    setenv("LANGUAGE", "de::fr_FR:", 1);
    const std::vector<std::string> tags = host_languages();
    ASSERT_EQ(tags.size(), 3u);
    EXPECT_EQ(tags[0], "de");
    EXPECT_EQ(tags[1], "fr_FR");
    if (before)
        setenv("LANGUAGE", kept.c_str(), 1);
    else
        unsetenv("LANGUAGE");
}

TEST(Languages, SevenInTheOptionsOrderEachByItsOwnName)
{
    const std::vector<std::string> codes = {"en", "de", "fr", "es", "it", "pt_BR", "pl"};
    const std::vector<std::string> names = {
        "English", "Deutsch", "Français", "Español", "Italiano", "Português (Brasil)", "Polski"};
    ASSERT_EQ(language_count(), int(codes.size()));
    for (int i = 0; i < language_count(); ++i) {
        EXPECT_EQ(language_code(i), codes[std::size_t(i)]);
        EXPECT_EQ(language_own_name(codes[std::size_t(i)]), names[std::size_t(i)]);
    }
    EXPECT_EQ(language_own_name("xx"), "");
}

TEST(Languages, EnglishIsWhatTheScreensAlwaysSaid)
{
    choose_language("en");
    EXPECT_EQ(text_for(TextKey::round_paused), "PAUSED");
    EXPECT_EQ(text_for(TextKey::keys_hint), "SELECT KEY WITH CURSORS. ENTER TO SELECT");
    EXPECT_EQ(paragraph_lines(text_for(TextKey::story_3)).size(), 7u);
    // The pause banner and the start hint were centred by hand at these x.
    EXPECT_EQ(text_x(TextKey::round_paused, "PAUSED"), 139);
    EXPECT_EQ(text_x(TextKey::story_start, "Press SPACE to start"), 91);
    EXPECT_EQ(text_x(TextKey::menu_start, "Start Game"), 120);
}

TEST(LanguageTable, LinesThatCannotBeUsedAreNamedAndLeftOut)
{
    std::vector<std::string> complaints;
    const LanguageTable table = language_table_from_text("# a comment\r\n"
                                                         "  menu.exit =  Beenden \r\n"
                                                         "\n"
                                                         "menu.start Spiel\n"
                                                         "menu.begin = Los\n"
                                                         "menu.exit = Aus\n"
                                                         "round.time=ZEIT",
                                                         &complaints);
    EXPECT_TRUE(table.has[int(TextKey::menu_exit)]);
    EXPECT_EQ(table.texts[int(TextKey::menu_exit)], "Beenden");   // the first one counts
    EXPECT_EQ(table.texts[int(TextKey::round_time)], "ZEIT");
    EXPECT_FALSE(table.has[int(TextKey::menu_start)]);
    ASSERT_EQ(complaints.size(), 3u);
    EXPECT_EQ(complaints[0], "line 4: not \"key = text\"");
    EXPECT_EQ(complaints[1], "line 5: no text is called \"menu.begin\"");
    EXPECT_EQ(complaints[2], "line 6: menu.exit is given twice");
}

TEST(TextKeys, EveryNameFindsItsKey)
{
    for (int k = 0; k < TEXT_KEY_COUNT; ++k) {
        TextKey found{};
        ASSERT_TRUE(text_key_named(text_key_info(TextKey(k)).name, &found));
        EXPECT_EQ(found, TextKey(k));
    }
    TextKey found{};
    EXPECT_FALSE(text_key_named("menu", &found));
}

TEST(TextKeys, PlaceholdersAreFoundAndFilledEverywhere)
{
    EXPECT_EQ(placeholders_in("{time} a {lives} {x"),
              (std::vector<std::string>{"{time}", "{lives}"}));
    EXPECT_EQ(filled("{n} s, {n}!", "{n}", "{n}0"), "{n}0 s, {n}0!");
    EXPECT_EQ(filled("none", "{n}", "5"), "none");
}

TEST(StoryLayout, EnglishLinesFallWhereTheyAlwaysDid)
{
    EXPECT_EQ(story_line_tops({1, 2, 7, 2}),
              (std::vector<int>{50, 70, 81, 103, 114, 125, 136, 147, 158, 169, 190, 201}));
    EXPECT_EQ(paragraph_lines("a|b||c"), (std::vector<std::string>{"a", "b", "", "c"}));
}

TEST(StoryLayout, ALongParagraphPushesTheNextDownAndAShortOneLeavesItsPlace)
{
    // Eight lines end at 180: the last paragraph starts 20 below that.
    EXPECT_EQ(story_line_tops({1, 2, 8, 2}).back(), 211);
    // Three lines in the second: the third starts at 112, not 103.
    EXPECT_EQ(story_line_tops({1, 3, 1, 1}), (std::vector<int>{50, 70, 81, 92, 112, 190}));
    EXPECT_EQ(story_line_tops({1, 1, 1, 1}), (std::vector<int>{50, 70, 103, 190}));
}
