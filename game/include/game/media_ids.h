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
enum AnimStrip : int {
    ANIM_SANTA = 1,
    ANIM_TILES_LARGE = 2,
    ANIM_TILES = 3,
    ANIM_MAP = 4,
    ANIM_CAR = 5,
    ANIM_SKY = 6,
    ANIM_SLEIGH = 7,
    ANIM_PUDDINGS = 8,
    ANIM_SOLDIER = 9,
    ANIM_TREES = 10,
    ANIM_SNOW = 11,
    ANIM_CONVEYOR = 12,
    ANIM_LIGHTS = 13,
    ANIM_PRESENT = 14,
    ANIM_PLATFORM = 15,
    ANIM_FONT = 19,
    ANIM_LADDER = 20,
    ANIM_TITLE = 21,
    ANIM_DEER = 22,
    ANIM_CURSOR = 23,
    ANIM_LOGO1 = 24,
    ANIM_LOGO2 = 25,
    ANIM_LOGO3 = 26,
    ANIM_MERRY_CHRISTMAS = 27,
};

// Sound slots.
enum SoundSlot : int {
    SOUND_JUMP = 1,
    SOUND_PICKUP = 2,
    SOUND_DROP = 4,
};
