/*
 * first_pass.h - the replay's undrawn first pass, played in a process of
 * its own (the game ends its process when it ends).
 *
 * Linux forks (first_pass_posix.cpp); Windows cannot, and starts the runner
 * again with its own command line and FIRST_PASS_OPTION and a file to
 * report into (first_pass_windows.cpp).
 *
 * Callers: snowreplay.cpp.  Not for: what the pass reports (snowreplay).
 */
#pragma once

#include <string>

// The option that makes a runner the first pass of another: the file that
// follows it gets the report.
constexpr const char* FIRST_PASS_OPTION = "--first-pass-report";

// Plays the first pass in another process, which calls play_undrawn with a
// descriptor to write its report to, and ends with exit code 0 when it has.
// report receives what it wrote; false when the pass did not finish well.
bool run_first_pass(int argc, char** argv, void (*play_undrawn)(int report_fd),
                    std::string* report);
