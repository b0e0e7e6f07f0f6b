/*
 * drawing.h - which frames of a replay the renderer really draws.
 *
 * On the software renderer a drawn frame costs milliseconds (a 640 x 480
 * picture cleared, given its background, doubled and presented), while the
 * game's own work for a frame costs microseconds; a round of 18000 frames
 * would take minutes.  Nothing the game decides depends on drawn pixels
 * (collisions use the sprites' masks), so a replay draws only the frames
 * whose pictures someone looks at, and clips every other frame to a 1 x 1
 * scissor box, which leaves the game's work exactly as it was.
 *
 * A frame's picture also depends on the background it starts from, which
 * the game captures from its drawing only in the frame in which it enters a
 * screen (menu, story, round, end).  So the frames drawn are those where the
 * screen changes and those a screenshot is taken of.  Where the screen
 * changes is learnt by a first, undrawn pass of the same replay, which
 * plays the game identically.
 *
 * "Frame n is drawn" means: everything between the start of show_screen
 * call n - 1 and the start of call n is drawn, i.e. the clear and background
 * that begin frame n's picture and the game's drawing for it.
 *
 * Callers: the replay runner.  Not for: deciding what the game draws.
 */
#pragma once

#include <vector>

#include "game/shell/replay_script.h"

// The frames a replay with these screen changes and this script must draw,
// sorted, without repeats.
std::vector<int> frames_to_draw(const std::vector<int>& screen_changes, const ReplayScript& script);

// Whether frame is in the sorted list.
bool frame_drawn(const std::vector<int>& drawn, int frame);

// Draws (true) or clips everything to a 1 x 1 box (false) from now on.
void set_drawing(bool on);
