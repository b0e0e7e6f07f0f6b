// Text in the game font and the end-of-frame step shared by every screen.
#include "game/play/draw.h"

#include "core/numbers.h"
#include "engine/frame.h"
#include "game/media_ids.h"
#include "game/play/world.h"
#include "media/renderer.h"
#include "media/screen_picture.h"
#include "media/sprites.h"

namespace {

// Frame of the font strip for a byte: the strip starts at the blank.
constexpr int FONT_FIRST_CHARACTER = 32;

struct FontSpacing {
    int frame;
    int adjustment;
};

// Letters narrower or wider than the 7-pixel cell.
constexpr FontSpacing FONT_SPACING[] = {
    {1, -3},    // !
    {7, -3},    // '
    {8, -3},    // (
    {9, -3},    // )
    {14, -3},   // .
    {41, -4},   // I
    {45, +1},   // M
    {55, +1},   // W
    {70, -1},   // f
    {73, -4},   // i
    {76, -4},   // l
    {77, +1},   // m
    {84, -1},   // t
    {87, +1},   // w
};

}   // namespace

int font_spacing(int frame)
{
    for (const FontSpacing& entry : FONT_SPACING) {
        if (entry.frame == frame) return entry.adjustment;
    }
    return 0;
}

int text_width(const StringValue& text)
{
    int width = 0;
    for (uint32_t i = 0; i < text.size(); ++i)
        width += FONT_ADVANCE +
                 font_spacing(static_cast<unsigned char>(text.c_str()[i]) - FONT_FIRST_CHARACTER);
    return width;
}

void draw_text(double x, double y, const StringValue& text)
{
    const char* bytes = text.c_str();
    for (uint32_t i = 0; i < text.size(); ++i) {
        int frame = static_cast<unsigned char>(bytes[i]) - FONT_FIRST_CHARACTER;
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
