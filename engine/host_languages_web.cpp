/*
 * host_languages_web.cpp - host_languages.h in a browser page: the page's
 * navigator.languages ("de-DE", "en"), or navigator.language where a
 * browser has no list.
 */
#include <emscripten.h>

#include "engine/host_languages.h"

namespace {

// A language tag is far shorter ("zh-Hant-TW"): a longer one is cut.
constexpr int TAG_BYTES = 64;

EM_JS(int, page_language_count, (), {
    return (navigator.languages && navigator.languages.length) ? navigator.languages.length
                                                               : (navigator.language ? 1 : 0);
});

EM_JS(void, page_language, (int index, char* tag, int size), {
    var tags = (navigator.languages && navigator.languages.length) ? navigator.languages
                                                                   : [navigator.language];
    stringToUTF8(String(tags[index]), tag, size);
});

}   // namespace

std::vector<std::string> host_languages()
{
    std::vector<std::string> languages;
    const int count = page_language_count();
    for (int i = 0; i < count; ++i) {
        char tag[TAG_BYTES] = {};
        page_language(i, tag, TAG_BYTES);
        languages.emplace_back(tag);
    }
    return languages;
}
