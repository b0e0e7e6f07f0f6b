/*
 * exit_status.h - lets a death test see the run-time status the program
 * ended with.
 *
 * report_status_at_exit, called inside the death test's statement,
 * registers an exit handler that writes "[status N]" to stderr; the test then
 * matches it with status_pattern(N) after a normal end (exit code 0), or with
 * fault_pattern(N) after a fault (exit code 1).
 */
#pragma once

#include <string>

void report_status_at_exit();

// Regular expression matching the line written for status code.
std::string status_pattern(int code);

// Regular expression matching the one line of a run-time fault of status
// code, followed at once by status_pattern(code): nothing came between.
std::string fault_pattern(int code);
