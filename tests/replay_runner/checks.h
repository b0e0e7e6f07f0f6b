/*
 * checks.h - what a replay asserts of its screen pictures (its field
 * checks are the game's own, game_state.h).
 *
 * Picture checks compare a saved screen (PNG) with a
 * reference PNG pixel by pixel; on a mismatch they write the actual picture
 * and a difference picture (differing pixels red, the others a dimmed copy
 * of the reference) beside the test output, so the failure can be looked at.
 *
 * Callers: the replay runner and its unit test.  Not for: taking the
 * pictures or the state (the runner does that).
 */
#pragma once

#include <string>

#include "game/shell/game_state.h"
#include "game/shell/replay_script.h"
#include "media/image.h"

struct PictureDifference {
    bool same_size;
    long differing;   // pixels whose RGBA differ (when the sizes agree)
};
PictureDifference compare_pictures(const DecodedImage& actual, const DecodedImage& reference);

// Differing pixels red, equal ones the reference at a quarter brightness;
// empty when the sizes differ.
DecodedImage difference_picture(const DecodedImage& actual, const DecodedImage& reference);

// Reads and decodes a PNG file; false when it cannot.
bool read_png_file(const std::string& path, DecodedImage* image);

// Compares the PNG at actual_path with the reference PNG.  Returns "" when at
// most `tolerance` pixels differ; otherwise writes output_stem + ".actual.png"
// (and ".diff.png" when the sizes agree) and returns a message.
std::string check_picture(const std::string& actual_path, const std::string& reference_path,
                          const std::string& output_stem, long tolerance);
