/*
 * music.h - one piece of music at a time, optionally looping.
 *
 * Owns the playing piece (an SDL_mixer music stream), its name, the music
 * volume last sent to the mixer and the loop deadline.  A looping piece is
 * restarted from its beginning each time its length has passed since its
 * last start, whether or not it has finished: the frame cycle calls
 * music_loop_check once per frame and while it waits paused.
 *
 * Volumes are on a 0-to-1 scale, sent to the mixer as thousandths (0 to
 * 1000, larger values clamped) only when they change; starting or stopping
 * a piece forgets the sent volume, so the next set_music_volume is sent.
 *
 * Without an MP3 decoder in the mixer, MP3 pieces stay silent (one log line
 * at start-up says so); a missing file plays nothing.  Neither is reported
 * to the game.  A piece asked for while the music archive is still on its
 * way (a browser page downloading it, music_arrival.h) starts at the first
 * music_loop_check after the archive lands, at the volume last set.
 *
 * Callers: the game (play_music, stop_music, set_music_volume), the frame
 * cycle (music_loop_check), sound.cpp (music_init once the mixer is open),
 * shut-down (music_shutdown), tests.  Not for: sound effects (sound.h).
 */
#pragma once

// The length a piece counts as when it reports less (milliseconds).
constexpr double MUSIC_MIN_LENGTH_MS = 500;
constexpr int MUSIC_VOLUME_UNITS = 1000;   // what a volume of 1.0 is sent as

// Checks the mixer's MP3 decoder; logs one line when there is none.
void music_init();

// Stops any piece, then resolves name through the music archive (an archive
// entry is unpacked to a temporary file) and plays it from the start, at
// volume 1.0.  loop nonzero: restart it whenever its length has elapsed.
void play_music(const char* name, double loop);

// Restarts a looping piece whose deadline has come (runtime clock).
void music_loop_check();

// Stops and releases the piece; forgets the loop deadline and the volume.
void stop_music();

// Sends volume (1.0 = full) to the mixer if it differs from the volume
// last stored and a piece is loaded; stores it either way.
void set_music_volume(double volume);

// Shut-down: releases the piece as stop_music does.
void music_shutdown();

// What the music state holds, for tests and diagnostics.
double music_loop_deadline();   // runtime-clock ms; 0 = not looping
double music_length_ms();       // of the loaded piece; 0 when none
double music_stored_volume();   // -1 = the next set_music_volume is sent
bool music_loaded();
const char* music_file_name();   // the name play_music was last given

// The mixer volume (0..128) a music volume is sent as.
int mixer_music_volume(double volume);
