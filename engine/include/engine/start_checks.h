/*
 * start_checks.h - what must hold before the game opens its window, and how
 * a start that cannot go on is reported.
 *
 * The game needs its data (a folder holding media/gfx.sbx) and a display
 * that answers.  Without either it says so at once and ends with exit code
 * 1, instead of running invisibly or without pictures.
 *
 * Callers: runtime_main.  Not for: damaged or partial media, with which the
 * game runs on (empty pictures, silence).
 */
#pragma once

#include <string>

// The data file whose folder is the game's data folder.
constexpr const char* GAME_DATA_MARKER = "media/gfx.sbx";

// Looks for the data folder (data_dir first when not empty, then the usual
// places) and makes it the runtime's data folder.  False with a one-line
// cause naming every folder searched.
bool find_game_data(const std::string& data_dir, std::string* cause);

// True when a display is named (DISPLAY or WAYLAND_DISPLAY) or the player
// asked SDL for a video driver; else false with the cause.  SDL would fall
// back to an off-screen window nobody can see.
bool display_named(std::string* cause);

// Starts SDL's video and takes the driver SDL chose.  False with the cause
// ("cannot open the display :9: why") when that fails, or when SDL fell back
// to a driver that shows nothing ("offscreen", "dummy") that SDL_VIDEODRIVER
// did not name: the display named does not answer.  Video is then shut again.
bool display_opens(std::string* cause);

// "snowbelter: cannot start: <cause>" on stderr and in the log, and in a
// message box when one can show (a display is named and answers).
enum class StartFailureBox {
    offer,
    none
};
void report_start_failure(const std::string& cause, StartFailureBox box = StartFailureBox::offer);
