// Assists as a failing expectation prints them.
#include "support/print_assists.h"

void PrintTo(const Assists& rules, std::ostream* out)
{
    *out << "{speed " << rules.speed << ", time_limit " << rules.time_limit << ", lives "
         << rules.lives << ", safe_falls " << (rules.safe_falls ? "yes" : "no") << "}";
}
