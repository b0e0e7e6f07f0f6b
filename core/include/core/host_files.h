/*
 * host_files.h - the file system calls that differ between the platforms.
 *
 * Owns opening, creating, removing and replacing files by name, reading at
 * an offset, making folders, the locks that keep a file for one process,
 * and where this platform keeps the program, its temporary files and the
 * player's own files.  Names are UTF-8 with "/" between folders on every
 * platform; files are opened as C runtime descriptors in binary mode, read
 * and written with read, write and close from <unistd.h>.
 *
 * The build picks one implementation: host_files_posix.cpp (Linux and the
 * browser) or host_files_windows.cpp (wide calls, so names in any script
 * work; "\" in the answers turned into "/").
 *
 * Callers: paths, media_source, sbx_format, files, archive and log.  Not
 * for: deciding which file the game uses (paths.h, archive.h).
 */
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Opens a regular file for reading; returns a descriptor or -1 (also for
// folders, devices and named pipes, without waiting for a writer).  size,
// when given, receives the file's size.
int host_open_for_reading(const char* path, std::int64_t* size);

// How host_create_file opens a file: none of them follows a symbolic link
// at the last component of the name.
enum class HostCreate {
    TRUNCATE,   // write from the start, owner only (0600)
    APPEND,     // add to the end, owner only (0600)
    REPLACE,    // a new file that others may read (0644), for replace_whole_file
};
int host_create_file(const std::string& path, HostCreate how);

// Reads up to size bytes at offset without moving the descriptor's
// position: the bytes read, 0 at the end, -1 on an error (retried when
// interrupted).
std::int64_t host_read_at(int fd, void* out, std::size_t size, std::int64_t offset);

// Flushes what was written to fd to the disk.
bool host_flush_to_disk(int fd);

// Renames from to to, replacing to when it exists, in one step.
bool host_rename_over(const std::string& from, const std::string& to);

// Deletes a file; false when there was none or it could not be deleted.
bool host_remove_file(const std::string& path);

// Makes one folder (open to others for reading); true when it was made.
bool host_make_folder(const std::string& folder);
bool host_is_folder(const std::string& path);
bool host_is_regular_file(const std::string& path);

// The names of the entries in folder, "." and ".." left out; empty when it
// cannot be read.
std::vector<std::string> host_folder_names(const std::string& folder);

// Makes folder the working directory.
bool host_enter_folder(const std::string& folder);

// Whether this process may create files in folder.
bool host_folder_writable(const std::string& folder);

// Opens path (created when missing) and keeps it for this process alone
// until the process ends: true when no other process holds it.
bool host_hold_lock_file(const std::string& path);

// Opens path (created when missing) and waits until no other process holds
// its lock, then holds it: a handle for host_release_lock, or -1 (errno
// set) when the file cannot be opened or locked.
int host_wait_for_lock(const std::string& path);
void host_release_lock(int handle);

// Whether a failed call's errno means the disk (or the player's share of
// it) is full.
bool host_out_of_space(int error_number);

// Full path of the running program; "" when it cannot be told.
std::string host_program_path();

// A folder for this user's temporary files, made when missing and refused
// when others could write to it; ends in "/", "" when there is none.
std::string host_private_temp_folder();

// The player's own folders for the game, ending in "/", "" when unknown:
// settings, and pictures the program's folder cannot take.
std::string host_config_folder();
std::string host_user_data_folder();

// Where an installed copy keeps its data, beyond the program's own folder,
// in the order they are tried (the program's folder's parent is given).
std::vector<std::string> host_installed_data_folders(const std::string& parent_of_program_folder,
                                                     const std::string& program_folder_name);
