/*
 * start_checks.cpp - the data folder search and the report of a failed start.
 *
 * Needs: paths.h for the search, log.h, SDL2 for the message box (which SDL
 * shows without being initialised).
 */
#include "engine/start_checks.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

#include "core/log.h"
#include "core/paths.h"

namespace {

bool env_set(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

std::string joined(const std::vector<std::string>& folders)
{
    std::string text;
    for (const std::string& folder : folders) text += (text.empty() ? "" : ", ") + folder;
    return text;
}

}   // namespace

bool find_game_data(const std::string& data_dir, std::string* cause)
{
    std::vector<std::string> candidates = data_folder_candidates(data_dir);
    std::string found = first_folder_holding(candidates, GAME_DATA_MARKER);
    if (found.empty()) {
        *cause = std::string("the game's data (") + GAME_DATA_MARKER +
                 ") is in none of these folders: " + joined(candidates);
        return false;
    }
    set_data_folder(found);
    return true;
}

bool display_named(std::string* cause)
{
    if (env_set("DISPLAY") || env_set("WAYLAND_DISPLAY") || env_set("SDL_VIDEODRIVER")) return true;
    *cause = "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
    return false;
}

void report_start_failure(const std::string& cause)
{
    std::string line = "snowbelter: cannot start: " + cause;
    std::fprintf(stderr, "%s\n", line.c_str());
    log_line(line.c_str());
    std::string ignored;
    if (display_named(&ignored))
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Snowbelter", line.c_str(), nullptr);
}
