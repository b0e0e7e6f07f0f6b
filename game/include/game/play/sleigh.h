/*
 * sleigh.h - the goal of a round: the eight sleigh parts (carried one at a
 * time to the sleigh on the middle floor at the left end) and the four
 * reindeer of the finale.
 *
 * Finale phases: 0 play; 1 the view pans right and 2 the reindeer arrive
 * (both advanced by the round loop); 3 the reindeer swoop in and the leader
 * pans the view back (ends here when a reindeer sits at its place); 4 to 30
 * Santa's walk, hop and wait (santa.cpp); 30 everyone flies off left, and
 * once Santa is far off screen the round is won.
 *
 * Callers: round set-up (add_sleigh_part), the round loop (the updates,
 * add_reindeer_team).  Not for: Santa's own
 * moves in the finale (santa.h).
 */
#pragma once

// Parts in the sleigh when the finale starts (PARTS_FITTED_AT_START, in
// world.h, when a round starts).
constexpr double PARTS_IN_SLEIGH = 8;
constexpr double POINTS_PER_PART = 1000;

// Appends a part: lying in the level (state 1) or already fitted (state 0).
void add_sleigh_part(double x, double y, double id, double state);

// Where part id sits in the sleigh.
double sleigh_slot_x(double id);
double sleigh_slot_y(double id);

// Delivery, drawing and pick-up of every part (pause stops nothing here).
// Each part is drawn between its delivery and its pick-up: a part picked up
// shows in that frame, and the carried part is hidden from the next.
void update_sleigh_parts();

// Appends the four reindeer of the finale, high at the right edge.
void add_reindeer_team();

// Wing beats, the swoop and the flight of every reindeer (not paused).
// Only the leader pans the view, and it flies first, so every reindeer is
// drawn at the view of the frame's end.
void update_reindeer();
void draw_reindeer();
