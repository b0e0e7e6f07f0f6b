#include "wav.h"

#include <fstream>

namespace {

constexpr std::uint16_t PCM_FORMAT = 1;
constexpr std::uint16_t CHANNELS = 1;
constexpr std::uint16_t BITS = 16;
constexpr std::uint32_t FMT_CHUNK_SIZE = 16;

// WAV numbers are little-endian whatever the machine.
void put16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xff));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    put16(out, static_cast<std::uint16_t>(value & 0xffff));
    put16(out, static_cast<std::uint16_t>(value >> 16));
}

void put_tag(std::vector<std::uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

}   // namespace

std::vector<std::uint8_t> wav_bytes(const std::vector<std::int16_t>& samples, int rate)
{
    const std::uint16_t block = CHANNELS * BITS / 8;
    const auto data_size = static_cast<std::uint32_t>(samples.size() * block);
    std::vector<std::uint8_t> out;
    out.reserve(WAV_HEADER_SIZE + data_size);
    put_tag(out, "RIFF");
    put32(out, static_cast<std::uint32_t>(WAV_HEADER_SIZE - 8 + data_size));
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put32(out, FMT_CHUNK_SIZE);
    put16(out, PCM_FORMAT);
    put16(out, CHANNELS);
    put32(out, static_cast<std::uint32_t>(rate));
    put32(out, static_cast<std::uint32_t>(rate) * block);
    put16(out, block);
    put16(out, BITS);
    put_tag(out, "data");
    put32(out, data_size);
    for (std::int16_t sample : samples) put16(out, static_cast<std::uint16_t>(sample));
    return out;
}

bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}
