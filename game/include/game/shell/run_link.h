/*
 * run_link.h - a replay script as a link: the page's address fragment
 * "watch=" followed by the script deflated as a zlib stream (RFC 1950:
 * deflate with its header and Adler-32 sum, so a link damaged in the
 * copying is refused rather than played as another run) and written in
 * base64url without padding (RFC 4648 section 5).
 *
 * A link comes from elsewhere, so decoding it is hostile ground: the text
 * is bounded before it is decoded, the script is inflated a piece at a
 * time and given up once it passes MAX_LINK_SCRIPT_BYTES (never from a
 * size the link claims), and any letter outside base64url, any damage to
 * the stream and anything after its end is refused.  Whether the script
 * parses is the watch's question (watch.h), not this module's.
 *
 * Pure: no file, no platform, no game state.  Callers: the watch (--watch
 * LINK), the share seam (share.h), the fuzz target and tests.  Not for:
 * the script format (replay_script.h) or the page's address (share.h).
 */
#pragma once

#include <cstddef>
#include <string>

// The longest script a link may hold, decoded.
constexpr std::size_t MAX_LINK_SCRIPT_BYTES = std::size_t{256} * 1024;

// What a link's fragment starts with: "watch=".
extern const char* const RUN_LINK_KEY;

// Why a link was refused.
enum class LinkFault {
    none,
    bad_letters,   // not base64url
    damaged,       // not one whole zlib stream: cut short, changed, or more after it
    too_long,      // the link, or the script it holds, passes the bound
};

// "watch=" + base64url(zlib stream of script).
std::string run_link_payload(const std::string& script);

// Whether the text is a link rather than a file's name: it holds "#watch="
// or starts with "watch=".
bool is_run_link(const std::string& text);

// The script a pasted link or a bare fragment holds (blanks around it are
// the copying's and are left out).  Anything but LinkFault::none leaves
// *script empty.
LinkFault decode_run_link(const std::string& link, std::string* script);
