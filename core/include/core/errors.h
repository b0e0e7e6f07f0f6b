/*
 * errors.h - the process-wide run-time status and the one way out.
 *
 * Owns RuntimeStatus (status code, error line, current line) and the two
 * ways out every exit path takes: end_program for the game's END, the
 * window's close box, Alt+F4 and the quit keys of show_screen (silent, exit
 * code 0), and end_with_fault for a fatal fault in a runtime operation (one
 * line on stderr naming the fault, exit code 1).  Both shut down the same
 * way.
 *
 * The core cannot know what the layers above it started, so the engine hands
 * the way out its shut-down routine at start-up (set_shutdown_routine).
 *
 * Callers: every runtime module that fails (files, arrays, data blocks,
 * loaders), the frame cycle, and the game.  Not for: logging (log.h) or
 * reporting anything to the player.
 */
#pragma once

#include "core/values.h"   // StringValue, the text type of status_text

// Status codes the runtime sets.
enum : int {
    STATUS_SUCCESS = 0,
    STATUS_NO_SUCH_FILE = 3,
    STATUS_OUT_OF_MEMORY = 7,
    STATUS_BAD_LIST_CHANGE = 8,
    STATUS_OUT_OF_BOUNDS = 9,
    STATUS_OUT_OF_DATA = 20,
};

struct RuntimeStatus {
    int status;
    int error_line;
    int current_line;
};

extern RuntimeStatus runtime_status;

// status := code truncated toward zero; error line := current line.
int set_error(double code);

// "%.4d %s": '0003 no such file'.
StringValue status_text();

// status := 0, then end_program.
[[noreturn]] void end_statement();

// Runs the shut-down routine, flushes every stream and exits with code 0.
[[noreturn]] void end_program();

// A fault the program cannot go on after: sets the status to code, writes
// "snowbelter: run-time fault: WHAT (status NNNN)" on stderr, then ends as
// end_program does but with exit code 1.
[[noreturn]] void end_with_fault(int code, const char* what);

// What both ways out run before the process exits (null: nothing).  The
// engine's start-up installs the game's quit entry and the runtime's
// shut-down here.
void set_shutdown_routine(void (*routine)());
