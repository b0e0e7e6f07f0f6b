/*
 * paths.h - where the runtime may read and write on this machine.
 *
 * Owns the user's private temporary folder (the log file and extracted music
 * live there), the program's own path and folder, the search for the game's
 * data folder, the slots that keep copies of the game running side by side
 * apart, and the safe way to create a file in the temporary folder.
 *
 * The temporary folder is $TMPDIR when set, else $XDG_RUNTIME_DIR/snowbelter,
 * else /tmp/snowbelter-<uid>; the last two are created with mode 0700 and
 * refused when another user owns them.  /tmp itself is shared by every user,
 * so files there are always created without following links.
 *
 * Callers: log.h, the archive extractor, the engine's start-up and shut-down.
 */
#pragma once

#include <string>
#include <vector>

// The temporary folder, ending in "/".  Empty when none could be made.
const std::string& temp_folder();

// Forgets the cached folder so the next call looks again (tests change TMPDIR).
void reset_temp_folder();

// Full path of the running program (from /proc/self/exe), and its folder
// ending in "/".
const std::string& exe_path();
std::string exe_folder();

// The folders that may hold the game's data (its media/ folder), in the
// order they are tried: chosen (the command line's, when not empty), the
// program's folder, the install's data folder next to the program
// (../share/snowbelter from bin/, ../share/games/snowbelter from games/),
// $XDG_DATA_HOME/snowbelter (~/.local/share when unset) and each folder of
// $XDG_DATA_DIRS (/usr/local/share:/usr/share when unset) + /snowbelter.
// Every folder ends in "/".
std::vector<std::string> data_folder_candidates(const std::string& chosen);

// The first folder that holds the file marker (a relative name), or "".
std::string first_folder_holding(const std::vector<std::string>& folders, const char* marker);

// The folder the game reads its data from and works in: the program's folder
// until start-up has found the data.  Media names ("media/gfx.sbx") are
// relative to it.
void set_data_folder(const std::string& folder);
std::string data_folder();

// Makes the data folder the working directory; false when it cannot.
bool enter_data_folder();

// The game's folder for the player's own files (screenshots when the
// program's folder is not writable): $XDG_DATA_HOME/snowbelter/
// ($HOME/.local/share/snowbelter/ when unset); "" when neither is set.
std::string user_data_folder();

// Whether this process may create files in folder.
bool folder_writable(const std::string& folder);

// The game's folder for the player's settings: $XDG_CONFIG_HOME/snowbelter/
// ($HOME/.config/snowbelter/ when unset); "" when neither is set.
std::string config_folder();

// Copies of the game that one user runs at the same time each hold a slot,
// numbered from 1, for as long as they run: the log and the extracted files
// of slot n carry n in their names (slot 1 keeps the plain names), so no copy
// ever deletes or overwrites another's.  Claims the lowest free slot (a lock
// on "instance-n.lock" in the temporary folder) once and returns it; 1 when
// there is no temporary folder.
int claim_instance_slot();
int instance_slot();

// name for slot 1; the name with "-n" before its last dot for slot n.
std::string name_for_instance(const std::string& name);

// Opens path for writing without following a symbolic link at its last
// component.  truncate: start empty; otherwise append.  Returns an fd or -1.
int open_file_nofollow(const std::string& path, bool truncate);
