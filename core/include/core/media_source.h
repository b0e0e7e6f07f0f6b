/*
 * media_source.h - what a media name designates, and its bytes read whole.
 *
 * A media name is either a plain file path or a memory name "mem://%8x.%8x"
 * (length, then handle, each blank-padded to 8 hexadecimal digits).  The
 * second field is not an address: it is the handle of a block registered
 * here.  A name whose handle is unknown, released, or whose length field does
 * not match the block designates nothing, so no text can make a reader touch
 * memory the runtime did not hand out.
 *
 * Owns the registry of memory blocks and the bounded whole-file reader and
 * writer.  Callers: the archive resolver (registers extracted entries), the
 * file channels, the image, font and sound loaders (read_whole_media), the
 * packer tool.  Not for: archive lookups (archive.h) or numbered channels
 * (files.h).
 */
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using MemoryBlock = std::vector<unsigned char>;
using SharedBlock = std::shared_ptr<const MemoryBlock>;

// The most bytes any media read or extraction produces (256 MiB).
constexpr std::size_t MAX_MEDIA_BYTES = 256u << 20;

// Registers a block and returns its handle (never 0), or 0 when the block is
// larger than MAX_MEDIA_BYTES.
unsigned register_memory_block(MemoryBlock bytes);

// Forgets a block; its name designates nothing from now on.  Holders of a
// SharedBlock keep their bytes.  Handle 0 or an unknown handle is ignored.
void release_memory_block(unsigned handle);

// "mem://" + length + "." + handle; empty for an unknown handle.
std::string memory_name(unsigned handle);

// True when name begins with "mem://" (whether or not it designates a block).
bool is_memory_name(const char* name);

// The registered block a memory name designates, or null.
SharedBlock find_memory_block(const char* name);

// True for a memory name of a registered block, or a readable regular file.
bool media_name_exists(const char* name);

// Opens a regular file for reading; returns an fd or -1 (also for folders,
// devices and named pipes, without waiting for a writer).
// size, when given, receives the file's size.
int open_plain_for_reading(const char* path, std::int64_t* size = nullptr);

// Writes all size bytes to fd, retrying short writes.
bool write_all_bytes(int fd, const void* data, std::size_t size);

// Reads a plain file or a memory block whole into bytes.  False (bytes
// emptied) when the name designates nothing, cannot be read, or holds more
// than MAX_MEDIA_BYTES.  Sets no run-time status: loaders do that.
bool read_whole_media(const char* name, std::vector<unsigned char>& bytes);

// Writes bytes to a plain file without following a link at its last
// component: a new file (any old one deleted first) or, with append, added to
// the end of an existing one.  False when any byte could not be written (a
// new file is then removed again).
bool write_whole_file(const std::string& path, const unsigned char* data, std::size_t size,
                      bool append);

// Replaces the file at path as a whole or not at all: the bytes go to a new
// file in the same folder, which is flushed to the disk and then renamed
// over path, so a crash or a full disk at any moment leaves either the old
// file or the new one.  Missing folders on the way are made.  False (and
// the old file untouched, errno telling why) when any step fails.
bool replace_whole_file(const std::string& path, const unsigned char* data, std::size_t size);

// Makes folder and any missing folders above it; true when it exists after.
bool make_folders(const std::string& folder);
