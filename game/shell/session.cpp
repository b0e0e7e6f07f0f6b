/*
 * session.cpp - the recorder, the player and the trace of the real game.
 *
 * Needs: engine/frame.h for the frame count, input.h for the player's keys,
 * the script format and the traced state.
 */
#include "game/shell/session.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/clock.h"
#include "core/numbers.h"
#include "engine/frame.h"
#include "engine/options.h"
#include "game/shell/game_state.h"
#include "game/shell/key_names.h"
#include "game/shell/replay_script.h"
#include "media/input.h"

namespace {

constexpr double FLUSH_INTERVAL_MS = 1000;

// The session as a replay script: kept in memory as it is played (a best
// round's replay is cut from it), and written to the --record file too.
struct Recording {
    bool on = false;    // from start_session, unless a script is played without --record
    std::string text;   // the heads and every span that has ended
    std::FILE* file = nullptr;
    std::size_t written = 0;                   // how much of text the file holds
    unsigned char keys[KEY_CODE_COUNT] = {};   // of the span being recorded
    int span_start = 0;
    double last_flush = 0;
};

struct SessionState {
    bool playing = false;
    bool rules_given = false;   // the script's (or the runner's) rules win
    Assists rules;
    ReplayScript script;
    int script_end = -1;   // the last frame the script plays
    Recording recording;
    std::FILE* trace = nullptr;
    bool tracing = false;   // the header is written: every frame adds a line
    unsigned char frame_keys[KEY_CODE_COUNT] = {};
    int keys_frame = -1;   // the frame frame_keys belong to
    bool aside = false;
    int aside_since = 0;    // frames_shown when it was set aside
    int frames_aside = 0;   // show_screen calls that were not the session's
};
SessionState session;

bool read_script(const std::string& path, std::string* error)
{
    std::ifstream file(path);
    if (!file) {
        *error = path + ": cannot be read";
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string why;
    if (!parse_replay(text.str(), key_code_named, &session.script, &why)) {
        *error = path + ": " + why;
        return false;
    }
    session.script_end = last_frame(session.script);
    session.playing = true;
    play_by_rules(session.script.rules);
    return true;
}

std::FILE* open_for_writing(const std::string& path, std::string* error)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) *error = path + ": cannot be written";
    return file;
}

// "A-B CODE CODE  # NAME NAME" for a span; "" for a span without keys.
std::string span_line(const unsigned char keys[KEY_CODE_COUNT], int first, int last)
{
    std::string codes, names;
    for (int code = 0; code < KEY_CODE_COUNT; ++code) {
        if (!keys[code]) continue;
        codes += " " + std::to_string(code);
        names += std::string(" ") + key_table_name(code);
    }
    if (codes.empty()) return "";
    return std::to_string(first) + "-" + std::to_string(last) + codes + "   #" + names + "\n";
}

void flush_recording()
{
    Recording& rec = session.recording;
    if (rec.file && rec.written < rec.text.size()) {
        std::fwrite(rec.text.data() + rec.written, 1, rec.text.size() - rec.written, rec.file);
        std::fflush(rec.file);
    }
    rec.written = rec.text.size();
    rec.last_flush = now_ms();
}

void record_frame(int frame, const unsigned char keys[KEY_CODE_COUNT])
{
    Recording& rec = session.recording;
    if (std::memcmp(keys, rec.keys, KEY_CODE_COUNT) != 0) {
        rec.text += span_line(rec.keys, rec.span_start, frame - 1);
        std::memcpy(rec.keys, keys, KEY_CODE_COUNT);
        rec.span_start = frame;
    }
    if (now_ms() - rec.last_flush >= FLUSH_INTERVAL_MS) flush_recording();
}

// The keys of a new frame: the script's while it lasts, then the player's.
void take_frame_keys(int frame)
{
    if (session.playing && frame <= session.script_end)
        keys_of_frame(session.script, frame, session.frame_keys);
    else
        read_player_keys(session.frame_keys);
    if (session.recording.on) record_frame(frame, session.frame_keys);
}

// Every way out of the program passes here (end_program exits through exit).
void finish_session()
{
    Recording& rec = session.recording;
    if (rec.file) {
        rec.text = session_replay(session_frames());
        flush_recording();
        std::fclose(rec.file);
        rec.file = nullptr;
    }
    if (session.trace) std::fclose(session.trace);
    session.trace = nullptr;
}

}   // namespace

bool prepare_session(std::string* error)
{
    const Options& asked = options();
    if (!asked.play.empty() && !read_script(asked.play, error)) return false;
    if (!asked.record.empty() && !(session.recording.file = open_for_writing(asked.record, error)))
        return false;
    if (!asked.trace.empty() && !(session.trace = open_for_writing(asked.trace, error)))
        return false;
    return true;
}

void start_session()
{
    if (session.playing) seed_rnd(session.script.seed);
    if (session.rules_given) assists = session.rules;
    Recording& rec = session.recording;
    rec.on = !session.playing || rec.file;
    if (rec.on) {
        rec.text = "# Recorded by " + version_line() +
                   ": keys are scan codes, named after the '#'.\n" + option_lines(assists) +
                   "seed " + std::to_string(rnd_seed()) + "\n";
        flush_recording();
    }
    if (session.trace && options().watch.empty()) {
        std::fprintf(session.trace, "%s\n", trace_header().c_str());
        session.tracing = true;
    }
    if (rec.file || session.trace) std::atexit(finish_session);
}

void play_by_rules(const Assists& rules)
{
    session.rules = rules;
    session.rules_given = true;
}

bool session_played_back()
{
    return session.playing || session.aside;
}

void set_session_aside(bool aside)
{
    if (aside == session.aside) return;
    session.aside = aside;
    if (aside)
        session.aside_since = frames_shown();
    else
        session.frames_aside += frames_shown() - session.aside_since;
}

int session_frames()
{
    return frames_shown() - session.frames_aside;
}

void record_session_keys(const unsigned char keys[KEY_CODE_COUNT])
{
    if (session.recording.on && !session.aside) record_frame(session_frames(), keys);
}

std::string session_replay(int last)
{
    const Recording& rec = session.recording;
    return rec.text + span_line(rec.keys, rec.span_start, last) + "end " + std::to_string(last) +
           "\n";
}

bool session_keys(unsigned char state[KEY_CODE_COUNT])
{
    if (session.aside || (!session.playing && !session.recording.on)) return false;
    const int frame = session_frames();
    if (frame != session.keys_frame) {
        take_frame_keys(frame);
        session.keys_frame = frame;
    }
    std::memcpy(state, session.frame_keys, KEY_CODE_COUNT);
    return true;
}

void session_frame()
{
    if (!session.tracing || session.aside) return;
    std::fprintf(session.trace, "%s\n", trace_line(take_snapshot(session_frames(), false)).c_str());
}

void write_watched_trace(const std::vector<std::string>& lines)
{
    if (!session.trace) return;
    for (const std::string& line : lines) std::fprintf(session.trace, "%s\n", line.c_str());
    std::fflush(session.trace);
}
