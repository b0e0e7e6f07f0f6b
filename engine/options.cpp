/*
 * options.cpp - the command line parser and the usage text.
 *
 * Needs: SNOWBELTER_VERSION from the build (the project's version).
 */
#include "engine/options.h"

#include <cstring>

namespace {

Options current_options;

// The options that take a value, and where each one's value goes.
struct ValueOption {
    const char* name;
    std::string Options::*value;
};
const ValueOption VALUE_OPTIONS[] = {
    {"--data-dir", &Options::data_dir}, {"--record", &Options::record}, {"--play", &Options::play},
    {"--trace", &Options::trace},       {"--watch", &Options::watch},
};

std::string* value_of(Options* options, const char* word)
{
    for (const ValueOption& option : VALUE_OPTIONS)
        if (std::strcmp(word, option.name) == 0) return &(options->*option.value);
    return nullptr;
}

// The value of an option that takes one: the next word, which must exist.
bool take_value(int argc, char** argv, int* index, std::string* value, std::string* error)
{
    const char* name = argv[*index];
    if (*index + 1 >= argc) {
        *error = std::string("option ") + name + " needs a value";
        return false;
    }
    *value = argv[++*index];
    return true;
}

}   // namespace

bool parse_options(int argc, char** argv, Options* options, std::string* error)
{
    *options = Options();
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        if (std::strcmp(word, "--help") == 0 || std::strcmp(word, "-h") == 0) {
            options->show_help = true;
        } else if (std::strcmp(word, "--version") == 0) {
            options->show_version = true;
        } else if (std::strcmp(word, "--window") == 0) {
            options->display = DisplayChoice::window;
        } else if (std::strcmp(word, "--fullscreen") == 0) {
            options->display = DisplayChoice::fullscreen;
        } else if (std::strcmp(word, "--no-settings") == 0) {
            options->no_settings = true;
        } else if (std::string* value = value_of(options, word)) {
            if (!take_value(argc, argv, &i, value, error)) return false;
        } else {
            *error = std::string("unknown option ") + word;
            return false;
        }
    }
    return true;
}

const Options& options()
{
    return current_options;
}

void set_options(const Options& parsed)
{
    current_options = parsed;
}

std::string version_line()
{
    return std::string("snowbelter ") + SNOWBELTER_VERSION;
}

std::string usage_text()
{
    return "Usage: snowbelter [OPTION]...\n"
           "Mend Santa's sleigh before midnight: a Christmas platform game.\n"
           "\n"
           "  --window         play in a window (remembered)\n"
           "  --fullscreen     play full screen (remembered; the default)\n"
           "  --no-settings    start with the default keys, volume and screen; save nothing\n"
           "  --record FILE    write this session as a replay script\n"
           "  --play FILE      play a replay script, then hand the keyboard back\n"
           "  --trace FILE     write the game's state at every frame as CSV\n"
           "  --watch LINK     watch a shared run's link (or a replay script's FILE)\n"
           "                   in the game, then play\n"
           "  --data-dir DIR   look for the game's media/ folder in DIR first\n"
           "  --help           show this help and exit\n"
           "  --version        show the version and exit\n"
           "\n"
           "Alt+Enter or F11 switches between window and full screen at any time.\n"
           "Settings: $XDG_CONFIG_HOME/snowbelter/settings.ini (~/.config when unset).\n"
           "Best rounds: $XDG_DATA_HOME/snowbelter/bests.txt (~/.local/share when unset).\n"
           "The log of each run is ErrorLog.txt in $TMPDIR, else in\n"
           "$XDG_RUNTIME_DIR/snowbelter, else in /tmp/snowbelter-<uid>.\n";
}
