/*
 * scenery.h - the background life of the level: fairy lights, presents on
 * their conveyor circuit, the conveyor belts and the falling snow.  None of
 * it touches Santa.
 *
 * Callers: the round loop (every routine, once per frame); the snow also
 * falls on the menu, key, story and end screens, which share the backdrops.  Not for: creating the
 * entities (round set-up and start-up do that).
 */
#pragma once

// Each kind moves in its update and only draws in its draw, so the round
// can keep its drawing order.

// Lights ignore pause.
void update_lights();
void draw_lights();

// Presents stop while paused.
void update_presents();
void draw_presents();

// Conveyor segments stop while paused.
void update_conveyors();
void draw_conveyors();

// Every snowflake falls and drifts; snow ignores pause.
void update_snow();
void draw_snow();

// The night sky across the whole screen (ten 32-pixel strips).
void draw_sky();

// The pine trees, the slow parallax layer: at a quarter of the scroll.
void draw_trees();

// The winter backdrop of the menu and the end screen: the sky, the pine
// trees at a quarter of the scroll, and a row of snowy ground tiles at the
// bottom.
void draw_winter_backdrop();
