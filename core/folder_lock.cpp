/*
 * folder_lock.cpp - the causes of a failed write, on every platform.
 */
#include "core/folder_lock.h"

#include <cerrno>

#include "core/host_files.h"

StorageTrouble storage_trouble_of(int error_number)
{
    if (error_number == 0) return StorageTrouble::none;
    if (host_out_of_space(error_number)) return StorageTrouble::disk_full;
    if (error_number == EROFS || error_number == EACCES || error_number == EPERM)
        return StorageTrouble::read_only;
    return StorageTrouble::other;
}
