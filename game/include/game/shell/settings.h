/*
 * settings.h - the player's choices that last from one run to the next: the
 * language, the six key bindings, the music volume and the effects level,
 * window or full screen and the picture's fit, and the assists.
 *
 * They live in settings.ini in the game's config folder
 * ($XDG_CONFIG_HOME/snowbelter/, ~/.config/snowbelter/ when unset), read once
 * at start-up after the defaults are set and written whenever one of them
 * changes.  A missing file means the defaults; a value that cannot be used
 * keeps its default and says so in one log line; a file that cannot be
 * written leaves the old one whole, says why in one log line (once, however
 * many changes fail the same way) and on the Options screen.  Nothing of
 * it ever stops the game.
 *
 * Settings are off unless the program turns them on (the game's main does,
 * without --no-settings), so tests and replays always play the defaults.
 *
 * Callers: the program's main (enable_settings), start-up, the key screen,
 * the options screens and the volume and display switches (through hooks).  Not for: the bindings
 * themselves (game/play/world.h).
 */
#pragma once

#include <string>
#include <vector>

#include "core/folder_lock.h"
#include "game/play/assists.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "media/screen_picture.h"

// What the file holds; the bindings are scan codes in the order up, down,
// left, right, jump, pause.
struct SavedSettings {
    double keys[BINDING_COUNT];
    double music_volume;
    bool fullscreen;
    int effects = EFFECTS_LEVEL_FULL;
    PictureFit fit = PictureFit::whole_pixels;
    Assists assists = DEFAULT_ASSISTS;
    std::string language = {};   // a language's code, or "" to follow the system
};

// Turns reading and writing on for this run (unless --no-settings is given).
void enable_settings();
bool settings_enabled();

// While held, settings are off as if never enabled (nothing read or
// written, and no best results kept): a watched replay's session is not the
// player's.
void hold_settings(bool held);

// The full path of settings.ini; "" when there is no config folder.
std::string settings_path();

// Start-up: reads the file (when enabled and present).  Returns false when
// there was nothing to read; *saved then holds the defaults given.
bool read_settings(const SavedSettings& defaults, SavedSettings* saved);

// Writes the current language, bindings, volumes, display, fit and assists
// (when enabled).
void save_settings();

// Why the last change could not be kept (the Options say so in one line);
// none once one is.
StorageTrouble settings_trouble();

// The text of settings.ini for these values, and the values a text gives:
// every value that cannot be used keeps its default, with one complaint
// each (for the log).
std::string settings_text(const SavedSettings& settings);
SavedSettings settings_from_text(const std::string& text, const SavedSettings& defaults,
                                 std::vector<std::string>* complaints);
