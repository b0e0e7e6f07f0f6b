/*
 * sound.h - the sound system and the 2048 sound effect slots.
 *
 * Owns the audio device (through SDL_mixer) and the slot table.  A slot holds
 * one decoded WAV sample and 1 to 4 buffers that play it; several buffers
 * let one effect sound several times at once.  play_sound answers with a
 * channel number, id x 256 + buffer index, which sound_playing and
 * stop_sound take back; a negative channel means nothing plays.
 *
 * Without an audio device the mixer runs on SDL's silent "dummy" driver, so
 * the game behaves the same, silently.  If even that cannot start, every slot
 * stays empty and play_sound returns -1.
 *
 * Callers: start-up (sound_init), shut-down (sound_shutdown), the game
 * (load_sound, play_sound), music.cpp (sound_system_ready), tests.
 * Not for: music (music.h) or WAV parsing (wav.h).
 */
#pragma once

constexpr int SOUND_SLOT_COUNT = 2048;
constexpr int SOUND_MAX_BUFFERS = 4;
constexpr int SOUND_CHANNELS_PER_SLOT = 256;   // channel = id x 256 + buffer

// Opens the audio device (the dummy driver when there is none), makes the
// slots, all empty, and has music_init check the MP3 decoder.  Logs one line
// when it falls back or fails.
void sound_init();

// Empties the slots from the last to the first, releases a piece of music
// still loaded (music_shutdown), then closes the device.
void sound_shutdown();

// True while the mixer is open (on a real or the dummy device).
bool sound_system_ready();

// Loads a WAV file, resolved through the general archive, into slot id with
// buffers clamped to 1..4.  The slot's old sample is released first.  A
// missing or malformed file, or no sound system, leaves the slot empty.
// Sets no run-time status.  Ids outside 0..2047 are ignored.
void load_sound(const char* name, int id, int buffers);

// Plays the slot once: pan -1 (left) to 1 (right), volume 0 to 1 (clamped).
// Returns the channel, or -1 when the slot is empty, there is no sound
// system, or the slot has one buffer that is still playing (a one-buffer
// effect is never restarted).
int play_sound(int id, double pan, double volume);

// 1 while the channel's buffer plays, else 0 (0 for a negative channel).
int sound_playing(int channel);

// Stops the channel's buffer; the next play starts from the beginning.
void stop_sound(int channel);

// Stops every buffer of every slot.
void stop_all_sounds();

// The slot's buffer count; 0 for an empty slot or an id outside the table.
int sound_buffer_count(int id);

// The file a slot was loaded from, as resolved ("" for an empty slot).
const char* sound_file_name(int id);

// Attenuation and pan in hundredths of a decibel, as play_sound computes
// them: volume x 100 - 10000 (0 full, -10000 silence) after clamping volume
// to 0..1 in whole hundredths; pan x 10000 after clamping pan to -1..1
// (negative: the right side is attenuated by that much, positive: the left).
struct SoundLevels {
    int attenuation;
    int pan;
};
SoundLevels sound_levels(double pan, double volume);

// The mixer's equivalent of those levels: the channel volume 0..128 and the
// left and right panning gains 0..255, each the decibel value turned into an
// amplitude factor.
struct MixerLevels {
    int volume;
    int left;
    int right;
};
MixerLevels mixer_levels(SoundLevels levels);

// The mixer channel the channel's buffer last played on, or -1 (tests and
// diagnostics: Mix_Volume of it tells what play_sound set).
int sound_mixer_channel(int channel);
