// The story screen: a still picture of the text with snow falling over it.
#include "game/shell/story.h"

#include <string>
#include <vector>

#include "core/numbers.h"
#include "game/media_ids.h"
#include "game/play/draw.h"
#include "game/play/placeholders.h"
#include "game/play/scenery.h"
#include "game/play/story_layout.h"
#include "game/play/text_rooms.h"
#include "game/play/texts.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/key_names.h"
#include "media/gamepad.h"
#include "media/grabs.h"
#include "media/input.h"

namespace {

// A player on touch has no keys: the hint names the touch controls' Jump.
void draw_start_hint()
{
    const bool touch = last_input_kind() == InputKind::touch;
    const TextKey key = touch ? TextKey::story_start_touch : TextKey::story_start;
    const std::string hint = filled(text_for(key), "{key}", key_shown_name(bindings.jump));
    draw_text(text_x(key, hint), STORY_START_HINT_Y, hint.c_str());
}

// The title, then the paragraphs line by line where the layout puts them.
void draw_story_text()
{
    draw_text(STORY_TITLE_ROOM.x, STORY_TITLE_Y, text_for(TextKey::story_title).c_str());
    std::vector<std::string> lines;
    std::vector<int> lines_per_paragraph;
    for (int p = 0; p < STORY_PARAGRAPHS; ++p) {
        const std::vector<std::string> paragraph =
            paragraph_lines(text_for(TextKey(int(TextKey::story_1) + p)));
        lines.insert(lines.end(), paragraph.begin(), paragraph.end());
        lines_per_paragraph.push_back(int(paragraph.size()));
    }
    const std::vector<int> tops = story_line_tops(lines_per_paragraph);
    for (std::size_t i = 0; i < lines.size(); ++i)
        draw_text(STORY_ROOM.x, tops[i], lines[i].c_str());
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
    while (!done && !screens_closing()) {
        update_snow();
        draw_snow();
        finish_frame();
        if (key_down(to_int(bindings.jump)) && screen_state.key_cooldown == 0) done = true;
        if (screen_state.key_cooldown > 0) screen_state.key_cooldown -= 1;
    }
    screen_state.current = previous_screen;
}
