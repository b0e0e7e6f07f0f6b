/*
 * fuzz_settings.cpp - settings.ini as start-up reads it, whatever a
 * half-written disk or a hand edit left in it: every value the reader takes
 * must be one the game can use, and what the game then writes must read
 * back as the same settings without a complaint.
 */
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "game/play/volume.h"
#include "game/shell/key_names.h"
#include "game/shell/settings.h"
#include "media/keymap.h"

namespace {

const SavedSettings DEFAULTS = {
    {KEY_CURSOR_UP, KEY_CURSOR_DOWN, KEY_CURSOR_LEFT, KEY_CURSOR_RIGHT, KEY_LEFT_CTRL, KEY_ENTER},
    0.5,
    true};
constexpr int KEY_COUNT = 6;
constexpr double WRITTEN_VOLUME_STEP = 0.005;   // the volume is written to two decimals

void check(bool holds, const char* what)
{
    if (holds) return;
    std::fprintf(stderr, "settings: %s\n", what);
    std::abort();
}

void check_usable(const SavedSettings& settings)
{
    for (int i = 0; i < KEY_COUNT; ++i) {
        const double code = settings.keys[i];
        check(code >= 1 && code <= 255 && code == std::floor(code), "a key outside the table");
        check(*key_table_name(int(code)) != '\0', "a key without a name");
    }
    check(settings.music_volume >= MUSIC_VOLUME_FLOOR &&
              settings.music_volume <= MUSIC_VOLUME_CEILING + WRITTEN_VOLUME_STEP,
          "a volume out of range");
}

void read_text(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> complaints;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const SavedSettings read = settings_from_text(text, DEFAULTS, &complaints);
    check_usable(read);
    std::vector<std::string> second_complaints;
    const SavedSettings again =
        settings_from_text(settings_text(read), DEFAULTS, &second_complaints);
    check(second_complaints.empty(), "what the game writes draws a complaint");
    for (int i = 0; i < KEY_COUNT; ++i) check(again.keys[i] == read.keys[i], "a key changed");
    check(std::fabs(again.music_volume - read.music_volume) <= WRITTEN_VOLUME_STEP + 1e-12,
          "the volume changed");
    check(again.fullscreen == read.fullscreen, "the display choice changed");
}

}   // namespace

SNOW_FUZZ_TARGET(read_text)
