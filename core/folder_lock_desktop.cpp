/*
 * folder_lock_desktop.cpp - folder_lock.h on Linux and Windows: an advisory
 * lock on a file in the folder (flock, LockFileEx), which every copy of the
 * game waits for.  The folder is on the disk every copy sees, so there is
 * nothing to bring up to date and nothing to keep at the end.
 */
#include <cerrno>
#include <cstring>

#include "core/folder_lock.h"
#include "core/host_files.h"
#include "core/log.h"
#include "core/media_source.h"

bool lock_folder(const std::string& folder, const char* lock_name, FolderLock* lock,
                 StorageTrouble* trouble)
{
    make_folders(folder);
    const bool ends_in_slash = !folder.empty() && folder.back() == '/';
    const std::string path = folder + (ends_in_slash ? "" : "/") + lock_name;
    lock->handle = host_wait_for_lock(path);
    if (lock->handle >= 0) return true;
    const int error = errno;
    *trouble = storage_trouble_of(error);
    if (*trouble == StorageTrouble::none) *trouble = StorageTrouble::other;
    log_line(("Cannot lock " + path + ": " + std::strerror(error)).c_str());
    return false;
}

bool unlock_folder(FolderLock* lock, StorageTrouble*)
{
    host_release_lock(lock->handle);
    lock->handle = -1;
    return true;
}
