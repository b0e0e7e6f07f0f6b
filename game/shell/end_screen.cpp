// The end screen: greeting, snow and the results panel, left by a key once
// it has been seen long enough.
#include "game/shell/end_screen.h"

#include <string>

#include "core/numbers.h"
#include "game/media_ids.h"
#include "game/play/assists.h"
#include "game/play/draw.h"
#include "game/play/placeholders.h"
#include "game/play/round.h"
#include "game/play/scenery.h"
#include "game/play/texts.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/game_state.h"
#include "game/shell/key_names.h"
#include "game/shell/session.h"
#include "media/grabs.h"
#include "media/input.h"
#include "media/keymap.h"
#include "media/sprites.h"

namespace {

// The greeting's pictures.
constexpr int MERRY_CHRISTMAS_X = 44, MERRY_CHRISTMAS_Y = 10;
constexpr int LOGO1_X = 46, LOGO1_Y = 82;
constexpr int LOGO2_X = 76, LOGO2_Y = 125;
constexpr int LOGO3_X = 71, LOGO3_Y = 175;

// The results panel: two lines of the outlined font centred over the trees.
// (No band behind them: the sky picture squeezed into a band samples
// differently on different GPUs, and the picture must be the same
// everywhere.)
constexpr double PANEL_FIRST_LINE_Y = 202;
constexpr double PANEL_SECOND_LINE_Y = 214;
constexpr double PANEL_HINT_Y = 226;

// This key opens the Best results page (a pad's and the touch controls'
// down hold it too); the hint names it after a new best.  It opens the page
// without one too, so that a session's replay, played where no best is
// kept, goes where the session went.
constexpr int RESULTS_KEY = KEY_CURSOR_DOWN;

struct Results {
    RoundResult result;
    int place;                // in its table, 0 when it made none or was not kept
    StorageTrouble trouble;   // why it was not kept
};

void draw_greeting()
{
    draw_anim(ANIM_MERRY_CHRISTMAS, 0, MERRY_CHRISTMAS_X, MERRY_CHRISTMAS_Y);
    draw_anim(ANIM_LOGO1, 0, LOGO1_X, LOGO1_Y);
    draw_anim(ANIM_LOGO2, 0, LOGO2_X, LOGO2_Y);
    draw_anim(ANIM_LOGO3, 0, LOGO3_X, LOGO3_Y);
}

void draw_centred(double y, TextKey key, const std::string& text)
{
    draw_text(text_x(key, text), y, text.c_str());
}

// The notes under the numbers: "Assisted", "New best!", both or neither.
void draw_notes(bool assisted, bool new_best)
{
    if (!assisted && !new_best) return;
    const TextKey key = !assisted  ? TextKey::end_new_best
                        : new_best ? TextKey::end_assisted_new_best
                                   : TextKey::end_assisted;
    draw_centred(PANEL_SECOND_LINE_Y, key, text_for(key));
}

void draw_results(const Results& results)
{
    const RoundResult& r = results.result;
    std::string numbers =
        filled(text_for(TextKey::end_results), "{time}", spare_time_text(r.frames_to_spare));
    numbers = filled(numbers, "{lives}", number_text(r.lives));
    numbers = filled(numbers, "{score}", number_text(r.score));
    draw_centred(PANEL_FIRST_LINE_Y, TextKey::end_results, numbers);
    draw_notes(assists_on(r.rules), results.place > 0);
    if (results.trouble != StorageTrouble::none) {
        const TextKey why = not_kept_key(KeptFile::result, results.trouble);
        draw_centred(PANEL_HINT_Y, why, text_for(why));
    }
    if (results.place == 0) return;
    const std::string hint =
        filled(text_for(TextKey::end_results_hint), "{key}", key_shown_name(RESULTS_KEY));
    draw_centred(PANEL_HINT_Y, TextKey::end_results_hint, hint);
}

// The page, and back: the key that opened it opens it again only once let
// go.
void show_best_results()
{
    show_results();
    hide_key_until_let_go(RESULTS_KEY);
}

// Enter, Escape, jump, a pad's Start (Enter) and Back (Escape), or a touch
// of the picture.
bool leave_key_down()
{
    return key_down(KEY_ENTER) || key_down(KEY_ESCAPE) || key_down(to_int(bindings.jump)) ||
           any_mouse_button();
}

// The session up to this frame, which checks itself when the replay runner
// plays it: it must end on this screen with this result.
std::string best_replay(const RoundResult& r)
{
    return session_replay(session_frames()) + "expect screen end\nexpect score " +
           number_text(r.score) + "\nexpect lives " + number_text(r.lives) + "\nexpect time_left " +
           number_text(round_clock.time_left) + "\n";
}

Results enter_round()
{
    Results results{won_round_result(), 0, StorageTrouble::none};
    if (!session_played_back())
        results.place = enter_result(results.result, best_replay(results.result), &results.trouble);
    return results;
}

}   // namespace

RoundResult won_round_result()
{
    return {frames_on_clock(round_clock.time_left, round_clock.ticks), tally.lives, tally.score,
            date_now(), assists};
}

void show_end_screen()
{
    screen_state.current = Screen::end;
    const Results results = enter_round();
    draw_winter_backdrop();
    use_as_background();
    for (int frame = 0; !screens_closing(); ++frame) {
        update_snow();
        draw_snow();
        draw_greeting();
        draw_results(results);
        save_screenshot_on_key();
        finish_frame();
        if (frame < END_SCREEN_HOLD_FRAMES) continue;
        if (key_down(RESULTS_KEY)) show_best_results();
        if (leave_key_down()) return;
    }
}
