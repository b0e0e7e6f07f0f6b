/*
 * host_languages_desktop.cpp - host_languages.h on Linux and Windows: the
 * LANGUAGE variable's list as gettext reads it, then the locale.
 */
#include <cstdlib>

#include "engine/host_languages.h"
#include "engine/host_system.h"

std::vector<std::string> host_languages()
{
    std::vector<std::string> languages;
    const char* list = std::getenv("LANGUAGE");
    std::string rest = list ? list : "";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        if (colon != 0) languages.push_back(rest.substr(0, colon));
        rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
    }
    languages.push_back(host_locale_name());
    return languages;
}
