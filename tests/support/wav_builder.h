/*
 * wav_builder.h - RIFF/WAVE files made in memory for the sound and music
 * tests, well-formed or deliberately broken.
 *
 * A file is a list of chunks; wav_file wraps them in the RIFF header.
 * Callers: test_sound.cpp, test_music.cpp.  Not for: production code.
 */
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

struct WavChunk {
    std::string id;   // four characters
    Bytes body;
    std::int64_t declared_size = -1;   // -1: the body's real size
};

// The 16 bytes of a "fmt " body (plus extra zero bytes when asked).
Bytes fmt_body(int format_tag, int channels, std::uint32_t rate, int block_align, int bits,
               int extra_bytes = 0);

// "RIFF" + size + "WAVE" + each chunk (id, size, body, pad byte when odd).
Bytes wav_file(const std::vector<WavChunk>& chunks);

// A plain PCM file of frames sample frames of silence.
Bytes silent_wav(int channels, int rate, int bits, std::size_t frames);

// Writes bytes to path.
void write_wav(const std::string& path, const Bytes& bytes);
