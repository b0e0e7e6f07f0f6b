/*
 * checks.h - what a replay asserts: field values and screen pictures.
 *
 * Field checks compare the text of a snapshot field (game_state.h) with the
 * script's value.  Picture checks compare a saved screen (PNG) with a
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

// Whether a field's text matches a script value: "none" matches the empty
// text; two numbers match when they are equal as numbers; anything else
// must be the same text.
bool value_matches(const std::string& actual, const std::string& expected);

// "" when the snapshot's field has the value, else a message naming the
// field, the value wanted and the value found.
std::string check_field(const GameSnapshot& snapshot, const std::string& field,
                        const std::string& expected);

// "" when every field the script's checks name exists, else a message.
std::string check_field_names(const ReplayScript& script);

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
