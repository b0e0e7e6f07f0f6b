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
#include <sys/stat.h>   // mkdir, lstat
#include <unistd.h>     // getuid, readlink

namespace {

struct PathState {
    bool temp_known = false;
    std::string temp;
    std::string exe;
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

bool enter_exe_folder()
{
    return chdir(exe_folder().c_str()) == 0;
}

int open_file_nofollow(const std::string& path, bool truncate)
{
    int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (truncate ? O_TRUNC : O_APPEND);
    return open(path.c_str(), flags, 0600);
}
