/*
 * host_system_posix.cpp - host_system.h on Linux and in the browser (through
 * Emscripten's POSIX layer): /etc/machine-id, /sys for the battery, the XDG
 * user-dirs file for the documents folder, the locale variables for the
 * language, and DISPLAY or WAYLAND_DISPLAY for the desktop.
 */
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/host_system.h"
#include "engine/platform.h"

namespace {

const char* const POWER_SUPPLY_FOLDER = "/sys/class/power_supply";
const int MACHINE_ID_DIGITS = 8;

bool is_directory(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string first_line_of(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

bool env_set(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

std::string home_folder()
{
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

std::string without_trailing_slash(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs: a quoted path that is
// either absolute or starts with $HOME, with backslash escapes.
std::string xdg_documents_folder(const std::string& home)
{
    const char* config_home = std::getenv("XDG_CONFIG_HOME");
    std::string config = (config_home && *config_home) ? config_home : home + "/.config";
    std::ifstream in(config + "/user-dirs.dirs");
    const std::string key = "XDG_DOCUMENTS_DIR=";
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) != 0) continue;
        std::string quoted = line.substr(key.size());
        if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return "";
        std::string value;
        for (size_t i = 1; i + 1 < quoted.size(); ++i) {
            if (quoted[i] == '\\' && i + 2 < quoted.size()) ++i;
            value += quoted[i];
        }
        if (value.compare(0, 5, "$HOME") == 0) return home + value.substr(5);
        return value.empty() || value[0] != '/' ? "" : value;
    }
    return "";
}

}   // namespace

std::string host_machine_id()
{
    std::string id = first_line_of("/etc/machine-id");
    bool usable = id.size() >= static_cast<size_t>(MACHINE_ID_DIGITS) &&
                  std::all_of(id.begin(), id.begin() + MACHINE_ID_DIGITS,
                              [](unsigned char c) { return std::isxdigit(c) != 0; });
    if (!usable) {
        char host[256] = {};
        gethostname(host, sizeof host - 1);
        unsigned hash = 2166136261u;   // FNV-1a of the host name
        for (const char* p = host; *p; ++p)
            hash = (hash ^ static_cast<unsigned char>(*p)) * 16777619u;
        char digits[16];
        std::snprintf(digits, sizeof digits, "%08X", hash);
        return digits;
    }
    std::string digits = id.substr(0, MACHINE_ID_DIGITS);
    for (char& c : digits) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return digits;
}

std::string host_documents_folder()
{
    std::string home = home_folder();
    if (home.empty()) return "";
    std::string folder = xdg_documents_folder(home);
    // A documents entry that names the home folder itself means "disabled".
    if (without_trailing_slash(folder) == without_trailing_slash(home)) folder.clear();
    if (!is_directory(folder)) folder = home + "/Documents";
    return is_directory(folder) ? folder : "";
}

std::string host_locale_name()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return "C";
}

double host_battery_percent()
{
    return battery_percent_in(POWER_SUPPLY_FOLDER);
}

std::tm host_local_time(std::time_t when)
{
    std::tm parts{};
    localtime_r(&when, &parts);
    return parts;
}

bool host_gl_library_exports(const char* name)
{
    return dlsym(RTLD_DEFAULT, name) != nullptr;
}

bool host_desktop_named(std::string* cause)
{
    if (env_set("DISPLAY") || env_set("WAYLAND_DISPLAY") || env_set("SDL_VIDEODRIVER")) return true;
    *cause = "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
    return false;
}

std::string host_desktop_name()
{
    if (env_set("DISPLAY")) return std::getenv("DISPLAY");
    if (env_set("WAYLAND_DISPLAY")) return std::getenv("WAYLAND_DISPLAY");
    return "(none)";
}

void host_attach_console() {}
