/* Sound set: the game's five sound files and how each is made from its
   source in assets/sound — the three effects from .sfx recipes (recipe.h),
   the two tunes from .score files (score.h) — mixed by the synth (synth.h)
   and written as WAV (wav.h). Called by mksound's main and by the tests;
   the encoding of the tunes to MP3 and the packing into archives happen
   after it, in the build. */
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "score.h"

struct SoundSource {
    const char* source;   // file name in the asset folder
    const char* output;   // file name written to the output folder
};

// jump.sfx, pickup05.sfx, drop06.sfx, santa.score, filler.score and the
// WAV file each becomes.
const std::vector<SoundSource>& sound_sources();

// Effects peak about 3 dB below full scale; the tunes a little higher,
// still leaving room for the overshoot of MP3 encoding.
constexpr double EFFECT_PEAK = 0.7;
constexpr double TUNE_PEAK = 0.8;

struct RenderedSound {
    int rate = 0;
    std::vector<std::int16_t> samples;
};

// The whole text of a file; false if it cannot be read.
bool read_text_file(const std::string& path, std::string& text);

// The mix of a score, one play long: wrapped around for a loop, so that
// its end runs on into its start.
std::vector<double> score_mix(const Score& score);

// Renders one source file, a recipe or a score according to its ending.
// On a fault returns false with "PATH: what is wrong" in `error`.
bool render_sound_file(const std::string& path, RenderedSound& sound, std::string& error);

// Renders every source of `asset_dir` into a WAV file of `out_dir`, which
// is created if missing. Stops at the first fault and describes it.
bool build_sound_set(const std::string& out_dir, const std::string& asset_dir, std::string& error);
