/*
 * demo.cpp - the menu's demo: which replay it plays, and watching it.
 *
 * Needs: the best results' replays, the media archive, the watch.
 */
#include "game/shell/demo.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/archive.h"
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
    const std::string path = best_replay_path(DEFAULT_ASSISTS, 1);
    if (path.empty()) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::stringstream text;
    text << file.rdbuf();
    std::string why;
    if (watchable_script(text.str(), script, &why)) return true;
    log_line(("Demo: " + path + ": " + why + "; the built-in demo plays").c_str());
    return false;
}

bool built_in_script(ReplayScript* script)
{
    std::string name;
    std::vector<unsigned char> bytes;
    if (!resolve_media_path(general_archive(), BUILT_IN_DEMO, name, true) ||
        !read_whole_media(name.c_str(), bytes))
        return false;
    std::string why;
    if (watchable_script(std::string(bytes.begin(), bytes.end()), script, &why)) return true;
    log_line(("Demo: " + std::string(BUILT_IN_DEMO) + ": " + why).c_str());
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
