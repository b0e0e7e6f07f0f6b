// The state fields: one reader per field, in trace order first.
#include "game/shell/game_state.h"

#include <cstdio>
#include <cstdlib>

#include "core/errors.h"
#include "engine/window.h"
#include "game/play/round.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "game/shell/key_names.h"
#include "game/shell/keys_screen.h"
#include "media/keymap.h"

namespace {

// What a check writes for the empty value of the Santa fields.
constexpr const char* EMPTY_VALUE = "none";

// Columns of the trace, after "frame".
constexpr int TRACE_FIELDS_AFTER_FRAME = 13;

const char* screen_name(Screen screen)
{
    switch (screen) {
    case Screen::startup: return "startup";
    case Screen::menu: return "menu";
    case Screen::keys: return "keys";
    case Screen::options: return "options";
    case Screen::assists: return "assists";
    case Screen::results: return "results";
    case Screen::story: return "story";
    case Screen::round: return "round";
    case Screen::end: return "end";
    }
    return "?";
}

std::string santa_field(double Santa::*field)
{
    if (array_count(santa_list) == 0) return "";
    return number_text(array_at(santa_list, 0).*field);
}

template <typename Record>
std::string count_text(const RecordArray<Record>& list)
{
    return number_text(array_count(list));
}

int round_records()
{
    return array_count(santa_list) + array_count(ladders) + array_count(lights) +
           array_count(presents) + array_count(conveyors) + array_count(puddings) +
           array_count(soldiers) + array_count(sleigh_parts) + array_count(reindeer);
}

struct FieldReader {
    const char* name;
    std::string (*read)();
};

// Trace columns first (after frame), in their order.
const FieldReader FIELD_READERS[] = {
    {"screen", [] { return std::string(screen_name(screen_state.current)); }},
    {"santa_x", [] { return santa_field(&Santa::x); }},
    {"santa_y", [] { return santa_field(&Santa::y); }},
    {"scroll_x", [] { return number_text(screen_state.scroll_x); }},
    {"score", [] { return number_text(tally.score); }},
    {"lives", [] { return number_text(tally.lives); }},
    {"time_left", [] { return number_text(round_clock.time_left); }},
    {"finale_phase", [] { return number_text(finale.phase); }},
    {"parts_fitted", [] { return number_text(finale.parts_fitted); }},
    {"carried_part", [] { return number_text(santa_status.carried_part); }},
    {"santa_hit", [] { return number_text(santa_status.hit); }},
    {"paused", [] { return number_text(screen_state.paused); }},
    {"key_cooldown", [] { return number_text(screen_state.key_cooldown); }},
    {"bind_up", [] { return number_text(bindings.up); }},
    {"bind_down", [] { return number_text(bindings.down); }},
    {"bind_left", [] { return number_text(bindings.left); }},
    {"bind_right", [] { return number_text(bindings.right); }},
    {"bind_jump", [] { return number_text(bindings.jump); }},
    {"bind_pause", [] { return number_text(bindings.pause); }},
    {"music_volume", [] { return number_text(volumes.music); }},
    {"effects", [] { return number_text(effects_level()); }},
    {"game_over_countdown", [] { return number_text(round_clock.game_over_countdown); }},
    {"santa_list", [] { return count_text(santa_list); }},
    {"ladders", [] { return count_text(ladders); }},
    {"lights", [] { return count_text(lights); }},
    {"presents", [] { return count_text(presents); }},
    {"conveyors", [] { return count_text(conveyors); }},
    {"puddings", [] { return count_text(puddings); }},
    {"soldiers", [] { return count_text(soldiers); }},
    {"sleigh_parts", [] { return count_text(sleigh_parts); }},
    {"reindeer", [] { return count_text(reindeer); }},
    {"snowflakes", [] { return count_text(snowflakes); }},
    {"round_lists", [] { return number_text(round_records()); }},
    {"status", [] { return number_text(runtime_status.status); }},
    {"fullscreen", [] { return number_text(window_is_fullscreen() ? 1 : 0); }},
    {"screenshots", [] { return number_text(screenshot_count()); }},
    {"key_screen_waiting", [] { return number_text(keys_screen.selecting ? 1 : 0); }},
};

bool read_number(const std::string& text, double* value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return *end == '\0';
}

std::string shown(const std::string& value)
{
    return value.empty() ? EMPTY_VALUE : value;
}

std::string check_names_of(const std::string& field, int line)
{
    if (is_state_field(field)) return "";
    return "line " + std::to_string(line) + ": no state field named " + field;
}

}   // namespace

int key_code_named(const std::string& name)
{
    for (int code = 0; code < KEY_CODE_COUNT; ++code) {
        if (!name.empty() && name == key_table_name(code)) return code;
    }
    return -1;
}

std::string number_text(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

GameSnapshot take_snapshot(int frame, bool quit)
{
    GameSnapshot snapshot{{"frame", number_text(frame)}};
    for (const FieldReader& reader : FIELD_READERS) {
        snapshot.push_back({reader.name, reader.read()});
    }
    snapshot.push_back({"quit", quit ? "1" : "0"});
    return snapshot;
}

const std::string* snapshot_value(const GameSnapshot& snapshot, const std::string& name)
{
    for (const StateField& field : snapshot) {
        if (field.name == name) return &field.value;
    }
    return nullptr;
}

bool is_state_field(const std::string& name)
{
    if (name == "frame" || name == "quit") return true;
    for (const FieldReader& reader : FIELD_READERS) {
        if (name == reader.name) return true;
    }
    return false;
}

std::string trace_header()
{
    std::string header = "frame";
    for (int i = 0; i < TRACE_FIELDS_AFTER_FRAME; ++i) {
        header += std::string(",") + FIELD_READERS[i].name;
    }
    return header;
}

std::string trace_line(const GameSnapshot& snapshot)
{
    std::string line = snapshot[0].value;
    for (int i = 1; i <= TRACE_FIELDS_AFTER_FRAME; ++i) line += "," + snapshot[i].value;
    return line;
}

bool value_matches(const std::string& actual, const std::string& expected)
{
    if (expected == EMPTY_VALUE) return actual.empty();
    double a = 0, e = 0;
    if (read_number(actual, &a) && read_number(expected, &e)) return a == e;
    return actual == expected;
}

std::string check_field(const GameSnapshot& snapshot, const std::string& field,
                        const std::string& expected)
{
    const std::string* actual = snapshot_value(snapshot, field);
    if (!actual) return "no state field named " + field;
    if (value_matches(*actual, expected)) return "";
    return field + " is " + shown(*actual) + ", expected " + expected;
}

std::string check_field_names(const ReplayScript& script)
{
    for (const Expectation& e : script.expectations) {
        std::string why = check_names_of(e.field, e.line);
        if (!why.empty()) return why;
    }
    for (const StopCondition& stop : script.stops) {
        std::string why = check_names_of(stop.field, stop.line);
        if (!why.empty()) return why;
    }
    return "";
}
