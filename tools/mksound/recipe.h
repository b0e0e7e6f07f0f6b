/* Recipe: reads a sound effect recipe (an .sfx file of assets/sound) into tones.
   Called by the sound set (soundset.h); the tones are mixed by synth.h.

   Recipe format, one statement per line; a word
   starting with "#" begins a comment that runs to the end of the line:

     rate HZ                  sample rate of the effect: 22050 or 44100
                              (default 44100)
     tone WAVE SETTING...     one layer of the effect; WAVE is pulse,
                              triangle, sine, noise or metal

   Settings of a tone, in any order:

     at SECONDS               when it starts (default 0)
     hold SECONDS             how long until it is let go (required, > 0)
     freq F [F2]              its frequency, in hertz or as a note name
                              ("E6"); with F2 it glides exponentially from F
                              to F2 over the hold. For noise, the rate at
                              which a new random level is drawn.
     duty D                   pulse: fraction of a cycle spent high
     volume V                 peak amplitude, 0 to 1
     attack S, decay S, sustain L, release S
                              the envelope (seconds, and a level 0 to 1)
     vibrato RATE DEPTH       pitch wobble in hertz and as a fraction

   The effect lasts until its last tone has been released; it is scaled to
   a common peak level when it is written. */
#pragma once

#include <string>
#include <vector>

#include "synth.h"

struct Recipe {
    int rate = 44100;
    std::vector<Tone> tones;
};

// Reads a whole recipe text. On a fault returns false and describes it in
// `error` as "line N: what is wrong".
bool parse_recipe(const std::string& text, Recipe& recipe, std::string& error);
