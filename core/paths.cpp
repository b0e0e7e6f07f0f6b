/*
 * paths.cpp - the private temporary folder and the program's own path.
 *
 * Needs: host_files.h for everything the platform decides.
 */
#include "core/paths.h"

#include "core/host_files.h"

namespace {

const int MAX_INSTANCE_SLOTS = 64;

struct PathState {
    bool temp_known = false;
    std::string temp;
    std::string exe;
    std::string data;        // "" until start-up has found the data: the program's folder
    int instance_slot = 0;   // 0 until claimed
};
PathState paths;

std::string with_slash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
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
    return host_hold_lock_file(paths.temp + "instance-" + std::to_string(slot) + ".lock");
}

}   // namespace

const std::string& temp_folder()
{
    if (!paths.temp_known) {
        paths.temp = host_private_temp_folder();
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
    if (paths.exe.empty()) paths.exe = host_program_path();
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
    for (const std::string& folder : host_installed_data_folders(prefix, exe_folder_name))
        folders.push_back(folder);
    return folders;
}

std::string first_folder_holding(const std::vector<std::string>& folders, const char* marker)
{
    for (const std::string& folder : folders) {
        if (host_is_regular_file(folder + marker)) return folder;
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
    return host_enter_folder(data_folder());
}

std::string user_data_folder()
{
    return host_user_data_folder();
}

bool folder_writable(const std::string& folder)
{
    return host_folder_writable(folder);
}

std::string config_folder()
{
    return host_config_folder();
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
    return host_create_file(path, truncate ? HostCreate::TRUNCATE : HostCreate::APPEND);
}
