/*
 * archive.h - the two media archive records and the media name resolver.
 *
 * The runtime owns two records: the general archive (images, fonts, sounds,
 * files opened on channels) and the music archive (music tracks).  Every
 * loader asks resolve_media_path for a name: a plain file of that name wins;
 * otherwise the entry whose name equals the request's last path component
 * (ignoring ASCII case) is unpacked, either into a registered memory block
 * (a "mem://" name, see media_source.h) or into a temporary file
 * temp_folder() + "sbx" + two letters + entry name, which the music player
 * opens by path.  A temporary file that cannot be written whole (the folder
 * is full or in the way) fails the lookup with one log line and is removed.
 *
 * Lifetime: what one lookup extracted lives in its record until the next
 * lookup through the same record (or a mount, or shut-down), which releases
 * the block and deletes the temporary file.  Callers consume a name before
 * resolving another through the same archive.  A file channel that opened a
 * block keeps its bytes past that point.
 *
 * Callers: start-up (archives_init), shut-down (archives_shutdown), the game
 * (mount_archives), file channels and every media loader.  Not for: the
 * archive byte format (sbx_format.h).
 */
#pragma once

#include <cstdint>
#include <string>

struct ArchiveRecord {
    bool enabled = false;
    std::string archive_path;    // a plain path or a memory name; empty = none
    std::string temp_file;       // written by the last extraction to a file
    unsigned memory_block = 0;   // handle of the last extraction to memory; 0 = none
};

ArchiveRecord& general_archive();
ArchiveRecord& music_archive();

// Start-up: fresh records, then the program file itself mounted as both
// archives, so an archive appended to it is found.
void archives_init();

// Shut-down: releases what both records extracted and empties them.
void archives_shutdown();

// Mounts general then music: each record is enabled, its last extraction
// released, and its archive path set (an empty path mounts nothing).
void mount_archives(const char* general, const char* music);

// Resolves name through record.  True with out = name for a plain file or a
// registered memory name; true with out = the extraction's name for an
// archive entry; false otherwise (out = name when the archive is missing and
// thereby disabled, empty when the archive is damaged or lacks the entry).
bool resolve_media_path(ArchiveRecord& record, const char* name, std::string& out, bool to_memory);

// The temporary file an entry with data offset O and stored size S is
// extracted to: temp_folder() + "sbx" + ('A' + low byte of O mod 26)
// + ('A' + low byte of S mod 26) + entry name, with this copy's slot number
// before the last dot when it is not the first (name_for_instance).
std::string temp_name_for_entry(std::int32_t offset, std::int32_t stored_size,
                                const std::string& entry_name);
