/*
 * options.h - the command line the player started the game with.
 *
 * Owns the one parse of the command line, the options it found and the usage
 * text.  Options are GNU style ("--name" and "--name VALUE"); anything else
 * is refused, so a typo never starts the game full screen.
 *
 * Callers: runtime_main (parses once, before anything starts), the engine's
 * start-up (where to look for the game's data).  Not for: the game's own
 * settings that last between runs.
 */
#pragma once

#include <string>

// --window or --fullscreen; the last one given counts.
enum class DisplayChoice {
    unset,
    window,
    fullscreen
};

struct Options {
    bool show_help = false;
    bool show_version = false;
    std::string data_dir;   // --data-dir: the folder that holds media/; "" when not given
    DisplayChoice display = DisplayChoice::unset;
    bool no_settings = false;   // --no-settings: defaults only, nothing written
    std::string record;         // --record FILE: write the session as a replay script
    std::string play;           // --play FILE: play a replay script, then hand over
    std::string trace;          // --trace FILE: write the state of every frame as CSV
    std::string watch;          // --watch LINK-OR-FILE: watch a shared run, then the menu
};

// Parses argv[1] .. argv[argc - 1] into *options (defaults first).  False
// with a one-line reason in *error for an unknown option or a missing value.
bool parse_options(int argc, char** argv, Options* options, std::string* error);

// The options of this run; the defaults until runtime_main has parsed them.
const Options& options();
void set_options(const Options& parsed);

// "snowbelter 1.0.0"
std::string version_line();

// The usage text, ending with a newline.
std::string usage_text();
