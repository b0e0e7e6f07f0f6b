// A replay script carried in a link: the round trip, the forms a pasted
// link comes in, and every kind of hostile link refused with nothing of it
// kept.
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

#include "game/shell/run_link.h"

namespace {

const std::string WIN_REPLAY = SNOW_SOURCE_DIR "/tests/replays/win.replay";
const std::string PAGE = "https://example.org/snowbelter/snowbelter.html";

std::string file_text(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string letters_of(const std::string& payload)
{
    return payload.substr(std::string(RUN_LINK_KEY).size());
}

LinkFault decoded(const std::string& link, std::string* script)
{
    *script = "left over";
    return decode_run_link(link, script);
}

// A refused link leaves nothing of a script behind.
void expect_refused(const std::string& link, LinkFault fault)
{
    std::string script;
    EXPECT_EQ(decoded(link, &script), fault) << link.substr(0, 80);
    EXPECT_EQ(script, "");
}

// A payload whose stream is whole bytes to the last letter (a multiple of
// three bytes), so letters added after it add whole bytes.
std::string payload_ending_on_a_byte()
{
    std::string script = "30 ENTER\n";
    while (letters_of(run_link_payload(script)).size() % 4 != 0) script += "#";
    return run_link_payload(script);
}

// --- The round trip ------------------------------------------------------------------------

TEST(RunLink, TheWinReplayComesBackAsItWasFromEveryFormOfTheLink)
{
    const std::string win = file_text(WIN_REPLAY);
    ASSERT_GT(win.size(), 10000u);
    const std::string payload = run_link_payload(win);
    ASSERT_EQ(payload.rfind("watch=", 0), 0u);
    EXPECT_EQ(letters_of(payload).find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
              std::string::npos);
    EXPECT_LT(payload.size(), win.size() / 2);   // deflated, then a third longer
    for (const std::string& link : {payload, PAGE + "#" + payload,
                                    PAGE + "?lang=de#" + payload + "\n", "  " + payload + " "}) {
        std::string script;
        EXPECT_TRUE(is_run_link(link));
        EXPECT_EQ(decoded(link, &script), LinkFault::none);
        EXPECT_EQ(script, win);
    }
}

TEST(RunLink, FileNamesAreNotLinks)
{
    EXPECT_FALSE(is_run_link("tests/replays/win.replay"));
    EXPECT_FALSE(is_run_link("my watch=run.replay"));
    EXPECT_TRUE(is_run_link("watch="));
    EXPECT_TRUE(is_run_link(PAGE + "#watch=abc"));
}

// --- Hostile links ------------------------------------------------------------------------

TEST(RunLink, LettersOutsideBase64UrlAreRefused)
{
    const std::string good = run_link_payload("30 ENTER\n");
    expect_refused(good + "=", LinkFault::bad_letters);   // padding is not written
    std::string plus = good;
    plus[8] = '+';   // base64's letter, not base64url's
    expect_refused(plus, LinkFault::bad_letters);
    expect_refused("watch=%41%42%43%44", LinkFault::bad_letters);
    // No bytes end with one letter.
    expect_refused(payload_ending_on_a_byte() + "A", LinkFault::bad_letters);
    expect_refused("not a link", LinkFault::bad_letters);
}

TEST(RunLink, ACutShortChangedOrLengthenedStreamIsRefused)
{
    const std::string payload = run_link_payload(file_text(WIN_REPLAY));
    expect_refused(payload.substr(0, payload.size() - 8), LinkFault::damaged);
    expect_refused(payload.substr(0, payload.size() / 2), LinkFault::damaged);
    std::string changed = payload;
    changed[changed.size() / 2] = changed[changed.size() / 2] == 'A' ? 'B' : 'A';
    expect_refused(changed, LinkFault::damaged);
    std::string whole;
    EXPECT_EQ(decoded(payload_ending_on_a_byte(), &whole), LinkFault::none);
    expect_refused(payload_ending_on_a_byte() + "AA", LinkFault::damaged);   // a byte after the end
    expect_refused("watch=", LinkFault::damaged);
    // Raw deflate of "30 ENTER\n", without zlib's header, is not the link's stream.
    expect_refused("watch=MzZQcPULcQ3iAgA", LinkFault::damaged);
}

TEST(RunLink, AScriptPastTheBoundIsRefusedWhateverTheLinksLength)
{
    // A short link that inflates past the bound: given up as it passes.
    const std::string huge(MAX_LINK_SCRIPT_BYTES + 1, '#');
    const std::string bomb = run_link_payload(huge);
    EXPECT_LT(bomb.size(), 2000u);
    expect_refused(bomb, LinkFault::too_long);
    // Exactly at the bound it is still a script.
    std::string script;
    EXPECT_EQ(decoded(run_link_payload(huge.substr(1)), &script), LinkFault::none);
    EXPECT_EQ(script.size(), MAX_LINK_SCRIPT_BYTES);
    // A link longer than any script's stream is not even decoded.
    expect_refused("watch=" + std::string(MAX_LINK_SCRIPT_BYTES * 2, 'A'), LinkFault::too_long);
}

}   // namespace
