/*
 * watch.cpp - the watched replay: the player's game kept aside, the game
 * from its start under the script's keys, the watch's frame entry, and the
 * player's game put back.
 *
 * Needs: start-up's play_from_start, the session and the settings set
 * aside, the engine's frame entry, hidden frames and key source, the state
 * fields and their checks.
 */
#include "game/shell/watch.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "core/errors.h"
#include "core/log.h"
#include "core/numbers.h"
#include "engine/frame.h"
#include "engine/options.h"
#include "game/play/assists.h"
#include "game/play/draw.h"
#include "game/play/placeholders.h"
#include "game/play/round.h"
#include "game/play/texts.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "game/shell/game_state.h"
#include "game/shell/key_names.h"
#include "game/shell/keys_screen.h"
#include "game/shell/menu.h"
#include "game/shell/options_screen.h"
#include "game/shell/run_link.h"
#include "game/shell/session.h"
#include "game/shell/settings.h"
#include "game/shell/startup.h"
#include "media/gamepad.h"
#include "media/input.h"
#include "media/music.h"
#include "media/screen_picture.h"

namespace {

// Game frames for every frame shown while the replay runs fast.
constexpr int FAST_FRAMES = 4;
constexpr int BANNER_Y = 229;
constexpr int FAST_FORWARD_KEY = KEY_TAB;

// The player's game while a replay runs: what playing from the start
// resets, and what the replay's screens may change.
struct KeptGame {
    WorldCopy world;
    Assists rules;
    RndState random;
    RuntimeStatus status;
    int effects;
    double menu_choice;
    double menu_cursor_y;
    KeysScreenState keys_screen;
    OptionsScreenState options_screen;
    std::vector<double> key_codes;
    bool pad_keys;
    PictureFit fit;
    std::string language;
};

struct Watching {
    const ReplayScript* script = nullptr;
    int last = -1;         // the last frame to play
    int first_shown = 0;   // frames_shown when the replay began
    KeySource player_keys = nullptr;
    FrameEntry replaced_entry = nullptr;
    double player_jump = 0;     // the player's own jump key
    bool ended = false;         // played out or stopped
    bool stop_let_go = false;   // the stop keys were up once since it began
    bool round_seen = false;
    GameSnapshot last_snapshot;
    WatchResult result;
    bool keep_trace = false;
    WatchStyle style = WatchStyle::replay;
    bool running = false;   // between taking the frames over and handing them back
    unsigned char keys[KEY_CODE_COUNT] = {};
    int keys_frame = -1;
};
Watching watching;

KeptGame keep_game()
{
    KeptGame kept{copy_world(),     assists,     rnd_state(),        runtime_status,
                  effects_level(),  menu_choice, menu_cursor_y,      keys_screen,
                  options_screen,   {},          pad_keys_enabled(), picture_fit(),
                  language_choice()};
    for (int i = 0; i < array_count(key_codes); ++i) kept.key_codes.push_back(key_codes.at(i));
    return kept;
}

void put_back(const KeptGame& kept)
{
    restore_world(kept.world);
    assists = kept.rules;
    apply_game_speed();
    set_rnd_state(kept.random);
    runtime_status = kept.status;
    set_effects_level(kept.effects);
    set_music_volume(volumes.music);
    menu_choice = kept.menu_choice;
    menu_cursor_y = kept.menu_cursor_y;
    keys_screen = kept.keys_screen;
    options_screen = kept.options_screen;
    dim_number_array(key_codes, BINDING_COUNT);
    for (std::size_t i = 0; i < kept.key_codes.size(); ++i)
        key_codes.at(double(i)) = kept.key_codes[i];
    set_pad_keys_enabled(kept.pad_keys);
    set_picture_fit(kept.fit);
    choose_language(kept.language);
}

int watched_frame()
{
    return frames_shown() - watching.first_shown;
}

// The replay's key source: the script's keys while it lasts, then none.
bool script_keys(unsigned char state[KEY_CODE_COUNT])
{
    const int frame = watched_frame();
    if (frame != watching.keys_frame) {
        if (frame <= watching.last && !watching.ended)
            keys_of_frame(*watching.script, frame, watching.keys);
        else
            std::memset(watching.keys, 0, sizeof watching.keys);
        watching.keys_frame = frame;
    }
    std::memcpy(state, watching.keys, KEY_CODE_COUNT);
    return true;
}

// What the player holds: the source the replay's replaced, else the
// player's own keys.
void read_watcher_keys(unsigned char state[KEY_CODE_COUNT])
{
    std::memset(state, 0, KEY_CODE_COUNT);
    if (!watching.player_keys || !watching.player_keys(state)) read_player_keys(state);
}

void note_failure(const std::string& why)
{
    if (!watching.result.why.empty()) return;
    watching.result.why = why.substr(0, WHY_CHARACTERS);
}

// "score=5000" when the field does not have the expected value (the name
// alone for a field the game does not have).
void check(const GameSnapshot& snapshot, const Expectation& e)
{
    if (check_field(snapshot, e.field, e.value).empty()) return;
    const std::string* found = snapshot_value(snapshot, e.field);
    note_failure(found ? e.field + "=" + *found : e.field);
}

void check_frame(const GameSnapshot& snapshot, int frame)
{
    for (const Expectation& e : watching.script->expectations)
        if (e.frame == frame) check(snapshot, e);
}

bool stop_condition_holds(const GameSnapshot& snapshot)
{
    for (const StopCondition& stop : watching.script->stops)
        if (check_field(snapshot, stop.field, stop.value).empty()) return true;
    return false;
}

void end_watching(WatchEnd end)
{
    watching.ended = true;
    watching.result.end = end;
    close_all_screens(true);
}

bool any_key_in(const unsigned char keys[KEY_CODE_COUNT])
{
    return std::any_of(keys, keys + KEY_CODE_COUNT, [](unsigned char key) { return key != 0; });
}

// A replay stops on Escape (a pad's Back holds it too) or a touch, a demo on
// anything, once they were let go; only a replay runs fast.
void take_player_keys(int frame)
{
    unsigned char keys[KEY_CODE_COUNT];
    read_watcher_keys(keys);
    const bool demo = watching.style == WatchStyle::demo;
    const bool stop =
        (demo ? any_key_in(keys) || any_pad_button() : keys[KEY_ESCAPE] != 0) || any_mouse_button();
    if (!stop) watching.stop_let_go = true;
    if (stop && watching.stop_let_go && !watching.ended) end_watching(WatchEnd::stopped);
    const bool fast = !demo && (keys[to_int(watching.player_jump)] || keys[to_int(bindings.jump)] ||
                                keys[FAST_FORWARD_KEY]);
    hide_frames(!watching.round_seen || (fast && frame % FAST_FRAMES != 0));
}

void draw_banner()
{
    const TextKey key =
        watching.style == WatchStyle::demo ? TextKey::demo_banner : TextKey::watch_banner;
    const std::string& banner = text_for(key);
    draw_text(text_x(key, banner), BANNER_Y, banner.c_str());
}

// The frame entry while a replay runs: the start of show_screen call n
// traces and checks frame n, as the replay runner does.
void watch_frame()
{
    if (watching.replaced_entry) watching.replaced_entry();
    const int frame = watched_frame();
    if (watching.ended) return;
    GameSnapshot snapshot = take_snapshot(frame, false);
    if (watching.keep_trace) watching.result.trace.push_back(trace_line(snapshot));
    check_frame(snapshot, frame);
    watching.last_snapshot = snapshot;
    if (frame < watching.last && stop_condition_holds(snapshot)) watching.last = frame;
    if (screen_state.current == Screen::round) watching.round_seen = true;
    take_player_keys(frame);
    if (frame >= watching.last && !watching.ended) end_watching(WatchEnd::finished);
    if (!watching.ended) draw_banner();
}

// The checks of a replay that played out, on the state it ended in.
void check_the_end(const GameSnapshot& final_state)
{
    const int played = to_int(std::stod(*snapshot_value(final_state, "frame")));
    const bool game_ended = watching.result.end == WatchEnd::game_ended;
    for (const Expectation& e : watching.script->expectations) {
        if (e.frame == AT_STOP) check(final_state, e);
        if (game_ended && e.frame >= played) note_failure("frame " + std::to_string(e.frame));
    }
    watching.result.checked = watching.result.why.empty();
}

void take_the_frames_over()
{
    watching.running = true;
    set_session_aside(true);
    hold_settings(true);
    confine_keys(true);
    withhold_screenshots(true);
    watching.player_keys = set_key_source(script_keys);
    watching.replaced_entry = swap_frame_entry(watch_frame);
}

// The Escape that stopped the replay is still down: let go first, it would
// leave the screen handed back to.
void hand_the_frames_back()
{
    hide_key_until_let_go(KEY_ESCAPE);
    set_key_source(watching.player_keys);
    swap_frame_entry(watching.replaced_entry);
    hide_frames(false);
    withhold_screenshots(false);
    confine_keys(false);
    close_all_screens(false);
    hold_settings(false);
    set_session_aside(false);
    stop_music();
    watching.running = false;
}

// The link's faults, in the player's words.
TextKey link_fault_text(LinkFault fault)
{
    switch (fault) {
    case LinkFault::bad_letters: return TextKey::watch_link_letters;
    case LinkFault::damaged: return TextKey::watch_link_damaged;
    case LinkFault::too_long: return TextKey::watch_too_long;
    case LinkFault::none: break;
    }
    return TextKey::watch_unreadable;
}

// A file's text, up to one byte past the bound a link has too.
bool read_file_text(const std::string& path, std::string* text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::vector<char> bytes(MAX_LINK_SCRIPT_BYTES + 1);
    file.read(bytes.data(), std::streamsize(bytes.size()));
    text->assign(bytes.data(), std::size_t(file.gcount()));
    return true;
}

}   // namespace

std::string script_from_text(const std::string& text, ReplayScript* script)
{
    std::string why;
    if (!parse_replay(text, key_code_named, script, &why)) {
        log_line(("Watch: " + why).c_str());
        return text_for(is_unknown_option_error(why) ? TextKey::watch_unknown_rule
                                                     : TextKey::watch_unreadable);
    }
    why = check_field_names(*script);
    if (why.empty() && last_frame(*script) < 0) why = "names no frame";
    if (why.empty()) return "";
    log_line(("Watch: " + why).c_str());
    return text_for(TextKey::watch_unreadable);
}

namespace {

// What --watch asked for, once read.
struct AskedWatch {
    bool ready = false;
    ReplayScript script;
};
AskedWatch asked_watch;

}   // namespace

bool replay_watched()
{
    return watching.running;
}

WatchResult watch_replay(const ReplayScript& script, bool keep_trace, WatchStyle style)
{
    const KeptGame kept = keep_game();
    watching = Watching{};
    watching.script = &script;
    watching.last = last_frame(script);
    watching.first_shown = frames_shown();
    watching.player_jump = bindings.jump;
    watching.keep_trace = keep_trace;
    watching.style = style;
    if (keep_trace) watching.result.trace.push_back(trace_header());
    take_the_frames_over();
    runtime_status = RuntimeStatus{0, 0, 0};
    play_from_start(script.seed, script.rules);
    if (!watching.ended) {
        // The game ended itself: its state as it left.
        watching.result.end = WatchEnd::game_ended;
        watching.last_snapshot = take_snapshot(watched_frame(), true);
    }
    if (watching.result.end != WatchEnd::stopped) check_the_end(watching.last_snapshot);
    hand_the_frames_back();
    put_back(kept);
    return watching.result;
}

std::string watch_result_line(const WatchResult& result)
{
    if (result.end == WatchEnd::stopped) return "";
    if (result.checked) return text_for(TextKey::watch_checked);
    return filled(text_for(TextKey::watch_not_checked), "{why}", result.why);
}

std::string script_to_watch(const std::string& link_or_file, ReplayScript* script)
{
    *script = ReplayScript{};
    std::string text;
    if (is_run_link(link_or_file)) {
        const LinkFault fault = decode_run_link(link_or_file, &text);
        if (fault != LinkFault::none) return text_for(link_fault_text(fault));
    } else if (!read_file_text(link_or_file, &text)) {
        log_line(("Watch: " + link_or_file + ": cannot be read").c_str());
        return text_for(TextKey::watch_unreadable);
    } else if (text.size() > MAX_LINK_SCRIPT_BYTES) {
        return text_for(TextKey::watch_too_long);
    }
    return script_from_text(text, script);
}

std::string prepare_asked_watch()
{
    asked_watch = AskedWatch{};
    if (options().watch.empty()) return "";
    std::string refusal = script_to_watch(options().watch, &asked_watch.script);
    asked_watch.ready = refusal.empty();
    return refusal;
}

void watch_asked_replay()
{
    if (!asked_watch.ready) return;
    asked_watch.ready = false;
    const WatchResult result = watch_replay(asked_watch.script, !options().trace.empty());
    if (!options().trace.empty()) write_watched_trace(result.trace);
    const std::string line = watch_result_line(result);
    // Said where it was asked: the terminal, or the browser's page.
    if (!line.empty()) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    note_for_next_visit(line);
}
