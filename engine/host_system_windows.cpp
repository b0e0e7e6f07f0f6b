/*
 * host_system_windows.cpp - host_system.h on Windows: the volume serial
 * number of C:, GetSystemPowerStatus, the documents known folder, the user
 * interface language, opengl32.dll's own exports, and the console of the
 * program that started this one.
 */
#include <cstdio>
#include <shlobj.h>
#include <windows.h>

#include "engine/host_system.h"

namespace {

const double UNKNOWN_BATTERY = 255;
const BYTE BATTERY_PERCENT_UNKNOWN = 255;

std::string utf8(const wchar_t* text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return "";
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(std::size_t(n - 1));
    return out;
}

}   // namespace

std::string host_machine_id()
{
    DWORD serial = 0;
    GetVolumeInformationW(L"C:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08lX", static_cast<unsigned long>(serial));
    return digits;
}

double host_battery_percent()
{
    SYSTEM_POWER_STATUS status;
    if (!GetSystemPowerStatus(&status) || status.BatteryLifePercent == BATTERY_PERCENT_UNKNOWN)
        return UNKNOWN_BATTERY;
    return status.BatteryLifePercent;
}

std::string host_documents_folder()
{
    wchar_t folder[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, folder) != S_OK) return "";
    return utf8(folder);
}

// "de-DE": language_code_for stops at the first "-" or "_".
std::string host_locale_name()
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH];
    if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name,
                         LOCALE_NAME_MAX_LENGTH, 0) == 0)
        return "C";
    std::string locale = utf8(name);
    for (char& c : locale)
        if (c == '-') c = '_';
    return locale;
}

std::tm host_local_time(std::time_t when)
{
    std::tm parts{};
    localtime_s(&parts, &when);
    return parts;
}

// Windows' GL library exports GL 1.1 and nothing later; the rest comes
// from the driver through wglGetProcAddress.
bool host_gl_library_exports(const char* name)
{
    HMODULE gl = GetModuleHandleW(L"opengl32.dll");
    return gl && GetProcAddress(gl, name) != nullptr;
}

// Windows always has its desktop.
bool host_desktop_named(std::string*)
{
    return true;
}

std::string host_desktop_name()
{
    return "of Windows";
}

// A GUI program starts without a console; one started from a command
// prompt may borrow that prompt's, so --help and --version are seen there.
// Output sent to a file or a pipe already has its way and keeps it.
void host_attach_console()
{
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN)
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}
