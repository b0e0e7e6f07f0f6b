// The story screen: a still picture of the text with snow falling over it.
#include "game/shell/story.h"

#include "core/numbers.h"
#include "game/media_ids.h"
#include "game/play/draw.h"
#include "game/play/scenery.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/startup.h"
#include "media/grabs.h"
#include "media/input.h"

namespace {

struct StoryLine {
    int x;
    int y;
    const char* text;
};

// Lines of a paragraph are 11 pixels apart, paragraphs about 20.
constexpr StoryLine STORY_LINES[] = {
    {130, 20, "Snowbelter"},
    {20, 50, "Oh no! Christmas is about to be cancelled!"},
    {20, 70, "Belief in Santa Claus is at an all time low,"},
    {20, 81, "causing his sleigh to break apart!"},
    {20, 103, "If Santa can't fix his sleigh by midnight on"},
    {20, 114, "Christmas Eve (in about 5 minutes), the"},
    {20, 125, "children of the world won't receive any"},
    {20, 136, "presents. Peace and Goodwill will cease to"},
    {20, 147, "exist: replaced by suffering and loathing"},
    {20, 158, "(and other nasty things best left to the"},
    {20, 169, "imagination)."},
    {20, 190, "Only Santa can save the day, but he needs"},
    {20, 201, "your help to mend his sleigh."},
};

// The foot line names the key that starts the round, so nobody is stuck here.
constexpr int START_HINT_Y = 229;

void draw_start_hint()
{
    StringValue hint = StringValue("Press ") + key_table_name(bindings.jump) + " to start";
    draw_text((VIRTUAL_WIDTH - text_width(hint)) / 2, START_HINT_Y, hint);
}

void draw_story_text()
{
    for (const StoryLine& line : STORY_LINES) draw_text(line.x, line.y, line.text);
    draw_start_hint();
}

}   // namespace

void show_story()
{
    Screen previous_screen = screen_state.current;
    screen_state.current = Screen::story;
    draw_story_text();
    use_as_background();
    bool done = false;
    screen_state.key_cooldown = STORY_KEY_COOLDOWN;
    while (!done) {
        update_snow();
        draw_snow();
        finish_frame();
        if (key_down(to_int(bindings.jump)) && screen_state.key_cooldown == 0) done = true;
        if (screen_state.key_cooldown > 0) screen_state.key_cooldown -= 1;
    }
    screen_state.current = previous_screen;
}
