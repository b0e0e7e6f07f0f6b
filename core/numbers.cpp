// Random numbers (ISAAC), remainders, degree trigonometry, truncation.
#include "core/numbers.h"

#include <cmath>

namespace {

const int ISAAC_WORDS = RND_WORDS;
const uint32_t GOLDEN_RATIO = 0x9e3779b9u;
const double RADIANS_PER_DEGREE = 0.017453292519943295;
const double DEGREES_PER_RADIAN = 57.29577951308232;

// The generator's whole state: result words, memory, the three counters,
// and the seed it was last given.
using Isaac = RndState;

Isaac generator = {};

// One step of the generation pass: m is the memory word being replaced, the
// word half the table away feeds the accumulator.
void isaac_step(Isaac& g, int i, uint32_t mixed)
{
    uint32_t* mem = g.memory;
    uint32_t x = mem[i];
    g.a = mixed + mem[(i + ISAAC_WORDS / 2) % ISAAC_WORDS];
    uint32_t y = mem[(x >> 2) % ISAAC_WORDS] + g.a + g.b;
    mem[i] = y;
    g.b = mem[(y >> 10) % ISAAC_WORDS] + x;
    g.result[i] = g.b;
}

// One full generation pass over the 256 words.
void isaac_generate(Isaac& g)
{
    g.c += 1;
    g.b += g.c;
    for (int i = 0; i < ISAAC_WORDS; i += 4) {
        isaac_step(g, i, g.a ^ (g.a << 13));
        isaac_step(g, i + 1, g.a ^ (g.a >> 6));
        isaac_step(g, i + 2, g.a ^ (g.a << 2));
        isaac_step(g, i + 3, g.a ^ (g.a >> 16));
    }
}

void isaac_mix(uint32_t s[8])
{
    s[0] ^= s[1] << 11;
    s[3] += s[0];
    s[1] += s[2];
    s[1] ^= s[2] >> 2;
    s[4] += s[1];
    s[2] += s[3];
    s[2] ^= s[3] << 8;
    s[5] += s[2];
    s[3] += s[4];
    s[3] ^= s[4] >> 16;
    s[6] += s[3];
    s[4] += s[5];
    s[4] ^= s[5] << 10;
    s[7] += s[4];
    s[5] += s[6];
    s[5] ^= s[6] >> 4;
    s[0] += s[5];
    s[6] += s[7];
    s[6] ^= s[7] << 8;
    s[1] += s[6];
    s[7] += s[0];
    s[7] ^= s[0] >> 9;
    s[2] += s[7];
    s[0] += s[1];
}

// One initialisation pass: add eight source words at a time, mix, store.
void isaac_scramble(uint32_t s[8], const uint32_t* source, uint32_t* memory)
{
    for (int i = 0; i < ISAAC_WORDS; i += 8) {
        for (int k = 0; k < 8; ++k) s[k] += source[i + k];
        isaac_mix(s);
        for (int k = 0; k < 8; ++k) memory[i + k] = s[k];
    }
}

// The reference initialisation with its flag set: the result words are the
// seed material; it ends with one generation pass.
void isaac_init(Isaac& g)
{
    g.a = g.b = g.c = 0;
    uint32_t s[8];
    for (uint32_t& word : s) word = GOLDEN_RATIO;
    for (int i = 0; i < 4; ++i) isaac_mix(s);
    isaac_scramble(s, g.result, g.memory);
    isaac_scramble(s, g.memory, g.memory);
    isaac_generate(g);
}

uint32_t draw_word()
{
    if (!generator.seeded) seed_rnd(0);
    isaac_generate(generator);
    return generator.result[0];
}

}   // namespace

uint32_t rnd_seed()
{
    return generator.seed;
}

void seed_rnd(uint32_t seed)
{
    for (uint32_t& word : generator.result) word = 0;
    generator.result[0] = seed;
    isaac_init(generator);
    generator.seed = seed;
    generator.seeded = true;
}

RndState rnd_state()
{
    return generator;
}

void set_rnd_state(const RndState& state)
{
    generator = state;
}

int32_t rnd(int32_t n)
{
    if (n <= 0) return 0;
    uint32_t range = static_cast<uint32_t>(n) + 1;
    return static_cast<int32_t>(draw_word() % range);
}

int32_t int_mod(int32_t a, int32_t b)
{
    // b == -1 always leaves 0, and would trap for the smallest a.
    if (b == 0 || b == -1) return 0;
    return a % b;
}

double float_mod(double a, double b)
{
    return b == 0 ? 0 : std::fmod(a, b);
}

double sin_deg(double degrees)
{
    return std::sin(degrees * RADIANS_PER_DEGREE);
}
double cos_deg(double degrees)
{
    return std::cos(degrees * RADIANS_PER_DEGREE);
}
double tan_deg(double degrees)
{
    return std::tan(degrees * RADIANS_PER_DEGREE);
}
double atan2_deg(double y, double x)
{
    return std::atan2(y, x) * DEGREES_PER_RADIAN;
}

double asin_deg(double value)
{
    if (value >= 1) return 90;
    if (value <= -1) return -90;
    return std::asin(value) * DEGREES_PER_RADIAN;
}

double acos_deg(double value)
{
    if (value >= 1) return 0;
    if (value <= -1) return 180;
    return std::acos(value) * DEGREES_PER_RADIAN;
}

int32_t to_int(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}
