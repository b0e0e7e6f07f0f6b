/*
 * grouping_scene.h - a scene of overlapping quads that changes everything
 * quad grouping depends on between them: the texture, the alpha mode, the
 * smoothing, a grab taken mid-group and drawn back, and text.
 *
 * Callers: test_sprites (grouped against one by one on the desktop) and
 * grouping_twin (the same on the browser's GL, against the desktop's).
 * Not for: the game.
 */
#pragma once

// Draws the scene on the current picture, with sprites 50 and 51, strip 52
// (frames of 2 x 2) and font 0 loaded by the caller; grab 53 is made while
// drawing.  one_by_one draws every quad on its own, as drawing did before
// quads were grouped.
void draw_grouping_scene(bool one_by_one);
