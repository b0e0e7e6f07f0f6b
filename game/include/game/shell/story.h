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
