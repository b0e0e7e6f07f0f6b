/*
 * host_files_windows.cpp - host_files.h on Windows.
 *
 * Every name goes through the wide calls (_wopen, CreateFileW,
 * MoveFileExW...), so UTF-8 names in any script reach the disk as they are
 * whatever the ANSI code page.  Descriptors are the C runtime's, in binary
 * mode.  The temporary folder is GetTempPathW's + "Snowbelter\", the
 * player's folder %APPDATA%\Snowbelter\ (where SDL_GetPrefPath("",
 * "Snowbelter") points too; the core asks Windows itself, as it does not
 * link SDL).
 */
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <shlobj.h>
#include <sys/stat.h>
#include <windows.h>

#include "core/host_files.h"

namespace {

const wchar_t* const GAME_FOLDER = L"Snowbelter";

std::wstring wide(const std::string& utf8)
{
    if (utf8.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &out[0], n);
    return out;
}

// UTF-8 with "/" between folders, as the rest of the game writes names.
std::string narrow(const std::wstring& text)
{
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string out(std::size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &out[0], n, nullptr,
                            nullptr);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

std::string with_slash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

DWORD attributes_of(const std::string& path)
{
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide(path).c_str());
}

// %APPDATA%\Snowbelter\, made when missing.
std::string game_app_data_folder()
{
    wchar_t folder[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder) != S_OK)
        return "";
    std::wstring mine = std::wstring(folder) + L"\\" + GAME_FOLDER;
    CreateDirectoryW(mine.c_str(), nullptr);
    return with_slash(narrow(mine));
}

// The C runtime's errno for a failed Windows call, so that callers tell the
// causes apart as on the other platforms.
int errno_of_last_error()
{
    switch (GetLastError()) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_ACCESS_DENIED: return EACCES;
    // Another program has the file open for a moment: not the folder's fault.
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EBUSY;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    default: return EIO;
    }
}

}   // namespace

int host_open_for_reading(const char* path, std::int64_t* size)
{
    if (path == nullptr || path[0] == '\0') return -1;
    // Only plain files: a folder or a device opens on Windows too.
    DWORD attributes = attributes_of(path);
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return -1;
    int fd = _wopen(wide(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) return -1;
    struct _stat64 info;
    if (_fstat64(fd, &info) != 0 || !(info.st_mode & _S_IFREG)) {
        _close(fd);
        return -1;
    }
    if (size != nullptr) *size = info.st_size;
    return fd;
}

// Windows has no symbolic links an ordinary user can plant in the
// temporary folder, so creating is a plain create.
int host_create_file(const std::string& path, HostCreate how)
{
    const int flags = _O_WRONLY | _O_CREAT | _O_BINARY | _O_NOINHERIT |
                      (how == HostCreate::APPEND ? _O_APPEND : _O_TRUNC);
    return _wopen(wide(path).c_str(), flags, _S_IREAD | _S_IWRITE);
}

std::int64_t host_read_at(int fd, void* out, std::size_t size, std::int64_t offset)
{
    HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (file == INVALID_HANDLE_VALUE) return -1;
    OVERLAPPED at = {};
    at.Offset = DWORD(std::uint64_t(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = DWORD(std::uint64_t(offset) >> 32);
    const DWORD wanted = size > 0x40000000u ? 0x40000000u : DWORD(size);
    DWORD got = 0;
    if (!ReadFile(file, out, wanted, &got, &at)) return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    return got;
}

bool host_flush_to_disk(int fd)
{
    return _commit(fd) == 0;
}

// rename() fails on Windows when to exists; MoveFileExW replaces it.
bool host_rename_over(const std::string& from, const std::string& to)
{
    if (MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    errno = errno_of_last_error();
    return false;
}

bool host_remove_file(const std::string& path)
{
    return !path.empty() && DeleteFileW(wide(path).c_str()) != 0;
}

bool host_make_folder(const std::string& folder)
{
    return CreateDirectoryW(wide(folder).c_str(), nullptr) != 0;
}

bool host_is_folder(const std::string& path)
{
    DWORD attributes = attributes_of(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool host_is_regular_file(const std::string& path)
{
    DWORD attributes = attributes_of(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

std::vector<std::string> host_folder_names(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((wide(with_slash(folder)) + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = narrow(found.cFileName);
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

bool host_enter_folder(const std::string& folder)
{
    return SetCurrentDirectoryW(wide(folder).c_str()) != 0;
}

// The folder's attributes say nothing of its permissions (Program Files is
// not read-only, only closed to ordinary users): a file is tried.
bool host_folder_writable(const std::string& folder)
{
    if (folder.empty()) return false;
    std::wstring probe = wide(with_slash(folder)) + L"snowbelter-write-test.tmp";
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// A file opened with no sharing cannot be opened again by anyone until the
// handle closes, which the process's end does.
bool host_hold_lock_file(const std::string& path)
{
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file != INVALID_HANDLE_VALUE;
}

// LockFileEx on the file's first byte waits for the other processes'
// locks; others may still open the file, so each copy waits on the lock
// itself rather than on the open.
int host_wait_for_lock(const std::string& path)
{
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        errno = errno_of_last_error();
        return -1;
    }
    OVERLAPPED whole = {};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole)) {
        errno = errno_of_last_error();
        CloseHandle(file);
        return -1;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
    if (fd < 0) {
        UnlockFileEx(file, 0, 1, 0, &whole);
        CloseHandle(file);
    }
    return fd;
}

void host_release_lock(int handle)
{
    if (handle < 0) return;
    HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(handle));
    OVERLAPPED whole = {};
    if (file != INVALID_HANDLE_VALUE) UnlockFileEx(file, 0, 1, 0, &whole);
    _close(handle);
}

bool host_out_of_space(int error_number)
{
    return error_number == ENOSPC || error_number == EFBIG;
}

std::string host_program_path()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &path[0], DWORD(path.size()));
        if (n == 0) return "";
        if (n < path.size()) {
            path.resize(n);
            return narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string host_private_temp_folder()
{
    wchar_t temp[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) return "";
    std::wstring mine = std::wstring(temp, n) + GAME_FOLDER;
    CreateDirectoryW(mine.c_str(), nullptr);
    std::string folder = narrow(mine);
    return host_is_folder(folder) ? with_slash(folder) : "";
}

std::string host_config_folder()
{
    return game_app_data_folder();
}

std::string host_user_data_folder()
{
    return game_app_data_folder();
}

// A Windows copy keeps its media beside the program, which data_folder_candidates
// already tries: nothing more to look in.
std::vector<std::string> host_installed_data_folders(const std::string&, const std::string&)
{
    return {};
}
