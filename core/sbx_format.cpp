#include "core/sbx_format.h"

#include <climits>
#include <cstring>
#include <lzo/lzo1x.h>
#include <unistd.h>

#include "core/host_files.h"

namespace {

const unsigned char MAGIC[3] = {'s', 'b', 'X'};
constexpr std::int64_t TRAILER_SIZE = 7;
constexpr std::int64_t ENTRY_FIXED_SIZE = 8;   // O and S after the name
constexpr std::int64_t LENGTH_FIELD = 4;       // L at the head of stored data

// LZO1X codes a long match with one extra byte per 255 of length, so no
// stream expands by more than this factor (plus a few bytes of header).
constexpr std::int64_t LZO_MAX_EXPANSION = 256;
constexpr std::int64_t LZO_SHORT_STREAM_SLACK = 64;

bool lzo_ready()
{
    static const bool ready = lzo_init() == LZO_E_OK;
    return ready;
}

// Worst-case compressed size of n bytes for LZO1X.
std::int64_t lzo_bound(std::int64_t n)
{
    return n + n / 16 + 64 + 3;
}

std::int32_t get_int32(const unsigned char* p)
{
    std::uint32_t v = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                      std::uint32_t(p[3]) << 24;
    return static_cast<std::int32_t>(v);
}

void put_int32(MemoryBlock& out, std::int64_t value)
{
    std::uint32_t v = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

// Copies size bytes at offset; false when any of them lies outside the source.
// Nothing to copy needs no buffer (an empty stream has none).
bool read_at(const SbxSource& source, std::int64_t offset, unsigned char* out, std::int64_t size)
{
    if (offset < 0 || size < 0 || offset > source.size || size > source.size - offset) return false;
    if (size == 0) return true;
    if (source.block) {
        std::memcpy(out, source.block->data() + offset, static_cast<std::size_t>(size));
        return true;
    }
    while (size > 0) {
        std::int64_t got = host_read_at(source.fd, out, static_cast<std::size_t>(size), offset);
        if (got <= 0) return false;
        out += got;
        offset += got;
        size -= got;
    }
    return true;
}

std::int64_t resolve_offset(const SbxSource& source, bool from_end, std::int32_t offset)
{
    return from_end ? source.size + offset : offset;
}

// L is believable when the stream of stream_size bytes can produce it and the
// stream is no longer than the compressor would ever make it.
bool plausible_length(std::int32_t length, std::int64_t stream_size)
{
    if (length < 0 || static_cast<std::uint64_t>(length) > MAX_MEDIA_BYTES) return false;
    if (length > stream_size * LZO_MAX_EXPANSION + LZO_SHORT_STREAM_SLACK) return false;
    return stream_size <= lzo_bound(length);
}

// Stored data of one entry: L, then the LZO1X-999 stream.
bool pack_entry(const MemoryBlock& data, MemoryBlock& out)
{
    if (data.size() > MAX_MEDIA_BYTES || !lzo_ready()) return false;
    std::vector<unsigned char> work(LZO1X_999_MEM_COMPRESS);
    std::vector<unsigned char> stream(static_cast<std::size_t>(lzo_bound(data.size())));
    lzo_uint stream_size = stream.size();
    if (lzo1x_999_compress(data.data(), data.size(), stream.data(), &stream_size, work.data()) !=
        LZO_E_OK)
        return false;
    put_int32(out, static_cast<std::int64_t>(data.size()));
    out.insert(out.end(), stream.begin(), stream.begin() + stream_size);
    return true;
}

}   // namespace

SbxSource::~SbxSource()
{
    if (fd >= 0) ::close(fd);
}

bool sbx_open(const char* name, SbxSource& source)
{
    if (is_memory_name(name)) {
        source.block = find_memory_block(name);
        if (!source.block) return false;
        source.size = static_cast<std::int64_t>(source.block->size());
        return true;
    }
    source.fd = open_plain_for_reading(name, &source.size);
    return source.fd >= 0;
}

bool sbx_read_trailer(const SbxSource& source, SbxDirectory& directory)
{
    unsigned char trailer[TRAILER_SIZE];
    if (!read_at(source, source.size - TRAILER_SIZE, trailer, TRAILER_SIZE)) return false;
    if (std::memcmp(trailer, MAGIC, sizeof MAGIC) != 0) return false;
    std::int32_t offset = get_int32(trailer + sizeof MAGIC);
    directory.from_end = offset < 0;
    directory.start = resolve_offset(source, directory.from_end, offset);
    return true;
}

bool sbx_next_entry(const SbxSource& source, const SbxDirectory& directory, std::int64_t& cursor,
                    SbxEntry& entry)
{
    unsigned char length = 0;
    if (!read_at(source, cursor, &length, 1) || length == 0) return false;
    unsigned char body[SBX_MAX_NAME + ENTRY_FIXED_SIZE];
    std::int64_t body_size = length + ENTRY_FIXED_SIZE;
    if (!read_at(source, cursor + 1, body, body_size)) return false;
    entry.name.assign(reinterpret_cast<const char*>(body), length);
    entry.offset = get_int32(body + length);
    entry.stored_size = get_int32(body + length + 4);
    entry.data_start = resolve_offset(source, directory.from_end, entry.offset);
    cursor += 1 + body_size;
    return true;
}

bool sbx_names_match(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool sbx_find_entry(const SbxSource& source, const SbxDirectory& directory,
                    const std::string& wanted, SbxEntry& entry)
{
    std::int64_t cursor = directory.start;
    while (sbx_next_entry(source, directory, cursor, entry)) {
        if (sbx_names_match(entry.name, wanted)) return true;
    }
    return false;
}

SbxUnpack sbx_unpack(const SbxSource& source, const SbxEntry& entry, MemoryBlock& out)
{
    out.clear();
    unsigned char head[LENGTH_FIELD];
    if (entry.stored_size < LENGTH_FIELD ||
        !read_at(source, entry.data_start, head, LENGTH_FIELD) ||
        entry.data_start > source.size - entry.stored_size)
        return SbxUnpack::unreadable;
    std::int32_t length = get_int32(head);
    std::int64_t stream_size = entry.stored_size - LENGTH_FIELD;
    if (!plausible_length(length, stream_size) || !lzo_ready()) return SbxUnpack::undecodable;

    std::vector<unsigned char> stream(static_cast<std::size_t>(stream_size));
    if (!read_at(source, entry.data_start + LENGTH_FIELD, stream.data(), stream_size))
        return SbxUnpack::unreadable;
    out.resize(static_cast<std::size_t>(length));
    lzo_uint produced = out.size();
    int result =
        lzo1x_decompress_safe(stream.data(), stream.size(), out.data(), &produced, nullptr);
    if (result != LZO_E_OK || produced != out.size()) {
        out.clear();
        return SbxUnpack::undecodable;
    }
    return SbxUnpack::unpacked;
}

std::string last_path_component(const char* path)
{
    if (path == nullptr) return std::string();
    const char* start = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') start = p + 1;
    }
    return start;
}

bool sbx_entry_name_is_safe(const std::string& name)
{
    if (name.empty() || name.size() > SBX_MAX_USABLE_NAME || name == "." || name == "..")
        return false;
    return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

bool sbx_build(const std::vector<SbxInput>& entries, bool from_end, MemoryBlock& archive)
{
    archive.clear();
    std::vector<std::int64_t> offsets, sizes;
    for (const SbxInput& entry : entries) {
        if (entry.name.empty() || entry.name.size() > SBX_MAX_NAME) return false;
        std::size_t start = archive.size();
        if (!pack_entry(entry.data, archive) || archive.size() > INT32_MAX) return false;
        offsets.push_back(static_cast<std::int64_t>(start));
        sizes.push_back(static_cast<std::int64_t>(archive.size() - start));
    }
    std::int64_t directory = static_cast<std::int64_t>(archive.size());
    std::int64_t total = directory + 1 + TRAILER_SIZE;
    for (const SbxInput& entry : entries) total += 1 + entry.name.size() + ENTRY_FIXED_SIZE;
    if (total > INT32_MAX) return false;

    std::int64_t base = from_end ? total : 0;   // offsets from the end are negative
    for (std::size_t i = 0; i < entries.size(); ++i) {
        archive.push_back(static_cast<unsigned char>(entries[i].name.size()));
        archive.insert(archive.end(), entries[i].name.begin(), entries[i].name.end());
        put_int32(archive, offsets[i] - base);
        put_int32(archive, sizes[i]);
    }
    archive.push_back(0);
    archive.insert(archive.end(), MAGIC, MAGIC + sizeof MAGIC);
    put_int32(archive, directory - base);
    return true;
}
