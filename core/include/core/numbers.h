/*
 * numbers.h - the small numeric operations of the game: random numbers,
 * integer and floating remainders, trigonometry in degrees, and the safe
 * truncation of a double to a 32-bit integer.
 *
 * Random numbers come from one process-wide ISAAC generator (256-word
 * state).  seed_rnd(s) puts s in result word 0 and zeros in the other 255,
 * runs the reference initialisation with its flag set (including its closing
 * generation pass); every draw then runs one more generation pass and takes
 * result word 0.  The same seed therefore always gives the same stream.
 * Start-up seeds it from the millisecond clock; until then it behaves as
 * seeded with 0.
 *
 * Callers: the game and the runtime.  Not for: text conversions (values.h).
 */
#pragma once

#include <cstdint>

// Re-initialises the generator from a 32-bit seed.
void seed_rnd(uint32_t seed);
// The seed last given to seed_rnd (0 before any).
uint32_t rnd_seed();

// The generator's whole state, to be put back later: a watched replay plays
// on a seed of its own and hands the player's stream back where it was.
constexpr int RND_WORDS = 256;
struct RndState {
    uint32_t result[RND_WORDS];
    uint32_t memory[RND_WORDS];
    uint32_t a, b, c;
    uint32_t seed;
    bool seeded;
};
RndState rnd_state();
void set_rnd_state(const RndState& state);

// Random integer from 0 to n inclusive (word modulo n + 1); 0 without
// drawing when n is 0 or negative.
int32_t rnd(int32_t n);

// Truncating remainder with the sign of a; 0 when b is 0.
int32_t int_mod(int32_t a, int32_t b);

// C fmod; 0 when the divisor is 0.
double float_mod(double a, double b);

// Angles in degrees.
double sin_deg(double degrees);
double cos_deg(double degrees);
double tan_deg(double degrees);
double atan2_deg(double y, double x);
// 90 / -90 beyond the domain.
double asin_deg(double value);
// 0 / 180 beyond the domain.
double acos_deg(double value);

// Truncation toward zero, saturating at the 32-bit limits; NaN gives 0.
int32_t to_int(double value);
