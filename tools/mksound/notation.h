/* Notation: the words shared by the effect recipes (recipe.h) and the
   scores (score.h) — splitting a line into words, numbers, note names,
   frequencies and wave names. Called by the two readers only; it is not a
   reader of either format. */
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "synth.h"

// The blank-separated words of one line, up to a word that starts with
// "#": the rest of the line is a comment ("F#3" is a word, not a comment).
std::vector<std::string> split_words(const std::string& line);

// The lines of a text, with "\r\n" and "\n" both ending a line.
std::vector<std::string> split_lines(const std::string& text);

// Hands the words of every line that has any to read_statement, which
// answers "" or what is wrong.  Stops at the first fault and puts it in
// `error` as "line N: fault"; true when every statement was read.
using StatementReader = std::function<std::string(const std::vector<std::string>& words)>;
bool read_statements(const std::string& text, const StatementReader& read_statement,
                     std::string& error);

// A whole word read as a decimal number ("0.25", "-3", "1e3"). The reading
// functions leave their result untouched when the word does not fit.
bool parse_number(const std::string& word, double& value);

// A note name: letter A-G, optional "#" or "b", octave 0-9, as in "C4",
// "F#3", "Bb5". The result is the MIDI number (C4 = 60, A4 = 69).
bool parse_note_name(const std::string& word, int& midi);

// A key name: letter A-G with optional "#" or "b", no octave ("C", "Eb").
// The result is the pitch class, 0 (C) to 11 (B).
bool parse_key_name(const std::string& word, int& pitch_class);

// Equal temperament, A4 = 440 Hz.
double midi_frequency(int midi);

// A frequency written either as a note name or as a number of hertz.
bool parse_frequency(const std::string& word, double& hertz);

// "pulse", "triangle", "sine", "noise" or "metal".
bool parse_wave(const std::string& word, Wave& wave);

// Outcome of reading one setting of a tone's sound.
enum class Setting {
    Unknown,
    Read,
    Bad
};

// Reads the sound setting that starts at words[at] into `tone`, if it is one
// of "duty D", "volume V", "attack S", "decay S", "sustain L", "release S"
// or "vibrato RATE DEPTH", and moves `at` past its values. Unknown leaves
// both untouched; Bad means a missing or out-of-range value.
Setting read_sound_setting(const std::vector<std::string>& words, std::size_t& at, Tone& tone);

// The sample rates the game's sound files may use.
bool valid_rate(double rate);
