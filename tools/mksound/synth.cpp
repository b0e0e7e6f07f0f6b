#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;

// Frequency ratios of the three squares of the metal wave: far from any
// harmonic series, so their product rings like struck metal.
constexpr double METAL_RATIOS[3] = {1.0, 1.4837, 1.9571};

double fraction(double x)
{
    return x - std::floor(x);
}

// Smooths a jump of a naive square over the two samples around it
// (polynomial band-limited step), so high notes do not alias into hiss.
double blep(double phase, double step)
{
    if (phase < step) {
        double t = phase / step;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - step) {
        double t = (phase - 1.0) / step;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// The pulse is shifted by its mean so that narrow duties carry no DC,
// which would otherwise thump as the envelope moves.
double pulse(double phase, double step, double duty)
{
    double naive = phase < duty ? 1.0 : -1.0;
    double smoothed = naive + blep(phase, step) - blep(fraction(phase + 1.0 - duty), step);
    return smoothed - (2.0 * duty - 1.0);
}

// Starts at 0 rising, like the sine, so a note with no attack does not click.
double triangle(double phase)
{
    return 1.0 - 4.0 * std::fabs(fraction(phase + 0.25) - 0.5);
}

double metal(double cycles)
{
    double product = 1.0;
    for (double ratio : METAL_RATIOS) product *= fraction(cycles * ratio) < 0.5 ? 1.0 : -1.0;
    return product;
}

// xorshift32: a fixed, portable random sequence per seed.
std::uint32_t next_random(std::uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

double random_level(std::uint32_t& state)
{
    return (next_random(state) & 0xffff) / 32767.5 - 1.0;
}

double envelope_level(const Envelope& env, double held, double t)
{
    auto level_at = [&env](double time) {
        if (time < env.attack) return time / env.attack;
        double into_decay = time - env.attack;
        if (into_decay >= env.decay) return env.sustain;
        double left = 1.0 - into_decay / env.decay;
        return env.sustain + (1.0 - env.sustain) * left * left;
    };
    if (t < held) return level_at(t);
    double released = t - held;
    if (released >= env.release) return 0.0;
    return level_at(held) * (1.0 - released / env.release);
}

double frequency_at(const Tone& tone, double t)
{
    double glide = tone.hold > 0.0 ? std::min(t / tone.hold, 1.0) : 1.0;
    double freq = tone.freq_from;
    if (tone.freq_to != tone.freq_from) freq *= std::pow(tone.freq_to / tone.freq_from, glide);
    if (tone.vibrato_depth != 0.0)
        freq *= 1.0 + tone.vibrato_depth * std::sin(2.0 * PI * tone.vibrato_rate * t);
    return freq;
}

// Renders one tone sample by sample into the mix, starting at its own
// phase 0, so the same tone sounds the same wherever it is placed.
void add_tone(std::vector<double>& mix, int rate, const Tone& tone, bool wrap)
{
    const long long frames = static_cast<long long>(mix.size());
    if (frames == 0) return;
    const long long first = std::llround(tone.start * rate);
    const long long count =
        static_cast<long long>(std::ceil((tone.hold + tone.env.release) * rate));
    std::uint32_t noise_state = tone.seed ? tone.seed : 1;
    double noise = random_level(noise_state);
    double cycles = 0.0;
    for (long long i = 0; i < count; ++i) {
        long long at = first + i;
        if (wrap)
            at = ((at % frames) + frames) % frames;
        else if (at < 0)
            continue;
        else if (at >= frames)
            break;
        const double t = static_cast<double>(i) / rate;
        const double step = frequency_at(tone, t) / rate;
        const double phase = fraction(cycles);
        double value = 0.0;
        switch (tone.wave) {
        case Wave::Pulse: value = pulse(phase, step, tone.duty); break;
        case Wave::Triangle: value = triangle(phase); break;
        case Wave::Sine: value = std::sin(2.0 * PI * phase); break;
        case Wave::Noise: value = noise; break;
        case Wave::Metal: value = metal(cycles); break;
        }
        mix[at] += tone.volume * envelope_level(tone.env, tone.hold, t) * value;
        const double next = cycles + step;
        if (std::floor(next) != std::floor(cycles)) noise = random_level(noise_state);
        cycles = next;
    }
}

}   // namespace

double tone_end(const Tone& tone)
{
    return tone.start + tone.hold + tone.env.release;
}

std::size_t tones_frames(const std::vector<Tone>& tones, int rate)
{
    double end = 0.0;
    for (const Tone& tone : tones) end = std::max(end, tone_end(tone));
    return static_cast<std::size_t>(std::ceil(end * rate));
}

std::vector<double> mix_tones(const std::vector<Tone>& tones, int rate, std::size_t frames,
                              bool wrap)
{
    std::vector<double> mix(frames, 0.0);
    for (const Tone& tone : tones) add_tone(mix, rate, tone, wrap);
    return mix;
}

std::vector<std::int16_t> to_pcm16(const std::vector<double>& mix, double peak)
{
    double largest = 0.0;
    for (double v : mix) largest = std::max(largest, std::fabs(v));
    const double gain = largest > 0.0 ? peak * 32767.0 / largest : 0.0;
    std::vector<std::int16_t> pcm(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i)
        pcm[i] = static_cast<std::int16_t>(std::lround(mix[i] * gain));
    return pcm;
}
