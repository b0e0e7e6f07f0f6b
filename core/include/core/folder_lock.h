/*
 * folder_lock.h - one copy of the game at a time in a folder of the
 * player's files, and what keeps a file from being kept there.
 *
 * Owns the lock that copies of the game running at the same time (two
 * windows, two tabs of the page) take before they read, merge and write a
 * folder's files, and the causes of a failed write as the player is told
 * them.  The build picks one implementation: folder_lock_desktop.cpp (an
 * advisory lock through host_files.h, on Linux and Windows) or
 * folder_lock_web.cpp (the browser's storage); folder_lock.cpp tells the
 * causes apart on both.
 *
 * Callers: the bests (enter_result) and the settings.  Not for: writing the
 * files themselves (media_source.h: replace_whole_file) or the lock that
 * numbers the copies of the game (paths.h: claim_instance_slot).
 */
#pragma once

#include <string>

// What keeps a player's file from being kept, as the player is told it.
enum class StorageTrouble {
    none,
    disk_full,
    read_only,
    refused,
    other
};

struct FolderLock {
    int handle = -1;
};

// Waits until no other copy of the game holds the folder's lock (desktop: an
// advisory lock on the file lock_name in folder; browser: the Web Locks API,
// else nothing), then brings the folder up to date with what the other copies
// kept (browser: the folder is read again from the browser's storage).  False,
// with *trouble set and a log line naming the cause, when it cannot.
bool lock_folder(const std::string& folder, const char* lock_name, FolderLock* lock,
                 StorageTrouble* trouble);

// Keeps what was written while the lock was held (browser: writes the folder
// back to the browser's storage at once) and lets the other copies in.  False,
// with *trouble set (browser: "refused" when storage is refused or its quota is
// full) and a log line, when what was written could not be kept.
bool unlock_folder(FolderLock* lock, StorageTrouble* trouble);

// The trouble an errno value of a failed file call stands for.
StorageTrouble storage_trouble_of(int error_number);
