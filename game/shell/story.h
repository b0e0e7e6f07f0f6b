/*
 * story.h - the story screen shown at the start of every round: why Santa's
 * sleigh must be mended.
 *
 * Callers: the round, once after its set-up and before play.  Not for:
 * anything the round itself draws.
 */
#pragma once

// Frames after opening during which the jump key is ignored.
constexpr int STORY_KEY_COOLDOWN = 30;

// Draws the story once as the background, lets snow fall over it and returns
// on the frame the jump binding is seen down once the cooldown has run out.
void show_story();
