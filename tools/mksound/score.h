/* Score: reads a tune (a .score file of assets/sound) into notes, and turns
   the notes into tones for the synth (synth.h). Called by the sound set
   (soundset.h); it reads no files itself.

   Score format, one statement per line; a word
   starting with "#" begins a comment that runs to the end of the line:

     rate HZ              sample rate: 22050 or 44100 (default 44100)
     tempo BPM            quarter notes per minute, a whole number (120)
     meter BEATS          quarter-note beats per bar: 4 for 4/4, 3 for 3/4;
                          before the first part (4)
     key K                the tonic: C, F#, Bb, ... (C)
     play loop|once       loop: the tune repeats without a seam; it lasts
                          exactly the song, and what still rings at the end
                          is heard at the start. once: it plays its last
                          note and rings out. (once)
     voice NAME WAVE SETTING...
                          an instrument; WAVE and the settings as in a
                          recipe (recipe.h: duty, volume, attack, decay,
                          sustain, release, vibrato), and also
                            gate G    fraction of each note's length it is
                                      held before its release (0.9)
                            pitch F   frequency of its hits "x", in hertz
                                      or as a note name
     part NAME            starts a part, which runs to the line "end";
       VOICE: NOTES...    inside it, the notes of one voice; several lines
                          of one voice follow each other
     end
     song STEP STEP ...   the order of the tune; a step is a part, or parts
                          joined by "+" that play together ("verse+rhythm");
                          several song lines follow each other

   Notes, separated by blanks:

     C4/4  F#3/8.  Bb5/2  a pitch (C4 is middle C) and its length: /1 whole,
                          /2 half, /4 quarter, /8, /16, /32; a "." adds half
                          again. Without "/N" the voice's previous length in
                          this part is kept (a quarter at the part's start).
     r/4                  a rest
     x/8                  a hit at the voice's pitch (drums, bells)
     C4/2~                "~" ties the note to the next, which must have the
                          same pitch: the two sound as one
     |                    a bar line: the bar before it must be full
     %                    repeats the previous bar (a bar line may follow)

   Every voice of a part must end on a full bar, all voices of a part must
   last equally long, and a voice missing from a part rests through it. */
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "synth.h"

// Ticks per quarter note: fine enough for dotted thirty-seconds.
constexpr long TICKS_PER_BEAT = 48;

// The pitch of a hit "x", which sounds at its voice's own frequency.
constexpr int HIT_PITCH = -1;

struct Voice {
    std::string name;
    Tone sound;          // wave, duty, volume, envelope, vibrato of its notes
    double gate = 0.9;   // fraction of a note's length held before release
    double hit_freq = 1000.0;
};

struct Note {
    int voice = 0;     // index into Score::voices
    long start = 0;    // ticks from the start of the song
    long length = 0;   // ticks
    int pitch = 0;     // MIDI number, or HIT_PITCH
};

struct Score {
    int rate = 44100;
    int tempo = 120;
    long meter = 4;
    int tonic = 0;   // pitch class of the key, 0 (C) to 11 (B)
    bool loop = false;
    std::vector<Voice> voices;
    std::vector<Note> notes;   // in song order
    long length = 0;           // ticks of the whole song
};

// Reads a whole score text. On a fault returns false and describes it in
// `error` as "line N: what is wrong".
bool parse_score(const std::string& text, Score& score, std::string& error);

// Index of the voice with this name, or -1.
int find_voice(const Score& score, const std::string& name);

// The tones of the song played `plays` times back to back.
std::vector<Tone> score_tones(const Score& score, int plays);

// Frames of the finished tune: for a loop exactly one play of the song
// (a whole number of frames, checked by parse_score); otherwise until the
// last note has rung out.
std::size_t score_frames(const Score& score);
