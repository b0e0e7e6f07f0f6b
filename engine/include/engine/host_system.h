/*
 * host_system.h - what the engine asks of the operating system beyond SDL.
 *
 * Owns the sources behind the platform query (machine id, battery, user
 * interface language, documents folder, local time, the GL library's own
 * entry points), whether a desktop is there to show a window on, and the
 * console that --help and --version print to.
 *
 * The build picks one implementation: host_system_posix.cpp (Linux and the
 * browser) or host_system_windows.cpp.
 *
 * Callers: platform.cpp, start_checks.cpp and runtime_main.  Not for: file
 * names and folders (core/host_files.h).
 */
#pragma once

#include <ctime>
#include <string>

// 8 upper-case hexadecimal digits that name this machine.
std::string host_machine_id();

// The battery's charge in percent, or 255 when there is no battery.
double host_battery_percent();

// The user's documents folder with "/" between folders; "" when none.
std::string host_documents_folder();

// The user interface language as a locale name ("de_DE.UTF-8", "de-DE").
std::string host_locale_name();

// Broken-down local time of when.
std::tm host_local_time(std::time_t when);

// Whether the GL library itself exports name (the core entry points do).
bool host_gl_library_exports(const char* name);

// Whether there is a desktop to open a window on; false with the cause.
bool host_desktop_named(std::string* cause);

// The name of the desktop, for messages ("(none)" when there is none).
std::string host_desktop_name();

// Makes stdout and stderr reach the console the program was started from
// (a Windows GUI program has none of its own); nothing elsewhere.
void host_attach_console();
