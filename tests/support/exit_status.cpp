#include "support/exit_status.h"

#include <cstdio>
#include <cstdlib>

#include "core/errors.h"

namespace {
void write_status()
{
    std::fprintf(stderr, "[status %d]\n", runtime_status.status);
}
}   // namespace

void report_status_at_exit()
{
    std::atexit(write_status);
}

std::string status_pattern(int code)
{
    return "\\[status " + std::to_string(code) + "\\]";
}
