/*
 * wav.h - the WAV reader for sound effects.
 *
 * Reads a RIFF/WAVE file held in memory: the "fmt " chunk, then the "data"
 * chunk after it, skipping every other chunk.  The result describes PCM
 * samples as the sound buffer is made from them: one channel, or two when
 * the file has more than one, 8 or 16 bits, the file's rate.  The format
 * tag is not consulted (every file is taken as PCM).
 *
 * Hostile input is refused, never read past: a missing or truncated header,
 * a chunk running past the end of the bytes, zero channels or rate, a sample
 * size other than 8 or 16 bits, a block size that does not fit the channels
 * and bits, or an empty data chunk.
 *
 * Callers: sound.cpp (load_sound), tests.  Not for: resampling or playing
 * (sound.h), music files (music.h).
 */
#pragma once

#include <cstddef>
#include <cstdint>

struct WavSound {
    int channels;              // 1 or 2
    int sample_rate;           // samples per second
    int bits_per_sample;       // 8 (unsigned) or 16 (signed, little-endian)
    int block_align;           // bytes per sample frame: channels x bits / 8
    std::size_t data_offset;   // where the samples start within the bytes
    std::size_t data_size;     // whole sample frames only
};

// Lowest and highest sample rates a sound buffer takes.
constexpr int WAV_MIN_RATE = 100;
constexpr int WAV_MAX_RATE = 200000;

// True with *out filled when bytes[0..size) hold a usable WAV file.
bool parse_wav(const std::uint8_t* bytes, std::size_t size, WavSound* out);
