/*
 * host_files_posix.cpp - host_files.h on Linux (and the browser's POSIX
 * layer): open with O_NOFOLLOW, pread, flock, /proc/self/exe and the XDG
 * folders.
 */
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>   // flock
#include <sys/stat.h>
#include <unistd.h>

#include "core/host_files.h"

namespace {

std::string with_slash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

std::string env_or(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

// One of the user's base folders: the variable's folder, else the one under
// $HOME that the XDG rules name; "" when neither is set.  Ends in "/".
std::string xdg_home_folder(const char* variable, const char* under_home)
{
    std::string folder = env_or(variable, "");
    std::string home = env_or("HOME", "");
    if (folder.empty() && !home.empty()) folder = with_slash(home) + under_home;
    return folder.empty() ? folder : with_slash(folder);
}

// A folder we create for ourselves must be a real directory owned by us and
// closed to everyone else; anything else may be another user's trap.
bool private_dir_ok(const std::string& dir)
{
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st;
    if (lstat(dir.c_str(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 077) == 0;
}

}   // namespace

int host_open_for_reading(const char* path, std::int64_t* size)
{
    if (path == nullptr || path[0] == '\0') return -1;
    // Without O_NONBLOCK, opening a named pipe would wait for a writer for ever.
    int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    if (size != nullptr) *size = info.st_size;
    return fd;
}

int host_create_file(const std::string& path, HostCreate how)
{
    const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC |
                      (how == HostCreate::APPEND ? O_APPEND : O_TRUNC);
    return ::open(path.c_str(), flags, how == HostCreate::REPLACE ? 0644 : 0600);
}

std::int64_t host_read_at(int fd, void* out, std::size_t size, std::int64_t offset)
{
    ssize_t got;
    do {
        got = ::pread(fd, out, size, offset);
    } while (got < 0 && errno == EINTR);
    return got;
}

bool host_flush_to_disk(int fd)
{
    return ::fsync(fd) == 0;
}

bool host_rename_over(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool host_remove_file(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool host_make_folder(const std::string& folder)
{
    return ::mkdir(folder.c_str(), 0755) == 0;
}

bool host_is_folder(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool host_is_regular_file(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> host_folder_names(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

bool host_enter_folder(const std::string& folder)
{
    return ::chdir(folder.c_str()) == 0;
}

bool host_folder_writable(const std::string& folder)
{
    return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool host_hold_lock_file(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    return true;   // the descriptor stays open, and locked, for the process's life
}

int host_wait_for_lock(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    int locked;
    do {
        locked = flock(fd, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

void host_release_lock(int handle)
{
    if (handle < 0) return;
    flock(handle, LOCK_UN);
    ::close(handle);
}

bool host_out_of_space(int error_number)
{
    return error_number == ENOSPC || error_number == EDQUOT || error_number == EFBIG;
}

std::string host_program_path()
{
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::string host_private_temp_folder()
{
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir && *tmpdir) return with_slash(tmpdir);
    const char* runtime_dir = std::getenv("XDG_RUNTIME_DIR");
    if (runtime_dir && *runtime_dir) {
        std::string dir = with_slash(runtime_dir) + "snowbelter";
        if (private_dir_ok(dir)) return dir + "/";
    }
    std::string dir = "/tmp/snowbelter-" + std::to_string(getuid());
    if (private_dir_ok(dir)) return dir + "/";
    return "";
}

std::string host_config_folder()
{
    std::string config_home = xdg_home_folder("XDG_CONFIG_HOME", ".config");
    return config_home.empty() ? std::string() : config_home + "snowbelter/";
}

std::string host_user_data_folder()
{
    std::string data_home = xdg_home_folder("XDG_DATA_HOME", ".local/share");
    return data_home.empty() ? data_home : data_home + "snowbelter/";
}

std::vector<std::string> host_installed_data_folders(const std::string& parent_of_program_folder,
                                                     const std::string& program_folder_name)
{
    std::vector<std::string> folders;
    folders.push_back(parent_of_program_folder + (program_folder_name == "games"
                                                      ? "share/games/snowbelter/"
                                                      : "share/snowbelter/"));
    std::string own = host_user_data_folder();
    if (!own.empty()) folders.push_back(own);
    std::string dirs = env_or("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        if (end > start)
            folders.push_back(with_slash(dirs.substr(start, end - start)) + "snowbelter/");
        start = end + 1;
    }
    return folders;
}
