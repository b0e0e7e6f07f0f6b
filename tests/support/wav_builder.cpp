#include "support/wav_builder.h"

#include <fstream>

namespace {

void put_u32(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void put_u16(Bytes& out, int value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put_id(Bytes& out, const std::string& id)
{
    out.insert(out.end(), id.begin(), id.end());
}

}   // namespace

Bytes fmt_body(int format_tag, int channels, std::uint32_t rate, int block_align, int bits,
               int extra_bytes)
{
    Bytes body;
    put_u16(body, format_tag);
    put_u16(body, channels);
    put_u32(body, rate);
    put_u32(body, rate * static_cast<std::uint32_t>(block_align));
    put_u16(body, block_align);
    put_u16(body, bits);
    body.resize(body.size() + extra_bytes, 0);
    return body;
}

Bytes wav_file(const std::vector<WavChunk>& chunks)
{
    Bytes contents;
    put_id(contents, "WAVE");
    for (const WavChunk& chunk : chunks) {
        put_id(contents, chunk.id);
        put_u32(contents, static_cast<std::uint32_t>(
                              chunk.declared_size < 0 ? chunk.body.size() : chunk.declared_size));
        contents.insert(contents.end(), chunk.body.begin(), chunk.body.end());
        if (chunk.body.size() % 2) contents.push_back(0);
    }
    Bytes file;
    put_id(file, "RIFF");
    put_u32(file, static_cast<std::uint32_t>(contents.size()));
    file.insert(file.end(), contents.begin(), contents.end());
    return file;
}

Bytes silent_wav(int channels, int rate, int bits, std::size_t frames)
{
    int block = channels * bits / 8;
    std::uint8_t silence = bits == 8 ? 0x80 : 0;
    return wav_file({{"fmt ", fmt_body(1, channels, rate, block, bits)},
                     {"data", Bytes(frames * block, silence)}});
}

void write_wav(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}
