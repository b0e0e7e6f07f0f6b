/*
 * paths.cpp - the private temporary folder and the program's own path.
 *
 * Needs: POSIX (getuid, mkdir, lstat, open with O_NOFOLLOW) and /proc for the
 * program's path.
 */
#include "core/paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>      // open, O_NOFOLLOW
#include <sys/file.h>   // flock
#include <sys/stat.h>   // mkdir, lstat, stat
#include <unistd.h>     // getuid, readlink

namespace {

const int MAX_INSTANCE_SLOTS = 64;

struct PathState {
    bool temp_known = false;
    std::string temp;
    std::string exe;
    std::string data;         // "" until start-up has found the data: the program's folder
    int instance_slot = 0;    // 0 until claimed
    int instance_lock = -1;   // held open (and locked) for the process's life
};
PathState paths;

std::string with_slash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
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

// The folder above the program's, with its slash: "/usr/" for "/usr/games/".
std::string parent_of_exe_folder(std::string* exe_folder_name)
{
    std::string folder = exe_folder();
    folder.pop_back();
    size_t slash = folder.find_last_of('/');
    if (slash == std::string::npos) return "../";
    *exe_folder_name = folder.substr(slash + 1);
    return folder.substr(0, slash + 1);
}

bool lock_slot(int slot)
{
    std::string name = "instance-" + std::to_string(slot) + ".lock";
    int fd = open((paths.temp + name).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    paths.instance_lock = fd;
    return true;
}

std::string find_temp_folder()
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

}   // namespace

const std::string& temp_folder()
{
    if (!paths.temp_known) {
        paths.temp = find_temp_folder();
        paths.temp_known = true;
    }
    return paths.temp;
}

void reset_temp_folder()
{
    paths.temp_known = false;
}

const std::string& exe_path()
{
    if (paths.exe.empty()) {
        char buffer[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n > 0) paths.exe.assign(buffer, static_cast<size_t>(n));
    }
    return paths.exe;
}

std::string exe_folder()
{
    const std::string& path = exe_path();
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::vector<std::string> data_folder_candidates(const std::string& chosen)
{
    std::vector<std::string> folders;
    if (!chosen.empty()) folders.push_back(with_slash(chosen));
    folders.push_back(exe_folder());
    std::string exe_folder_name;
    std::string prefix = parent_of_exe_folder(&exe_folder_name);
    folders.push_back(
        prefix + (exe_folder_name == "games" ? "share/games/snowbelter/" : "share/snowbelter/"));
    std::string own = user_data_folder();
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

std::string first_folder_holding(const std::vector<std::string>& folders, const char* marker)
{
    for (const std::string& folder : folders) {
        struct stat st;
        if (stat((folder + marker).c_str(), &st) == 0 && S_ISREG(st.st_mode)) return folder;
    }
    return "";
}

void set_data_folder(const std::string& folder)
{
    paths.data = with_slash(folder);
}

std::string data_folder()
{
    return paths.data.empty() ? exe_folder() : paths.data;
}

bool enter_data_folder()
{
    return chdir(data_folder().c_str()) == 0;
}

std::string user_data_folder()
{
    std::string data_home = xdg_home_folder("XDG_DATA_HOME", ".local/share");
    return data_home.empty() ? data_home : data_home + "snowbelter/";
}

bool folder_writable(const std::string& folder)
{
    return !folder.empty() && access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string config_folder()
{
    std::string config_home = xdg_home_folder("XDG_CONFIG_HOME", ".config");
    return config_home.empty() ? std::string() : config_home + "snowbelter/";
}

int claim_instance_slot()
{
    if (paths.instance_slot) return paths.instance_slot;
    paths.instance_slot = 1;
    if (temp_folder().empty()) return paths.instance_slot;
    for (int slot = 1; slot <= MAX_INSTANCE_SLOTS; ++slot) {
        if (lock_slot(slot)) {
            paths.instance_slot = slot;
            break;
        }
    }
    return paths.instance_slot;
}

int instance_slot()
{
    return paths.instance_slot ? paths.instance_slot : 1;
}

std::string name_for_instance(const std::string& name)
{
    int slot = instance_slot();
    if (slot == 1) return name;
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) dot = name.size();
    return name.substr(0, dot) + "-" + std::to_string(slot) + name.substr(dot);
}

int open_file_nofollow(const std::string& path, bool truncate)
{
    int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (truncate ? O_TRUNC : O_APPEND);
    return open(path.c_str(), flags, 0600);
}
