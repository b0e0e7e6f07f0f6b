/*
 * story.h - the story screen shown at the start of every round: why Santa's
 * sleigh must be mended.
 *
 * Callers: the menu's play_game, before every round (show_story in
 * game/screens.h).  Not for: anything the round itself draws.
 */
#pragma once

// Frames after opening during which the jump key is ignored.
constexpr int STORY_KEY_COOLDOWN = 30;
