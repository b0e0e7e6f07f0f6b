/* Wav: the bytes of a 16-bit PCM mono RIFF WAVE file, the format the game's
   sound effect loader reads, and the writing of finished bytes to a file.
   Called by the sound set (soundset.h); it reads no WAV files. */
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Size of the header before the first sample: RIFF, "fmt " and "data".
constexpr std::size_t WAV_HEADER_SIZE = 44;

// A complete WAV file holding the samples, mono, at `rate` frames a second.
std::vector<std::uint8_t> wav_bytes(const std::vector<std::int16_t>& samples, int rate);

// Writes the bytes as the whole file; false if it cannot be written.
bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes);
