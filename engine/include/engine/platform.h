/*
 * platform.h - questions about the machine and the build, answered as text.
 *
 * Owns platform_info and the Linux sources behind its answers: the device
 * kind, local time, battery charge, build time, machine and host ids, the
 * user interface language, the documents folder and GL entry points.
 *
 * Callers: the game's start-up asks "device" to choose between the desktop
 * set-up and a small window.  Not for: the program's own folders (paths.h)
 * or window and context details (window.h).
 */
#pragma once

#include <ctime>
#include <string>

#include "core/values.h"

// The answer for key.  The key is upper-cased in place (ASCII a to z only)
// and then compared exactly; "GLEXT:" is a prefix whose rest is looked up
// with the case it had before.  Keys that match nothing give "NO_DATA".
// Never sets the run-time status.
StringValue platform_info(StringValue& key);

// "year-mm-dd hh:mm:ss" of a broken-down local time ("TIME").
StringValue local_time_text(const std::tm& parts);

// The charge of the first battery found under a power supply folder laid
// out as /sys/class/power_supply is, or 255 when there is none ("BATTERY").
double battery_percent_in(const std::string& power_supply_folder);

// A locale name such as "de_DE.UTF-8" as the game's two-letter language
// code: lower case, with the historic renamings, "us" when unsure ("LOCALE").
StringValue language_code_for(const char* locale_name);
