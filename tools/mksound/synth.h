/* Synth: the chiptune sound engine of mksound.
   Owns the oscillators (pulse, triangle, sine, noise, metal), the note
   envelope, the mixer that sums tones into one mono buffer, and the final
   scaling to 16-bit PCM. The recipe reader (recipe.h) and the score reader
   (score.h) describe sounds as lists of Tone; the sound set (soundset.h)
   mixes them here. It reads no files and knows no notation. */
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class Wave {
    Pulse,      // square with a variable duty cycle, band-limited edges
    Triangle,   // soft, for basses
    Sine,       // pure, for chimes and shimmer
    Noise,      // random level held for one cycle of the tone's frequency
    Metal       // product of three detuned squares: bells, cymbals
};

// Level over a tone's life: rises from 0 to 1 in `attack`, falls to
// `sustain` in `decay`, holds until the tone is let go, then falls to 0 in
// `release`. Times in seconds.
struct Envelope {
    double attack = 0.005;
    double decay = 0.0;
    double sustain = 1.0;
    double release = 0.02;
};

// One sounding event of the mix.
struct Tone {
    Wave wave = Wave::Pulse;
    double start = 0.0;       // seconds from the start of the mix
    double hold = 0.1;        // seconds from the start until it is let go
    double freq_from = 440;   // Hz at the start ...
    double freq_to = 440;     // ... and at the let-go, gliding exponentially
    double duty = 0.5;        // pulse: fraction of a cycle spent high
    double volume = 0.5;      // peak amplitude, full scale = 1
    Envelope env;
    double vibrato_rate = 0;    // Hz
    double vibrato_depth = 0;   // fraction of the frequency
    std::uint32_t seed = 1;     // noise: the same seed gives the same noise
};

// Seconds from the start of the mix until the tone has fully died away.
double tone_end(const Tone& tone);

// Frames needed to hold every tone to its end.
std::size_t tones_frames(const std::vector<Tone>& tones, int rate);

// Sums the tones into `frames` samples. With `wrap`, a tone that sounds past
// the end continues at the start, so the buffer repeats without a seam;
// without it, whatever sounds past the end is cut.
std::vector<double> mix_tones(const std::vector<Tone>& tones, int rate, std::size_t frames,
                              bool wrap);

// Scales the mix so that its largest magnitude becomes `peak` of full scale
// (0 < peak < 1) and rounds to 16 bits. A silent mix stays silent.
std::vector<std::int16_t> to_pcm16(const std::vector<double>& mix, double peak);
