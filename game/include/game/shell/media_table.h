/*
 * media_table.h - every picture the game loads: its id, its file and the
 * frame size it is cut into.
 *
 * One table serves the start-up (which loads each strip under its id), the
 * art tool (which draws each file at exactly that frame size) and the art
 * tests, so a picture and the code that cuts it can never disagree.
 */
#pragma once

#include <cstddef>

struct StripFile {
    int id;
    const char* file;   // the media name; the archive entry is its last part
    int frame_width;
    int frame_height;
};

// In load order.
extern const StripFile STRIP_FILES[];
extern const std::size_t STRIP_FILE_COUNT;

// The file name without its folder ("santa2.png").
const char* strip_entry_name(const StripFile& strip);
