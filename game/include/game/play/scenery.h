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

// Advances and draws every light; lights ignore pause.
void update_lights();

// Moves (unless paused) and draws every present.
void update_presents();

// Animates (unless paused) and draws every conveyor segment.
void update_conveyors();

// Lets every snowflake fall and drift, and draws it; snow ignores pause.
void update_snow();

// The night sky across the whole screen (ten 32-pixel strips).
void draw_sky();

// The pine trees, the slow parallax layer: at a quarter of scroll_x.
void draw_trees();

// The winter backdrop of the menu and the end screen: the sky, the pine
// trees at a quarter of scroll_x, and a row of snowy ground tiles at the
// bottom.
void draw_winter_backdrop();
