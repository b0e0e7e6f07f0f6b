/*
 * volume.h - the music volume keys shared by the main menu and the round:
 * Page Up and Page Down step the music volume, with a cooldown between
 * steps.
 *
 * Callers: the main menu and the round, once per frame.  Not for: sound
 * effect volume (fixed at start-up).
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

// Called after every step the volume keys take (the shell saves the
// settings then); null for none.
void set_volume_changed_hook(void (*hook)());
