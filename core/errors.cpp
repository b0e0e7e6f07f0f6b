/*
 * errors.cpp - the run-time status, its texts, and the way out.
 *
 * Needs: nothing above the core; the shut-down itself is the engine's.
 */
#include "core/errors.h"

#include <cstdio>
#include <cstdlib>

RuntimeStatus runtime_status = {0, 0, 0};

namespace {

void (*shutdown_routine)() = nullptr;

const char* status_name(int code)
{
    switch (code) {
    case STATUS_SUCCESS: return "success";
    case STATUS_NO_SUCH_FILE: return "no such file";
    case STATUS_OUT_OF_MEMORY: return "out of memory";
    case STATUS_OUT_OF_BOUNDS: return "out of bounds";
    case STATUS_OUT_OF_DATA: return "out of data";
    default: return "unknown error";
    }
}

}   // namespace

int set_error(double code)
{
    runtime_status.status = static_cast<int>(code);
    runtime_status.error_line = runtime_status.current_line;
    return runtime_status.status;
}

StringValue status_text()
{
    char text[64];
    std::snprintf(text, sizeof text, "%.4d %s", runtime_status.status,
                  status_name(runtime_status.status));
    return StringValue(text);
}

void end_statement()
{
    set_error(STATUS_SUCCESS);
    end_program();
}

namespace {

[[noreturn]] void shut_down_and_exit(int exit_code)
{
    if (shutdown_routine) shutdown_routine();
    std::fflush(nullptr);
    std::exit(exit_code);
}

}   // namespace

void end_program()
{
    shut_down_and_exit(0);
}

void end_with_fault(int code, const char* what)
{
    set_error(code);
    std::fprintf(stderr, "snowbelter: run-time fault: %s (status %.4d)\n", what,
                 runtime_status.status);
    shut_down_and_exit(1);
}

void set_shutdown_routine(void (*routine)())
{
    shutdown_routine = routine;
}
