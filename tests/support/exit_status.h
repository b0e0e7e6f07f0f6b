/*
 * exit_status.h - lets a death test see the run-time status the program
 * ended with.
 *
 * report_status_at_exit, called inside the death test's statement,
 * registers an exit handler that writes "[status N]" to stderr; the test then
 * matches it with status_pattern(N) after a normal end (exit code 0), or with
 * fault_pattern(N) after a fault (exit code 1).  EXPECT_RUNTIME_FAULT puts
 * the two together for a statement that must end the program as a fault.
 */
#pragma once

#include <string>

void report_status_at_exit();

// Regular expression matching the line written for status code.
std::string status_pattern(int code);

// Regular expression matching the one line of a run-time fault of status
// code, followed at once by status_pattern(code): nothing came between.
std::string fault_pattern(int code);

// Expects statement to end the program as a run-time fault of status code:
// exit code 1 and the fault's line on stderr (for test files that use gtest).
#define EXPECT_RUNTIME_FAULT(statement, code)                                                      \
    EXPECT_EXIT(                                                                                   \
        {                                                                                          \
            report_status_at_exit();                                                               \
            statement;                                                                             \
        },                                                                                         \
        ::testing::ExitedWithCode(1), fault_pattern(code))
