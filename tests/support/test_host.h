/*
 * test_host.h - what the tests' support asks of the operating system.
 *
 * Owns making a fresh folder for a test, setting environment variables,
 * the process id, and which variable moves the runtime's temporary folder.
 * The build picks test_host_posix.cpp or test_host_windows.cpp.
 *
 * Callers: harness.cpp, scratch_folder.cpp, quiet_environment.cpp and the
 * replay runner.  Not for: the runtime's own files (core/host_files.h).
 */
#pragma once

#include <string>

// A new empty folder under the system's temporary folder, ending in "/";
// "" when none could be made.
std::string make_test_folder();

// Sets name to value (replacing an old value only when replace is true);
// a null value removes the variable.
void set_environment(const char* name, const char* value, bool replace = true);

int test_process_id();

// The variable that points the runtime's temporary folder elsewhere.
extern const char* const TEMP_FOLDER_VARIABLE;

// The runtime's temporary folder when TEMP_FOLDER_VARIABLE names folder
// (Windows keeps the game's files in a folder of their own below it).
std::string runtime_temp_folder_in(const std::string& folder);
