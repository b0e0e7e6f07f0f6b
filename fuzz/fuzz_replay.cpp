/*
 * fuzz_replay.cpp - replay scripts as the game and the replay runner read
 * them: the parser with the game's key names, then the frames it names and
 * the keys of some of them, as a replay plays them.  What a parsed script
 * holds must be playable: frames from 0 on, spans in order, key codes of the
 * key table.
 */
#include <string>

#include "fuzz_support.h"
#include "game/shell/game_state.h"
#include "game/shell/replay_script.h"

namespace {

void check(bool holds, const char* what)
{
    fuzz_check(holds, "parsed replay", what);
}

void parse(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    ReplayScript script;
    std::string error;
    if (!parse_replay(text, key_code_named, &script, &error)) {
        check(!error.empty(), "a refusal without a reason");
        return;
    }
    const int last = last_frame(script);
    for (const KeySpan& span : script.keys) {
        check(span.first >= 0 && span.first <= span.last, "a span out of order");
        check(span.code >= 0 && span.code < KEY_CODE_COUNT, "a key outside the table");
        check(script.end_frame >= 0 || span.last <= last, "a span past the last frame");
    }
    unsigned char state[KEY_CODE_COUNT];
    for (int frame : {0, last / 2, last}) keys_of_frame(script, frame, state);
}

}   // namespace

SNOW_FUZZ_TARGET(parse)
