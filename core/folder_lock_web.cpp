/*
 * folder_lock_web.cpp - folder_lock.h in a browser page.  The page keeps the
 * player's folder in the browser's storage, which every tab of the page
 * shares, and each tab holds a copy of it (web/storage.js): locking takes
 * the storage's one Web Lock (every tab's syncs wait for it) and reads in
 * what the other tabs kept; unlocking writes this tab's files at once and
 * lets the lock go.  Where the browser has no Web Locks the read, the
 * caller's merge and the write still follow one another with nothing of
 * this tab between them.  Storage the browser refuses (a private window, a
 * full quota) is StorageTrouble::refused, and the log gives the browser's
 * own words.  A page told to keep nothing (settings=0) locks and keeps
 * nothing.
 *
 * The waits unwind to the browser through Asyncify, as the frame's waits do
 * (host_sleep_web.cpp).
 */
#include <emscripten.h>

#include "core/folder_lock.h"
#include "core/log.h"

namespace {

// The browser's words are one short sentence: a longer one is cut.
constexpr int WHY_BYTES = 256;
constexpr int HELD = 1;

// Each answers 1 when the storage refused, leaving why for storage_refusal.
// clang-format off
EM_ASYNC_JS(int, page_lock_folder, (), {
    const storage = window.snowbelterStorage;
    Module.storageRefusal = storage ? await storage.lockFolder() : '';
    return Module.storageRefusal ? 1 : 0;
});

EM_ASYNC_JS(int, page_unlock_folder, (), {
    const storage = window.snowbelterStorage;
    Module.storageRefusal = storage ? await storage.unlockFolder() : '';
    return Module.storageRefusal ? 1 : 0;
});

EM_JS(void, storage_refusal, (char* why, int size), {
    stringToUTF8(String(Module.storageRefusal), why, size);
});
// clang-format on

void say_refused(const std::string& what, StorageTrouble* trouble)
{
    char why[WHY_BYTES] = {};
    storage_refusal(why, WHY_BYTES);
    *trouble = StorageTrouble::refused;
    log_line((what + ": the browser refused its storage (" + why + ")").c_str());
}

}   // namespace

bool lock_folder(const std::string& folder, const char*, FolderLock* lock, StorageTrouble* trouble)
{
    lock->handle = -1;
    if (page_lock_folder()) {
        say_refused("Cannot read " + folder + " again", trouble);
        return false;
    }
    lock->handle = HELD;
    return true;
}

bool unlock_folder(FolderLock* lock, StorageTrouble* trouble)
{
    if (lock->handle != HELD) return true;
    lock->handle = -1;
    if (!page_unlock_folder()) return true;
    say_refused("Cannot keep what was written in the player's folder", trouble);
    return false;
}
