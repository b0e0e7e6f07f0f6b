#include "support/exit_status.h"

#include <cstdio>
#include <cstdlib>
#include <string>

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

std::string fault_pattern(int code)
{
    char number[16];
    std::snprintf(number, sizeof number, "%.4d", code);
    return std::string("(^|\n)snowbelter: run-time fault: [^\n]+ \\(status ") + number + "\\)\n" +
           status_pattern(code) + "\n";
}
