/*
 * test_host_windows.cpp - test_host.h on Windows: folders under
 * GetTempPathW's, _putenv_s, TMP (which GetTempPathW reads first).
 */
#include <cstdlib>
#include <process.h>
#include <string>
#include <windows.h>

#include "support/test_host.h"

const char* const TEMP_FOLDER_VARIABLE = "TMP";

std::string make_test_folder()
{
    char temp[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n > MAX_PATH) return "";
    std::string base = std::string(temp, n);
    for (char& c : base)
        if (c == '\\') c = '/';
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        std::string folder = base + "snowtest-" + std::to_string(_getpid()) + "-" +
                             std::to_string(GetTickCount() + attempt);
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder + "/";
    }
    return "";
}

void set_environment(const char* name, const char* value, bool replace)
{
    if (!replace && std::getenv(name)) return;
    _putenv_s(name, value ? value : "");
}

int test_process_id()
{
    return _getpid();
}

std::string runtime_temp_folder_in(const std::string& folder)
{
    std::string with_slash = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    return with_slash + "Snowbelter/";
}
