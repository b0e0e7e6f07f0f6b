/*
 * start_checks.cpp - the data folder search, the display check and the
 * report of a failed start.
 *
 * Needs: paths.h for the search, log.h, SDL2 for its video driver and the
 * message box (which SDL shows without being initialised).
 */
#include "engine/start_checks.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "core/log.h"
#include "core/paths.h"
#include "engine/host_system.h"

namespace {

// Video drivers that open no window anyone can see.
const char* const UNSEEN_DRIVERS[] = {"offscreen", "dummy"};

// SDL_VIDEODRIVER may name several drivers, separated by commas.
bool driver_asked_for(const char* driver)
{
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    std::istringstream names(asked ? asked : "");
    for (std::string name; std::getline(names, name, ',');) {
        if (SDL_strcasecmp(name.c_str(), driver) == 0) return true;
    }
    return false;
}

// Whether SDL, unasked, chose a driver that shows nothing.
bool fell_back_to_an_unseen_driver()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    for (const char* unseen : UNSEEN_DRIVERS) {
        if (driver && std::strcmp(driver, unseen) == 0 && !driver_asked_for(unseen)) return true;
    }
    return false;
}

std::string cannot_open_display(const char* reason)
{
    return std::string("cannot open the display ") + host_desktop_name() + ": " +
           (*reason ? reason : "no display server answers there");
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
    return host_desktop_named(cause);
}

bool display_opens(std::string* cause)
{
    SDL_ClearError();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        *cause = cannot_open_display(SDL_GetError());
        return false;
    }
    if (!fell_back_to_an_unseen_driver()) return true;
    // SDL's error text is then whatever its search of drivers left behind,
    // nothing about the display: say it plainly.
    *cause = cannot_open_display("");
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    return false;
}

void report_start_failure(const std::string& cause, StartFailureBox box)
{
    std::string line = "snowbelter: cannot start: " + cause;
    std::fprintf(stderr, "%s\n", line.c_str());
    log_line(line.c_str());
    std::string ignored;
    if (box == StartFailureBox::offer && display_named(&ignored))
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Snowbelter", line.c_str(), nullptr);
}
