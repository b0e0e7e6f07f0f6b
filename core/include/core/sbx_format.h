/*
 * sbx_format.h - the .sbx media archive format, read and written.
 *
 * An archive ends with a 7-byte trailer: "sbX" and a signed 32-bit directory
 * offset D.  The directory is a list of entries (name length byte, name,
 * data offset O, stored size S) closed by a 0 byte.  When D < 0 the directory
 * and every O count from the end of the file, so an archive can be appended
 * to another file (the program itself).  An entry's stored data is its
 * unpacked length L followed by an LZO1X stream.  All integers are 32-bit
 * little-endian and signed.
 *
 * Archives are untrusted input: every offset, size and length is checked
 * against the source and against MAX_MEDIA_BYTES before anything is read or
 * allocated.
 *
 * Callers: the archive resolver (archive.h) and the sbxpack tool.  Not for:
 * deciding where an extracted entry goes (archive.h).
 */
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/media_source.h"

// The bytes of an archive: an open plain file or a registered memory block.
struct SbxSource {
    int fd = -1;
    SharedBlock block;
    std::int64_t size = 0;

    SbxSource() = default;
    SbxSource(const SbxSource&) = delete;
    SbxSource& operator=(const SbxSource&) = delete;
    ~SbxSource();
};

// Where the directory begins and how offsets count.
struct SbxDirectory {
    std::int64_t start = 0;
    bool from_end = false;
};

struct SbxEntry {
    std::string name;
    std::int32_t offset = 0;        // O as stored
    std::int32_t stored_size = 0;   // S as stored
    std::int64_t data_start = 0;    // O resolved against the source's size
};

enum class SbxUnpack {
    unpacked,      // out holds exactly L bytes
    undecodable,   // the stored data is not a valid stream of a sane length; out is empty
    unreadable,    // the entry's data lies outside the source; out is empty
};

struct SbxInput {
    std::string name;
    MemoryBlock data;
};

// Entry names are at most this long.
constexpr std::size_t SBX_MAX_NAME = 255;
// The longest name the game can use: music is extracted to a file named
// "sbx", two letters, the entry name and a running copy's "-n", and a file
// name has at most 255 bytes.
constexpr std::size_t SBX_MAX_USABLE_NAME = 240;

// Opens a plain file or a memory name as an archive source.
bool sbx_open(const char* name, SbxSource& source);

// Reads the trailer.  False when the source is shorter than the trailer or
// the magic is not "sbX".
bool sbx_read_trailer(const SbxSource& source, SbxDirectory& directory);

// Reads the entry at cursor and moves cursor past it.  False at the closing
// 0 byte or when the entry runs past the end of the source.
bool sbx_next_entry(const SbxSource& source, const SbxDirectory& directory, std::int64_t& cursor,
                    SbxEntry& entry);

// True when two entry names are equal ignoring ASCII case (how lookups match).
bool sbx_names_match(const std::string& a, const std::string& b);

// Finds the entry whose name equals wanted, ignoring ASCII case.
bool sbx_find_entry(const SbxSource& source, const SbxDirectory& directory,
                    const std::string& wanted, SbxEntry& entry);

// Reads and decompresses one entry (see SbxUnpack).
SbxUnpack sbx_unpack(const SbxSource& source, const SbxEntry& entry, MemoryBlock& out);

// The characters after the last "/" or "\" (all of path when it has neither).
std::string last_path_component(const char* path);

// True when a name may become a file name in a folder of ours: 1 to
// SBX_MAX_USABLE_NAME bytes, no "/", "\" or NUL, and not "." or "..".  The
// packer makes no entry of another name, so every entry can be extracted.
bool sbx_entry_name_is_safe(const std::string& name);

// Builds a whole archive from entries (names of 1 to 255 bytes).  from_end:
// offsets count from the end, so the bytes may be appended to any file.
// False when a name does not fit, an entry is larger than MAX_MEDIA_BYTES or
// the archive would not fit 32-bit offsets.
bool sbx_build(const std::vector<SbxInput>& entries, bool from_end, MemoryBlock& archive);
