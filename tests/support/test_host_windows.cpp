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

// The tests name files with the C runtime's narrow calls, which take the
// ANSI code page: their folders go by their short (8.3) names, which are
// ASCII whatever the user's folder is called.
std::string make_test_folder()
{
    wchar_t temp[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) return "";
    wchar_t short_temp[MAX_PATH + 1];
    n = GetShortPathNameW(temp, short_temp, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return "";
    std::string base;
    for (const wchar_t* c = short_temp; *c; ++c) base += *c == L'\\' ? '/' : char(*c);
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
