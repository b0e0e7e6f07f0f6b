/*
 * files.h - the runtime's eight numbered file channels.
 *
 * A channel (0 to 7) reads a plain file or a memory block, or writes a plain
 * file.  Read opens resolve the name through the general archive into
 * memory, so an archive entry reads like a file; the channel shares the
 * block, so it stays readable after the archive moves on to another lookup.
 *
 * Failures follow the runtime's rules: a channel number outside 0 to 7 is a
 * run-time fault of status 7 (end_with_fault in errors.h); a failed open sets
 * status 3 and returns false; reading past the end of a file, or from a
 * closed channel, and a failed write are run-time faults of status 3.  Reading past the end of a
 * block yields zeros.
 *
 * Callers: the game's file commands, shut-down (close_all_channels).  Not for:
 * whole-file media reads (media_source.h: read_whole_media).
 */
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int FILE_CHANNEL_COUNT = 8;

// Modes of open_file: read when >= 1, write (new file) when 0, append when < 0.
constexpr int FILE_MODE_READ = 1;
constexpr int FILE_MODE_WRITE = 0;
constexpr int FILE_MODE_APPEND = -1;

bool open_file(int channel, const char* name, int mode);
void close_file(int channel);

// One signed byte (0x80..0xFF read as -128..-1) into value.
void read_byte(int channel, std::int32_t& value);

// Writes length bytes of text, no terminator and no line end.
void write_text(int channel, const char* text, std::size_t length);

// True for a plain file that opens for reading, or a registered memory name.
// Archives are not consulted.
bool file_exists(const char* name);

// Shut-down: closes every channel.
void close_all_channels();
