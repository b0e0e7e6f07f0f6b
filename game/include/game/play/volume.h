/*
 * volume.h - the music volume keys shared by the main menu and the round
 * (Page Up and Page Down step the music volume, with a cooldown between
 * steps), and the effects level that scales every sound effect.
 *
 * Callers: the main menu and the round, once per frame; start-up and the
 * options screen (the effects level).  Not for: the music player itself
 * (media/music.h).
 */
#pragma once

// Music volume limits and step, and the frames between two steps.
constexpr double MUSIC_VOLUME_CEILING = 1.1;
constexpr double MUSIC_VOLUME_FLOOR = 0;
constexpr double MUSIC_VOLUME_STEP = 0.05;
constexpr int VOLUME_STEP_COOLDOWN = 10;

// One frame of the volume keys: Page Up raises the music volume while it is
// below 1.1, Page Down lowers it while it is above 0, each only when
// the volume cooldown is 0; then the volume goes to the music player and the
// cooldown counts down.
void update_music_volume();

// One step of the music volume up (+1) or down (-1), as the keys take it
// (up only below 1.1, down only above 0); false when there was no room.
bool step_music_volume(int direction);

// The effects level, 0 (silence) to 10 (the device's full level): every
// effect plays at volumes.sound, which is the full level x level / 10.
constexpr int EFFECTS_LEVEL_FULL = 10;
void set_full_effects_volume(double volume);
void set_effects_level(int level);   // clamped to 0..10
int effects_level();

// Called after every step the volume keys take (the shell saves the
// settings then); null for none.
void set_volume_changed_hook(void (*hook)());
