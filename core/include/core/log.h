/*
 * log.h - the runtime's text log, "ErrorLog.txt" in the temporary folder
 * ("ErrorLog-2.txt" for a second copy of the game running at the same time,
 * and so on: see claim_instance_slot).
 *
 * One line per event ("Init GFX", "Init Finalized", "Shut down MRV", missing
 * devices...).  Writing is tried up to five times and then given up silently:
 * a log that cannot be written never stops the game.
 *
 * Callers: start-up, shut-down, the window, input and sound modules.
 */
#pragma once

#include <string>

// Deletes the log; start-up calls it first.
void log_delete();

// Appends text and "\r\n".
void log_line(const char* text);

// A line read from a player's file as the log may quote it: at most 40
// characters, anything unprintable as '?'.
std::string log_excerpt(const std::string& line);

// Full path of the log file (tests read it).
std::string log_path();
