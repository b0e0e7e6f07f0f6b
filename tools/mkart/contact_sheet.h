/*
 * contact_sheet.h - one review picture of every strip the tool made.
 *
 * Each strip is shown doubled, as the player sees it, frame by frame on a
 * chequered ground (so transparent pixels show), with its file name above
 * it and each frame's number above the frame.
 *
 * Callers: main.cpp.  Not for: the game (the sheet is never loaded).
 */
#pragma once

#include <vector>

#include "picture.h"
#include "strip.h"

// font: the game's font strip (ASCII 32 up), used for the file names.
Picture build_contact_sheet(const std::vector<Strip>& strips, const Strip& font);
