/*
 * santa.h - Santa, the player character: walking with the view scrolling
 * under him, ladders, the fixed-arc jump, the fatal fall from a ledge, death
 * and revival with a blinking shield, and his scripted moves in the finale.
 *
 * His three steps run once per frame from the round loop; the last
 * publishes his position and shield in santa_status, which the hazards and
 * the sleigh parts read; they answer through its hit and carried_part.
 *
 * Callers: the round loop (add_santa and the three steps), the hazards
 * (santa_touches).  Not for: the finale phases that the round or the reindeer advance.
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

// One frame of Santa, in three steps the round runs in this order: input,
// movement, animation, death and shield; his drawing; then the ledge test
// (a fall starts or goes on, so he is drawn where he stood before it) and
// the publishing of santa_status.  settle_santa is true once he has flown
// far off screen at the end of the finale (the round is then won).
void update_santa();
void draw_santa();
bool settle_santa();

// Whether frame `frame` of strip `strip` at world (x, y) overlaps Santa's
// mask at the position he published last.
bool santa_touches(int strip, int frame, double x, double y);
