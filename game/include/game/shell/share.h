/*
 * share.h - a run shared as a link.  In the browser the page's address,
 * without its fragment, followed by "#" and the run's payload
 * (run_link.h) goes on the clipboard; where the browser refuses the
 * clipboard, the page shows the link for the player to copy (web/share.js).
 * The desktop has no page to link to, and offers no Share.
 *
 * A platform seam: share_web.cpp for the browser, share_desktop.cpp for
 * Linux and Windows.  Callers: a screen that offers Share (asks
 * sharing_offered first), and the browser page's hook for the tests
 * (web/hooks.js, snowbelter.share).  Not for: encoding the link
 * (run_link.h) or watching one (watch.h).
 */
#pragma once

#include <string>

// Whether this platform can share a run (the browser: yes; the desktop: no).
bool sharing_offered();

// Shares the replay script's text as a link (above); nothing where
// sharing_offered() is false.  The clipboard answers later: the call
// returns at once.
void share_run(const std::string& script);
