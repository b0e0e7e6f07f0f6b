// Text in the game font and the end-of-frame step shared by every screen.
#include "game/play/draw.h"

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "core/log.h"
#include "core/numbers.h"
#include "engine/frame.h"
#include "game/media_ids.h"
#include "game/play/world.h"
#include "media/renderer.h"
#include "media/screen_picture.h"
#include "media/sprites.h"

namespace {

// Below it, every character the font lacks is a control character.
constexpr uint32_t FIRST_VISIBLE_BEYOND_ASCII = 0xA0;

// A missing character as the log names it: its number, and the character
// itself where it is a visible one (control characters would garble the log).
std::string character_name(uint32_t character)
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", unsigned(character));
    if (character == INVALID_CHARACTER) return std::string(code) + " (invalid UTF-8)";
    if (character < FIRST_VISIBLE_BEYOND_ASCII) return code;
    return std::string(code) + " (" + utf8_of(character) + ")";
}

// Logs the first time text asks for a character the font lacks: once a
// character, not once a frame.
void note_missing_character(uint32_t character)
{
    static std::set<uint32_t> noted;
    if (!noted.insert(character).second) return;
    log_line(("Text: the font has no " + character_name(character) + ", drawn as '?'").c_str());
}

bool closing = false;

}   // namespace

void draw_text(double x, double y, const StringValue& text)
{
    const std::vector<uint32_t> characters = text_characters(text);
    for (std::size_t i = 0; i < characters.size(); ++i) {
        if (!font_has_character(characters[i])) note_missing_character(characters[i]);
        const int frame = font_frame(characters[i]);
        draw_anim(ANIM_FONT, frame, to_int(x + FONT_ADVANCE * static_cast<double>(i)), to_int(y));
        x += font_spacing(frame);
    }
}

void finish_frame()
{
    // On the desktop the game's 320 x 240 picture, drawn in the corner of the
    // 640 x 480 screen, is what the screen shows, doubled on its one way to
    // the window (and in screenshots).
    if (device_name == DESKTOP_DEVICE) {
        show_picture_corner(VIRTUAL_WIDTH, VIRTUAL_HEIGHT);
        // The next frame's background is drawn under the viewport this frame
        // leaves, and only its corner under the game's picture is shown:
        // drawing the rest would be four times the work for nothing.
        set_viewport(0, 0, VIRTUAL_WIDTH, VIRTUAL_HEIGHT);
    }
    show_screen();
}

void close_all_screens(bool close)
{
    closing = close;
}

bool screens_closing()
{
    return closing;
}
