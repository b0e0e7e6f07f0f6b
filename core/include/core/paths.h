/*
 * paths.h - where the runtime may read and write on this machine.
 *
 * Owns the user's private temporary folder (the log file and extracted music
 * live there), the program's own path and folder, and the safe way to create
 * a file in the temporary folder.
 *
 * The temporary folder is $TMPDIR when set, else $XDG_RUNTIME_DIR/snowbelter,
 * else /tmp/snowbelter-<uid>; the last two are created with mode 0700 and
 * refused when another user owns them.  /tmp itself is shared by every user,
 * so files there are always created without following links.
 *
 * Callers: log.h, the archive extractor, the frame cycle's start-up.
 */
#pragma once

#include <string>

// The temporary folder, ending in "/".  Empty when none could be made.
const std::string& temp_folder();

// Forgets the cached folder so the next call looks again (tests change TMPDIR).
void reset_temp_folder();

// Full path of the running program (from /proc/self/exe), and its folder
// ending in "/".
const std::string& exe_path();
std::string exe_folder();

// Makes the program's folder the working directory; false when it cannot.
bool enter_exe_folder();

// Opens path for writing without following a symbolic link at its last
// component.  truncate: start empty; otherwise append.  Returns an fd or -1.
int open_file_nofollow(const std::string& path, bool truncate);
