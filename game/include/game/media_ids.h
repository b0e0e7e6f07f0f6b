/*
 * media_ids.h - the ids under which start-up loads the game's pictures and
 * sounds.
 *
 * Callers: start-up and the media table (which load them), every screen and
 * entity that draws or plays them, the art tool (through the media table).
 * Not for: which file each id is cut from (game/shell/media_table.h).
 */
#pragma once

// Animation strips (sprite ids).  16, 17 and 18 are not used.
constexpr int ANIM_SANTA = 1;
constexpr int ANIM_TILES_LARGE = 2;
constexpr int ANIM_TILES = 3;
constexpr int ANIM_MAP = 4;
constexpr int ANIM_CAR = 5;
constexpr int ANIM_SKY = 6;
constexpr int ANIM_SLEIGH = 7;
constexpr int ANIM_PUDDINGS = 8;
constexpr int ANIM_SOLDIER = 9;
constexpr int ANIM_TREES = 10;
constexpr int ANIM_SNOW = 11;
constexpr int ANIM_CONVEYOR = 12;
constexpr int ANIM_LIGHTS = 13;
constexpr int ANIM_PRESENT = 14;
constexpr int ANIM_PLATFORM = 15;
constexpr int ANIM_FONT = 19;
constexpr int ANIM_LADDER = 20;
constexpr int ANIM_TITLE = 21;
constexpr int ANIM_DEER = 22;
constexpr int ANIM_CURSOR = 23;
constexpr int ANIM_LOGO1 = 24;
constexpr int ANIM_LOGO2 = 25;
constexpr int ANIM_LOGO3 = 26;
constexpr int ANIM_MERRY_CHRISTMAS = 27;

// Sound slots.
constexpr int SOUND_JUMP = 1;
constexpr int SOUND_PICKUP = 2;
constexpr int SOUND_DROP = 4;
