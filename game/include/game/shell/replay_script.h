/*
 * replay_script.h - replay scripts: the text format and its parsed form.
 *
 * A replay script plays the whole game from start-up with a scripted
 * keyboard.  One directive a line; '#' starts a comment; blank lines are
 * ignored.  Frames count show_screen calls from 0 (the five calls inside
 * each set_screen count too); the keys of frame n are what the keyboard
 * shows from the return of call n - 1 (from start-up for frame 0) until
 * call n returns.
 *
 *   option NAME VALUE   a rule of the game for the whole replay, before any
 *                       frame line: speed 100|90|80|70|60|50,
 *                       time_limit 300|450|none, lives 5|9|unlimited,
 *                       safe_falls off|on; a rule not named keeps its default
 *                       (the player's settings never count)
 *   seed N              the seed given to seed_rnd before game_main (default 1)
 *   A-B KEY [KEY ...]   keys held during frames A to B inclusive
 *   A KEY [KEY ...]     keys held during frame A only
 *                       (several lines may cover one frame: their keys add up)
 *   end N               stop after frame N
 *
 * KEY is a decimal scan code (0..255) or a name of the game's key-name table
 * with blanks written as '_' (CURSOR_RIGHT, LEFT_CTRL, ENTER, SPACE, ESC, D);
 * names are matched without regard to case, and a decimal number is always
 * a scan code ("2" is code 2, the key named "1").
 *
 * Checks (additions of the runner; scripts without them run unchanged):
 *
 *   expect FIELD VALUE       FIELD has VALUE when the replay stops: in the
 *                            last frame played, or when the game ends itself
 *   at N expect FIELD VALUE  FIELD has VALUE at the start of show_screen
 *                            call N (what trace line N shows)
 *   stop_when FIELD VALUE    the first frame whose state matches becomes the
 *                            last frame (several lines: any one matching)
 *   screenshot N NAME [TOL]  the picture presented by call N equals the
 *                            reference picture NAME (a PNG); TOL pixels may
 *                            differ (default 0)
 *
 * FIELD is a column of the trace (screen, santa_x, santa_y, scroll_x, score,
 * lives, time_left, finale_phase, parts_fitted, carried_part, santa_hit,
 * paused, key_cooldown, frame) or one of the other state fields of
 * game_state.h (bindings, list counts, quit, status).  VALUE is compared as
 * a number when it reads as one, else as text; "none" stands for the empty
 * value the Santa fields have while there is no Santa.
 *
 * The replay stops after the `end` frame, or without `end` after the largest
 * frame any directive names.
 *
 * Callers: the replay runner (tests/replay_runner) and its unit test, the game's
 * own --record and --play (session.h).
 * Not for: running anything; the parser touches no file and no game state.
 */
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/play/assists.h"
#include "media/keymap.h"

struct KeySpan {
    int first;   // frames first..last inclusive
    int last;
    int code;   // scan code 0..255
};

struct Expectation {
    int frame;   // AT_STOP, or the frame of an `at N expect` line
    std::string field;
    std::string value;
    int line;
};
constexpr int AT_STOP = -1;

struct StopCondition {
    std::string field;
    std::string value;
    int line;
};

struct Screenshot {
    int frame;
    std::string name;   // file name of the reference picture
    long tolerance;     // pixels allowed to differ
    int line;
};

struct ReplayScript {
    uint32_t seed = 1;
    Assists rules;        // the defaults unless option lines name others
    int end_frame = -1;   // -1: no `end` line
    std::vector<KeySpan> keys;
    std::vector<Expectation> expectations;
    std::vector<StopCondition> stops;
    std::vector<Screenshot> screenshots;
};

// The scan code of a key name (blanks already restored), or -1.
using KeyNameLookup = std::function<int(const std::string& name)>;

// Parses a whole script.  Returns false with "line N: why" in *error at the
// first line that is not understood; *script is then incomplete.
bool parse_replay(const std::string& text, const KeyNameLookup& key_code, ReplayScript* script,
                  std::string* error);

// Whether parse_replay's error is an option line naming a rule, or a value
// of one, that the game does not have.
bool is_unknown_option_error(const std::string& error);

// The option lines that give these rules (one per rule that differs from
// the default), each ending in a newline.
std::string option_lines(const Assists& rules);

// The last frame the replay plays: `end`, else the largest frame named by
// any directive; -1 when the script names no frame at all.
int last_frame(const ReplayScript& script);

// The key state of a frame: KEY_DOWN_BIT for every key a script line holds
// in that frame, 0 for the rest.
void keys_of_frame(const ReplayScript& script, int frame, unsigned char state[KEY_CODE_COUNT]);
