// The rules in force, and whether any is eased.
#include "game/play/assists.h"

Assists assists = DEFAULT_ASSISTS;

bool assists_on(const Assists& rules)
{
    return rules.speed != DEFAULT_ASSISTS.speed || rules.time_limit != DEFAULT_ASSISTS.time_limit ||
           rules.lives != DEFAULT_ASSISTS.lives || rules.safe_falls != DEFAULT_ASSISTS.safe_falls;
}
