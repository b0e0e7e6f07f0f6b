/*
 * fuzz_run_link.cpp - links to a shared run as --watch and the page read
 * them: the decoder, then the replay parser on what it gives.  A link that
 * decodes gives a script within the bound that encodes and decodes again
 * to itself; a refused one leaves no script.
 */
#include <string>

#include "fuzz_support.h"
#include "game/shell/game_state.h"
#include "game/shell/replay_script.h"
#include "game/shell/run_link.h"

namespace {

constexpr const char* READER = "decoded link";

void decode(const std::uint8_t* data, std::size_t size)
{
    const std::string link(reinterpret_cast<const char*>(data), size);
    std::string script;
    if (decode_run_link(link, &script) != LinkFault::none) {
        fuzz_check(script.empty(), READER, "a refused link left a script");
        return;
    }
    fuzz_check(script.size() <= MAX_LINK_SCRIPT_BYTES, READER, "a script past the bound");
    std::string again;
    fuzz_check(decode_run_link(run_link_payload(script), &again) == LinkFault::none &&
                   again == script,
               READER, "the script does not come back from its own link");
    ReplayScript parsed;
    std::string error;
    parse_replay(script, key_code_named, &parsed, &error);
}

}   // namespace

SNOW_FUZZ_TARGET(decode)
