/*
 * wav.cpp - RIFF/WAVE chunks, read with every size checked against the end.
 *
 * Needs: nothing but the bytes.
 */
#include "media/wav.h"

#include <cstring>

namespace {

const std::size_t RIFF_HEADER_SIZE = 12;   // "RIFF", size, "WAVE"
const std::size_t CHUNK_HEADER_SIZE = 8;   // id, size
const std::size_t FMT_FIELDS_SIZE = 16;

std::uint32_t read_u32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

int read_u16(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8);
}

struct Chunk {
    std::size_t body;   // offset of the chunk's contents
    std::size_t size;
};

// Finds the next chunk called id at or after *at, skipping others; moves
// *at past the found chunk.  Chunks of odd size carry one pad byte.  False
// when a header or a body would run past the end.
bool find_chunk(const std::uint8_t* bytes, std::size_t size, std::size_t* at, const char* id,
                Chunk* found)
{
    while (size - *at >= CHUNK_HEADER_SIZE) {
        const std::uint8_t* header = bytes + *at;
        std::size_t body_size = read_u32(header + 4);
        std::size_t body = *at + CHUNK_HEADER_SIZE;
        if (body_size > size - body) return false;
        std::size_t next = body + body_size + (body_size & 1);
        *at = next < size ? next : size;
        if (std::memcmp(header, id, 4) == 0) {
            *found = {body, body_size};
            return true;
        }
    }
    return false;
}

bool read_format(const std::uint8_t* fmt, WavSound* out)
{
    int channels = read_u16(fmt + 2);
    std::uint32_t rate = read_u32(fmt + 4);
    int block_align = read_u16(fmt + 12);
    int bits = read_u16(fmt + 14);
    if (channels == 0 || rate < std::uint32_t(WAV_MIN_RATE) || rate > std::uint32_t(WAV_MAX_RATE))
        return false;
    if (bits != 8 && bits != 16) return false;
    out->channels = channels > 1 ? 2 : 1;
    out->sample_rate = static_cast<int>(rate);
    out->bits_per_sample = bits;
    out->block_align = block_align;
    return block_align == out->channels * bits / 8;
}

}   // namespace

bool parse_wav(const std::uint8_t* bytes, std::size_t size, WavSound* out)
{
    if (!bytes || size < RIFF_HEADER_SIZE) return false;
    if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) return false;
    std::size_t at = RIFF_HEADER_SIZE;
    Chunk fmt, data;
    if (!find_chunk(bytes, size, &at, "fmt ", &fmt) || fmt.size < FMT_FIELDS_SIZE) return false;
    WavSound sound;
    if (!read_format(bytes + fmt.body, &sound)) return false;
    if (!find_chunk(bytes, size, &at, "data", &data)) return false;
    sound.data_offset = data.body;
    sound.data_size = data.size - data.size % sound.block_align;
    if (sound.data_size == 0) return false;
    *out = sound;
    return true;
}
