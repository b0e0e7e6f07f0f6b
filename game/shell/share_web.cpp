/*
 * share_web.cpp - the browser: the link goes to the page (web/share.js),
 * which puts it on the clipboard or shows it.
 *
 * Needs: Emscripten (the build compiles this file for the browser only),
 * and the page's window.snowbelterShare.
 */
#include <emscripten/emscripten.h>

#include "game/shell/run_link.h"
#include "game/shell/share.h"

// The page's address without its fragment, "#" and the payload.
EM_JS(void, hand_link_to_page, (const char* payload),
      { window.snowbelterShare.share(UTF8ToString(payload)); });

bool sharing_offered()
{
    return true;
}

void share_run(const std::string& script)
{
    hand_link_to_page(run_link_payload(script).c_str());
}

extern "C" {

// The page's hook (web/hooks.js): shares a script's text as Share does.
EMSCRIPTEN_KEEPALIVE void snowbelter_share(const char* script)
{
    share_run(script);
}
}
