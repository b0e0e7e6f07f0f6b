/*
 * demo.cpp - the menu's demo: which replay it plays, and watching it.
 *
 * Needs: the best results' replays, the media archive, the watch.
 */
#include "game/shell/demo.h"

#include <string>
#include <vector>

#include "core/archive.h"
#include "core/files.h"
#include "core/log.h"
#include "core/media_source.h"
#include "game/play/assists.h"
#include "game/shell/bests.h"
#include "game/shell/watch.h"

namespace {

// The built-in winning run, an entry of the general archive.
constexpr const char* BUILT_IN_DEMO = "media/gfx/demo.replay";

bool best_round_script(ReplayScript* script)
{
    const Bests bests = read_bests();
    if (bests.standard.empty()) return false;
    const std::string path = best_replay_file(bests.standard[0], 1);
    if (path.empty() || !file_exists(path.c_str())) return false;
    if (script_to_watch(path, script).empty()) return true;
    log_line(("Demo: " + path + " cannot be watched; the built-in demo plays").c_str());
    return false;
}

bool built_in_script(ReplayScript* script)
{
    std::string name;
    std::vector<unsigned char> bytes;
    if (!resolve_media_path(general_archive(), BUILT_IN_DEMO, name, true) ||
        !read_whole_media(name.c_str(), bytes))
        return false;
    if (script_from_text(std::string(bytes.begin(), bytes.end()), script).empty()) return true;
    log_line(("Demo: " + std::string(BUILT_IN_DEMO) + " cannot be watched").c_str());
    return false;
}

}   // namespace

int demo_idle_frames()
{
    return int(DEMO_IDLE_SECONDS * frames_per_second(assists));
}

bool demo_allowed()
{
    return !replay_watched();
}

bool demo_script(ReplayScript* script)
{
    *script = ReplayScript{};
    if (best_round_script(script)) return true;
    *script = ReplayScript{};
    return built_in_script(script);
}

void play_demo()
{
    ReplayScript script;
    if (demo_script(&script)) watch_replay(script, false, WatchStyle::demo);
}
