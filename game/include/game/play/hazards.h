/*
 * hazards.h - the bouncing puddings and marching toy soldiers that patrol
 * the ground floor, each kind in its own zone of the level, and their
 * contact test with Santa.
 *
 * Touching a hazard sets santa_status.hit (Santa's own update turns it into
 * a death); while Santa's shield lasts, or once the hit is already set, no
 * test is made.  Hazards never die and never leave their zone.
 *
 * Callers: round set-up (add_pudding, add_soldier), the round loop (the
 * updates, once per frame).  Not for: Santa's reaction to a hit (santa.h).
 */
#pragma once

// Pudding and soldier ground heights (their pictures stand on the ground line).
constexpr double PUDDING_Y = 200;
constexpr double SOLDIER_Y = 197;
// Frames a soldier stands before it marches.
constexpr double SOLDIER_REST_FRAMES = 420;

// A pudding at (x, y) walking right (0) or left (1), at a random point of
// its bounce; its zone follows from x.
void add_pudding(double x, double y, double direction);

// A soldier at (x, SOLDIER_Y) facing direction, with rest_timer frames of
// its rest already behind it, patrolling zone 0 (left) or 1 (right).
void add_soldier(double x, double direction, double rest_timer, double zone);

// Move (unless paused), animate and test every member of the list against
// Santa; the draws only draw.
void update_puddings();
void draw_puddings();
void update_soldiers();
void draw_soldiers();
