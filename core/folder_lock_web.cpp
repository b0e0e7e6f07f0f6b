/*
 * folder_lock_web.cpp - folder_lock.h in the browser, for now without a
 * lock: a page's copy of the folder is its own.
 */
#include "core/folder_lock.h"

bool lock_folder(const std::string&, const char*, FolderLock* lock, StorageTrouble*)
{
    lock->handle = -1;
    return true;
}

bool unlock_folder(FolderLock* lock, StorageTrouble*)
{
    lock->handle = -1;
    return true;
}
