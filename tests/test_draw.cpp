// The text and frame-end steps every screen shares: draw_text with the
// test font's one-pixel letters, and finish_frame's picture on the desktop
// and elsewhere.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/log.h"
#include "engine/frame.h"
#include "engine/window.h"
#include "game/media_ids.h"
#include "game/play/draw.h"
#include "game/play/glyphs.h"
#include "game/play/world.h"
#include "media/grabs.h"
#include "media/sprites.h"
#include "support/exact_text.h"
#include "support/harness.h"
#include "support/scratch_folder.h"
#include "support/shell_fixture.h"

// --- draw_text and finish_frame ------------------------------------------------------

TEST_F(Shell, TextAdvancesSevenPixelsAndNarrowLettersPullTheRestIn)
{
    clear_screen();
    draw_text(50, 60, "Hi!");
    EXPECT_EQ(pixel(50, 60), letter_colour('H').value());
    EXPECT_EQ(pixel(57, 60), letter_colour('i').value());
    EXPECT_EQ(pixel(60, 60), letter_colour('!').value());   // 14 - 4
    EXPECT_EQ(pixel(64, 60), 0);
}

TEST_F(Shell, WideLettersPushTheRestOut)
{
    clear_screen();
    draw_text(10.9, 20.7, "Wall");   // positions truncate
    EXPECT_EQ(pixel(10, 20), letter_colour('W').value());
    EXPECT_EQ(pixel(18, 20), letter_colour('a').value());   // 7 + 1
    EXPECT_EQ(pixel(25, 20), letter_colour('l').value());   // 14 + 1
    EXPECT_EQ(pixel(28, 20), letter_colour('l').value());   // 21 + 1 - 4
}

TEST_F(Shell, AsciiKeepsItsFramesAndPlaces)
{
    clear_screen();
    draw_text(20, 30, "Mix it!");
    const int xs[] = {20, 28, 31, 38, 45, 48, 54};   // M +1, i -4, t -1
    const char* letters = "Mix it!";
    for (int i = 0; i < 7; ++i) {
        if (letters[i] == ' ') continue;
        EXPECT_EQ(pixel(xs[i], 30), letter_colour(letters[i]).value()) << letters[i];
    }
    EXPECT_EQ(pixel(27, 30), 0);
}

TEST_F(Shell, Utf8TextDrawsTheAccentedLettersFrames)
{
    clear_screen();
    draw_text(10, 40, "Größe");
    draw_text(10, 60, "¡Sí! Łódź");
    const int first_row[] = {ascii_frame('G'), ascii_frame('r'), 141, 121, ascii_frame('e')};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(pixel(10 + 7 * i, 40), frame_colour(first_row[i]).value()) << i;
    // ¡ and í are narrow: what follows them moves left.
    EXPECT_EQ(pixel(10, 60), frame_colour(95).value());
    EXPECT_EQ(pixel(13, 60), letter_colour('S').value());
    EXPECT_EQ(pixel(20, 60), frame_colour(133).value());
    EXPECT_EQ(pixel(24, 60), letter_colour('!').value());
    EXPECT_EQ(pixel(35, 60), frame_colour(153).value());
    EXPECT_EQ(pixel(42, 60), frame_colour(138).value());
}

TEST_F(Shell, AMissingLetterDrawsAQuestionMarkAndIsLoggedOnce)
{
    ScratchFolder scratch;
    TempFolderOverride temp(scratch.path);
    clear_screen();
    for (int frame = 0; frame < 3; ++frame) draw_text(10, 40, "5€ 5€");
    EXPECT_EQ(pixel(17, 40), letter_colour('?').value());
    EXPECT_EQ(pixel(38, 40), letter_colour('?').value());
    const std::vector<unsigned char> bytes = read_bytes(log_path());
    const std::string log(bytes.begin(), bytes.end());
    EXPECT_EQ(log, "Text: the font has no U+20AC (\xE2\x82\xAC), drawn as '?'\r\n");
}

TEST_F(Shell, BrokenUtf8DrawsAQuestionMarkAndStopsAtTheTextsEnd)
{
    clear_screen();
    draw_text(10, 40, exact_text("a\x80z\xC3"));   // its last byte is the cut
    EXPECT_EQ(pixel(10, 40), letter_colour('a').value());
    EXPECT_EQ(pixel(17, 40), letter_colour('?').value());
    EXPECT_EQ(pixel(24, 40), letter_colour('z').value());
    EXPECT_EQ(pixel(31, 40), letter_colour('?').value());
    EXPECT_EQ(pixel(38, 40), 0);
}

TEST(FontSpacing, TableOfNarrowAndWideLetters)
{
    EXPECT_EQ(font_spacing('!' - 32), -3);
    EXPECT_EQ(font_spacing('.' - 32), -3);
    EXPECT_EQ(font_spacing('I' - 32), -4);
    EXPECT_EQ(font_spacing('M' - 32), 1);
    EXPECT_EQ(font_spacing('t' - 32), -1);
    EXPECT_EQ(font_spacing('w' - 32), 1);
    EXPECT_EQ(font_spacing('A' - 32), 0);
    EXPECT_EQ(font_spacing(-32), 0);
}

TEST_F(Shell, EmptyTextAndOddBytesDrawNothingHarmful)
{
    clear_screen();
    draw_text(30, 30, "");
    EXPECT_EQ(pixel(30, 30), 0);
    draw_text(-500, -500, "far away");
    draw_text(30, 30, "\x01\x1f\xff");
    SUCCEED();
}

TEST_F(Shell, MissingFontDrawsNothing)
{
    reset_sprite(ANIM_FONT);
    clear_screen();
    draw_text(40, 40, "Hello");
    EXPECT_EQ(pixel(40, 40), 0);
    load_test_media();
    draw_text(40, 40, "Hello");
    EXPECT_EQ(pixel(40, 40), letter_colour('H').value());
}

TEST_F(Shell, FinishFrameOnTheDesktopShowsThePictureDoubled)
{
    device_name = "DESKTOP";
    set_screen(640, 480, 1);
    start_script([](int) {});
    draw_text(50, 60, "Hi");
    finish_frame();
    set_test_frame_hook(nullptr);
    const int seen[4] = {shown_pixel(2 * 50, 2 * 60), shown_pixel(2 * 50 + 1, 2 * 60 + 1),
                         shown_pixel(2 * 57 + 1, 2 * 60), shown_pixel(2 * 50 + 2, 2 * 60)};
    set_screen(320, 240, 0);
    EXPECT_EQ(seen[0], letter_colour('H').value());
    EXPECT_EQ(seen[1], letter_colour('H').value());   // pixel-sharp, no smoothing
    EXPECT_EQ(seen[2], letter_colour('i').value());
    EXPECT_NE(seen[3], letter_colour('H').value());
    EXPECT_EQ(script.shown, 1);
}

TEST_F(Shell, FinishFrameElsewhereShowsThePictureAsDrawn)
{
    int seen[2] = {};
    start_script([&seen](int) {
        seen[0] = pixel(50, 60);
        seen[1] = pixel(100, 120);
    });
    draw_text(50, 60, "Hi");
    finish_frame();
    EXPECT_EQ(seen[0], letter_colour('H').value());
    EXPECT_NE(seen[1], letter_colour('H').value());
    EXPECT_EQ(script.shown, 1);
}
