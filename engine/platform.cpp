/*
 * platform.cpp - platform_info, over the sources of host_system.h.
 *
 * Needs: SDL for GL entry points and the host's answers (host_system.h).
 */
#include "engine/platform.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <vector>

#include "engine/host_system.h"

namespace {

const char* const NO_DATA = "NO_DATA";
const char* const GLEXT_PREFIX = "GLEXT:";
const int GLEXT_PREFIX_LENGTH = 6;
const char* const HOST_ID = "534E4F57";
const double UNKNOWN_BATTERY = 255;

std::string first_line_of(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

StringValue compile_time_text()
{
    return StringValue(__DATE__ "-" __TIME__);
}

StringValue current_time_text()
{
    return local_time_text(host_local_time(std::time(nullptr)));
}

StringValue documents_folder()
{
    std::string folder = host_documents_folder();
    if (folder.empty()) return NO_DATA;
    return string_replace(StringValue(folder.c_str()), "\\", "/");
}

// GLX hands out a pointer for any name at all, so a pointer alone proves
// nothing.  A name counts as available when it has the shape of a GL entry
// point, resolves, and is either a core entry point the GL library exports
// or ends in the tag of a vendor whose extensions the driver offers
// (glActiveTextureARB with some GL_ARB_ extension).
bool looks_like_gl_entry_point(const std::string& name)
{
    if (name.size() < 3 || name.compare(0, 2, "gl") != 0 ||
        !std::isupper(static_cast<unsigned char>(name[2]))) {
        return false;
    }
    return std::all_of(name.begin(), name.end(),
                       [](unsigned char c) { return std::isalnum(c) || c == '_'; });
}

// The vendor tags of the driver's extensions: "ARB" for GL_ARB_multitexture.
std::vector<std::string> extension_vendors()
{
    std::vector<std::string> vendors;
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    std::string extensions = list ? list : "";
    size_t start = 0;
    while ((start = extensions.find("GL_", start)) != std::string::npos) {
        size_t end = extensions.find('_', start + 3);
        if (end == std::string::npos) break;
        std::string vendor = extensions.substr(start + 3, end - start - 3);
        if (std::find(vendors.begin(), vendors.end(), vendor) == vendors.end())
            vendors.push_back(vendor);
        start = end;
    }
    return vendors;
}

bool ends_with(const std::string& text, const std::string& tail)
{
    return text.size() > tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool gl_entry_point_available(const std::string& name)
{
    if (!looks_like_gl_entry_point(name) || SDL_GL_GetProcAddress(name.c_str()) == nullptr)
        return false;
    if (host_gl_library_exports(name.c_str())) return true;
    for (const std::string& vendor : extension_vendors()) {
        if (vendor.size() >= 2 && ends_with(name, vendor)) return true;
    }
    return false;
}

// A GL extension name (GL_...) is asked of the driver's extension list,
// anything else is taken as an entry point name.
bool gl_name_available(const char* name)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_GL_GetCurrentContext()) return false;
    if (std::strncmp(name, "GL_", 3) == 0) return SDL_GL_ExtensionSupported(name) == SDL_TRUE;
    return gl_entry_point_available(name);
}

}   // namespace

StringValue local_time_text(const std::tm& parts)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return text;
}

double battery_percent_in(const std::string& power_supply_folder)
{
    DIR* dir = opendir(power_supply_folder.c_str());
    if (!dir) return UNKNOWN_BATTERY;
    std::vector<std::string> supplies;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.') supplies.push_back(entry->d_name);
    }
    closedir(dir);
    std::sort(supplies.begin(), supplies.end());
    for (const std::string& supply : supplies) {
        std::string folder = power_supply_folder + "/" + supply;
        if (first_line_of(folder + "/type") != "Battery") continue;
        std::string capacity = first_line_of(folder + "/capacity");
        if (capacity.empty() || !std::isdigit(static_cast<unsigned char>(capacity[0]))) continue;
        return std::min(std::atof(capacity.c_str()), 100.0);
    }
    return UNKNOWN_BATTERY;
}

StringValue language_code_for(const char* locale_name)
{
    std::string code;
    for (const char* p = locale_name ? locale_name : ""; *p && !std::strchr("_.@", *p); ++p) {
        code += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    }
    if (code == "el") code = "gr";
    if (code == "du") code = "nl";
    if (code == "po") code = "pl";
    if (code == "en" || code == "am" || code == "c") code = "us";
    bool two_letters = code.size() == 2 && std::isalpha(static_cast<unsigned char>(code[0])) &&
                       std::isalpha(static_cast<unsigned char>(code[1]));
    return two_letters ? code.c_str() : "us";
}

StringValue platform_info(StringValue& key)
{
    StringValue original = key;
    string_upper_in_place(key);
    if (key.empty()) return "WIN32";
    if (std::strncmp(key.c_str(), GLEXT_PREFIX, GLEXT_PREFIX_LENGTH) == 0) {
        return gl_name_available(original.c_str() + GLEXT_PREFIX_LENGTH) ? "1" : "0";
    }
    if (key == "ID") return host_machine_id().c_str();
    if (key == "DEVICE") return "DESKTOP";
    if (key == "TIME") return current_time_text();
    if (key == "BATTERY") return string_from_number(host_battery_percent());
    if (key == "COMPILED") return compile_time_text();
    if (key == "HOSTID") return HOST_ID;
    if (key == "LOCALE") return language_code_for(host_locale_name().c_str());
    if (key == "DOCUMENTS") return documents_folder();
    return NO_DATA;
}
