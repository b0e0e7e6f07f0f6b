/*
 * santa.h - Santa, the player character: walking with the view scrolling
 * under him, ladders, the fixed-arc jump, the fatal fall from a ledge, death
 * and revival with a blinking shield, and his scripted moves in the finale.
 *
 * update_santa runs once per frame from the round loop and publishes his
 * position and shield in santa_status, which the hazards and the sleigh
 * parts read; they answer through its hit and carried_part.
 *
 * Callers: the round loop (update_santa, add_santa), the hazards (santa_touches).
 * Not for: the finale phases that the round or the reindeer advance.
 */
#pragma once

// The three walkable heights of Santa's top edge.
constexpr double GROUND_Y = 191;
constexpr double MIDDLE_FLOOR_Y = 121;
constexpr double TOP_FLOOR_Y = 51;

// Santa's screen x at round start (the screen centre, where the view follows him).
constexpr double SANTA_START_X = 160;
// Frames of invulnerability at round start and after each revival.
constexpr double SHIELD_FRAMES = 110;
// Frame of ANIM_SANTA that is his collision mask, never drawn.
constexpr int SANTA_MASK_FRAME = 31;

// Appends the one Santa record of a round: at the start position, shielded.
void add_santa();

// One frame of Santa: input, movement, animation, drawing, the ledge test.
// His drawing stays inside: he is drawn where he stands before the ledge
// test moves him.  True once he has flown far off screen at the end of the
// finale (the round then hands over to the end screen).
bool update_santa();

// Whether frame `frame` of strip `strip` at world (x, y) overlaps Santa's
// mask at the position he published last.
bool santa_touches(int strip, int frame, double x, double y);
