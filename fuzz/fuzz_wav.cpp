/*
 * fuzz_wav.cpp - sound effects as load_sound reads them: a memory name
 * resolved through the general archive, the WAV reader, and the conversion
 * of its samples to the mixer's format, on SDL's silent driver.
 */
#include <cstdio>
#include <cstdlib>

#include "fuzz_support.h"
#include "media/sound.h"
#include "media/wav.h"

namespace {

constexpr int SLOT = 1;

// What the reader says must lie within the bytes and fit its own format.
void check_reading(const std::uint8_t* data, std::size_t size)
{
    WavSound wav;
    if (!parse_wav(data, size, &wav)) return;
    const bool inside = wav.data_offset <= size && wav.data_size <= size - wav.data_offset;
    const bool whole = wav.data_size > 0 && wav.data_size % std::size_t(wav.block_align) == 0;
    if (inside && whole && wav.block_align == wav.channels * wav.bits_per_sample / 8) return;
    std::fprintf(stderr, "WAV reading is wrong: data at %zu, %zu bytes, frames of %d\n",
                 wav.data_offset, wav.data_size, wav.block_align);
    std::abort();
}

void load(const std::uint8_t* data, std::size_t size)
{
    check_reading(data, size);
    InputBlock input(data, size);
    load_sound(input.name.c_str(), SLOT, 1);
}

}   // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    use_private_temp_folder();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    sound_init();
    // As the game's shut-down does: the last sound loaded is released before
    // the process ends, so the leak check at exit sees only real leaks.
    std::atexit(sound_shutdown);
    return 0;
}

SNOW_FUZZ_TARGET(load)
