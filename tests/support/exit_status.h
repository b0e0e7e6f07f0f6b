/*
 * exit_status.h - lets a death test see the run-time status end_program left.
 *
 * end_program always exits with code 0, so the status is the only trace of
 * why.  report_status_at_exit, called inside the death test's statement,
 * registers an exit handler that writes "[status N]" to stderr; the test then
 * matches it with status_pattern(N).
 */
#pragma once

#include <string>

void report_status_at_exit();

// Regular expression matching the line written for status code.
std::string status_pattern(int code);
