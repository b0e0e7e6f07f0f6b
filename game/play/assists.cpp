// The rules in force, and whether any is eased.
#include "game/play/assists.h"

#include "core/clock.h"
#include "game/play/world.h"

namespace {

constexpr double FULL_SPEED_FPS = 60;
constexpr double PERCENT = 100;

}   // namespace

Assists assists = DEFAULT_ASSISTS;

bool operator==(const Assists& a, const Assists& b)
{
    return a.speed == b.speed && a.time_limit == b.time_limit && a.lives == b.lives &&
           a.safe_falls == b.safe_falls;
}

bool operator!=(const Assists& a, const Assists& b)
{
    return !(a == b);
}

bool assists_on(const Assists& rules)
{
    return rules != DEFAULT_ASSISTS;
}

double frames_per_second(const Assists& rules)
{
    return FULL_SPEED_FPS * rules.speed / PERCENT;
}

void apply_game_speed()
{
    limit_fps(frames_per_second(assists));
}

// An unlimited count or clock shows the default's value and is never used up.
double lives_at_start(const Assists& rules)
{
    return rules.lives == LIVES_UNLIMITED ? LIVES_AT_START : rules.lives;
}

double seconds_at_start(const Assists& rules)
{
    return rules.time_limit == TIME_LIMIT_NONE ? SECONDS_PER_ROUND : rules.time_limit;
}
