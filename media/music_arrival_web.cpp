/*
 * music_arrival_web.cpp - the page's word on its music archive.  web/page.js
 * sets Module.musicArchiveOnItsWay while it downloads the archive, and
 * clears it once the archive is written into the file system, or once the
 * download has failed (the game then stays silent, as with no archive).
 * The pieces started are listed in window.snowbelter.musicStarted.
 */
#include <emscripten.h>

#include "media/music_arrival.h"

namespace {

// clang-format off
EM_JS(int, page_music_on_its_way, (), {
    return Module.musicArchiveOnItsWay ? 1 : 0;
});

EM_JS(void, page_note_music_started, (const char* name), {
    const page = typeof window !== 'undefined' && window.snowbelter;
    if (page && page.musicStarted) page.musicStarted.push(UTF8ToString(name));
});
// clang-format on

}   // namespace

bool music_archive_on_its_way()
{
    return page_music_on_its_way() != 0;
}

void note_music_started(const char* name)
{
    page_note_music_started(name);
}
