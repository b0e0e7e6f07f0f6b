/*
 * assists.h - the rules a player may ease: game speed, the time limit, the
 * lives and safe falls.  With the defaults the game plays exactly as it
 * always has.
 *
 * The round and Santa read them; the Options screen and the settings file
 * set them in play, and a replay script's option lines set them while it
 * plays (never the settings file's values then).  Game speed changes only
 * how many frames are shown a second, never a step of the rules.
 *
 * Callers: the round, Santa, the finale's results, the shell's options,
 * settings, session and bests.  Not for: volumes or the picture's fit,
 * which never touch the rules.
 */
#pragma once

// Game speed in percent of 60 frames a second.
constexpr int SPEED_CHOICES[] = {100, 90, 80, 70, 60, 50};
// Time limits in seconds; TIME_LIMIT_NONE: the clock never runs out.
constexpr int TIME_LIMIT_NONE = 0;
constexpr int TIME_LIMIT_CHOICES[] = {300, 450, TIME_LIMIT_NONE};
// Lives at the start; LIVES_UNLIMITED: the count stays at 5 and is never used up.
constexpr int LIVES_UNLIMITED = 0;
constexpr int LIVES_CHOICES[] = {5, 9, LIVES_UNLIMITED};

struct Assists {
    int speed = 100;        // percent
    int time_limit = 300;   // seconds, or TIME_LIMIT_NONE
    int lives = 5;          // or LIVES_UNLIMITED
    bool safe_falls = false;
};
constexpr Assists DEFAULT_ASSISTS = {};

// The rules in force for this session.
extern Assists assists;

// Whether two sets of rules agree on every rule.
bool operator==(const Assists& a, const Assists& b);
bool operator!=(const Assists& a, const Assists& b);

// True when any rule differs from the default (the result is "Assisted").
bool assists_on(const Assists& rules);

// Frames a second at the rules' game speed: 60 at 100 %, 30 at 50 %.
double frames_per_second(const Assists& rules);
// Caps the frame rate at the game speed of `assists`; every step of the
// game stays as it is at 100 %, only fewer of them are shown a second.
void apply_game_speed();

// A round's lives and clock seconds at its start under the rules.
double lives_at_start(const Assists& rules);
double seconds_at_start(const Assists& rules);
