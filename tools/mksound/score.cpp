#include "score.h"

#include <map>

#include "notation.h"

namespace {

// One voice's notes in the part being read.
struct PartVoice {
    std::vector<Note> notes;             // starts relative to the part
    long position = 0;                   // ticks written so far
    long bar_start = 0;                  // where the open bar began
    long note_length = TICKS_PER_BEAT;   // length of a note written without "/N"
    bool tied = false;                   // the last note ended with "~"
    bool after_repeat = false;           // the last word was "%"
    std::vector<Note> last_bar;          // the previous full bar, starts relative to it
};

struct Part {
    std::vector<Note> notes;   // starts relative to the part
    long length = 0;
};

struct Reader {
    Score& score;
    std::map<std::string, Part> parts;
    bool in_part = false;
    std::string part_name;
    std::map<int, PartVoice> part_voices;   // by voice index
};

long bar_ticks(const Score& score)
{
    return score.meter * TICKS_PER_BEAT;
}

std::string beats(long ticks)
{
    std::string text = std::to_string(ticks / TICKS_PER_BEAT);
    if (ticks % TICKS_PER_BEAT) text += " and " + std::to_string(ticks % TICKS_PER_BEAT) + "/48";
    return text;
}

// "4", "8.", "16": a note value and an optional dot.
bool read_length(const std::string& text, long& ticks)
{
    static const long VALUES[] = {1, 2, 4, 8, 16, 32};
    const bool dotted = !text.empty() && text.back() == '.';
    const std::string digits = dotted ? text.substr(0, text.size() - 1) : text;
    for (long value : VALUES) {
        if (digits != std::to_string(value)) continue;
        ticks = 4 * TICKS_PER_BEAT / value;
        if (dotted) ticks += ticks / 2;
        return true;
    }
    return false;
}

// Pitch of the head of a note word: a note name, "x" (HIT_PITCH) or "r"
// (rest, reported through `rest`).
bool read_pitch(const std::string& head, int& pitch, bool& rest)
{
    rest = head == "r";
    if (rest) return true;
    if (head == "x") {
        pitch = HIT_PITCH;
        return true;
    }
    return parse_note_name(head, pitch);
}

std::string read_note(const std::string& word, int voice, PartVoice& part)
{
    std::string body = word;
    const bool ties_on = !body.empty() && body.back() == '~';
    if (ties_on) body.pop_back();
    const std::size_t slash = body.find('/');
    if (slash != std::string::npos && !read_length(body.substr(slash + 1), part.note_length))
        return "bad note length in '" + word + "'";
    int pitch = 0;
    bool rest = false;
    if (!read_pitch(body.substr(0, slash), pitch, rest)) return "bad note '" + word + "'";
    if (rest && ties_on) return "a rest cannot be tied";
    if (part.tied) {
        if (rest || part.notes.back().pitch != pitch) return "'~' ties notes of different pitch";
        part.notes.back().length += part.note_length;
    } else if (!rest) {
        part.notes.push_back(Note{voice, part.position, part.note_length, pitch});
    }
    part.tied = ties_on;
    part.position += part.note_length;
    part.after_repeat = false;
    return "";
}

std::string close_bar(PartVoice& part, long bar)
{
    if (part.after_repeat && part.position == part.bar_start) return "";
    const long held = part.position - part.bar_start;
    if (held != bar) return "a bar holds " + beats(held) + " beats, not " + beats(bar);
    part.last_bar.clear();
    for (const Note& note : part.notes)
        if (note.start >= part.bar_start) {
            part.last_bar.push_back(note);
            part.last_bar.back().start -= part.bar_start;
        }
    part.bar_start = part.position;
    return "";
}

std::string repeat_bar(PartVoice& part, long bar)
{
    if (part.position != part.bar_start) return "'%' must stand at the start of a bar";
    if (part.position == 0 || part.tied) return "'%' needs a full bar before it";
    for (Note note : part.last_bar) {
        note.start += part.position;
        part.notes.push_back(note);
    }
    part.position += bar;
    part.bar_start = part.position;
    part.after_repeat = true;
    return "";
}

std::string read_voice_line(const std::vector<std::string>& words, Reader& reader)
{
    const std::string name = words[0].substr(0, words[0].size() - 1);
    const int voice = find_voice(reader.score, name);
    if (voice < 0) return "unknown voice '" + name + "'";
    PartVoice& part = reader.part_voices[voice];
    const long bar = bar_ticks(reader.score);
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::string fault = words[i] == "|"   ? close_bar(part, bar)
                            : words[i] == "%" ? repeat_bar(part, bar)
                                              : read_note(words[i], voice, part);
        if (!fault.empty()) return fault;
    }
    return "";
}

// Ends the part being read: every voice on a full bar, all equally long.
std::string close_part(Reader& reader)
{
    Part part;
    bool first = true;
    for (auto& [voice, notes] : reader.part_voices) {
        const std::string name = reader.score.voices[voice].name;
        if (notes.position != notes.bar_start) {
            std::string fault = close_bar(notes, bar_ticks(reader.score));
            if (!fault.empty()) return "voice " + name + ": " + fault;
        }
        if (notes.tied) return "voice " + name + " ends on a tie";
        if (!first && notes.position != part.length)
            return "voice " + name + " lasts " + beats(notes.position) + " beats, not " +
                   beats(part.length);
        part.length = notes.position;
        first = false;
        part.notes.insert(part.notes.end(), notes.notes.begin(), notes.notes.end());
    }
    if (part.length == 0) return "part '" + reader.part_name + "' is empty";
    reader.parts[reader.part_name] = part;
    reader.part_voices.clear();
    reader.in_part = false;
    return "";
}

std::string read_song_step(const std::string& step, Reader& reader)
{
    long length = -1;
    for (std::size_t from = 0; from <= step.size();) {
        std::size_t plus = step.find('+', from);
        if (plus == std::string::npos) plus = step.size();
        const std::string name = step.substr(from, plus - from);
        from = plus + 1;
        auto found = reader.parts.find(name);
        if (found == reader.parts.end()) return "unknown part '" + name + "'";
        const Part& part = found->second;
        if (length >= 0 && part.length != length)
            return "parts of '" + step + "' last differently long";
        length = part.length;
        for (Note note : part.notes) {
            note.start += reader.score.length;
            reader.score.notes.push_back(note);
        }
    }
    reader.score.length += length;
    return "";
}

std::string read_voice(const std::vector<std::string>& words, Score& score)
{
    Voice voice;
    if (words.size() < 3 || !parse_wave(words[2], voice.sound.wave)) return "voice NAME WAVE ...";
    if (find_voice(score, words[1]) >= 0) return "voice '" + words[1] + "' is already defined";
    voice.name = words[1];
    for (std::size_t at = 3; at < words.size();) {
        const std::string& word = words[at];
        const bool has_value = at + 1 < words.size();
        if (word == "gate") {
            if (!has_value || !parse_number(words[at + 1], voice.gate) || voice.gate <= 0.0 ||
                voice.gate > 1.0)
                return "bad value of 'gate'";
            at += 2;
        } else if (word == "pitch") {
            if (!has_value || !parse_frequency(words[at + 1], voice.hit_freq))
                return "bad value of 'pitch'";
            at += 2;
        } else {
            Setting setting = read_sound_setting(words, at, voice.sound);
            if (setting == Setting::Bad) return "bad value of '" + word + "'";
            if (setting == Setting::Unknown) return "unknown setting '" + word + "'";
        }
    }
    score.voices.push_back(voice);
    return "";
}

// A statement "NAME N" whose value must be a whole number in [low, high].
std::string read_whole(const std::vector<std::string>& words, long low, long high, long& value)
{
    double number = 0;
    if (words.size() != 2 || !parse_number(words[1], number) || number < low || number > high ||
        number != static_cast<long>(number))
        return "bad value of '" + words[0] + "'";
    value = static_cast<long>(number);
    return "";
}

std::string read_setting_statement(const std::vector<std::string>& words, Reader& reader)
{
    Score& score = reader.score;
    const std::string& name = words[0];
    long value = 0;
    if (name == "rate") {
        std::string fault = read_whole(words, 22050, 44100, value);
        if (!fault.empty() || !valid_rate(static_cast<double>(value)))
            return "rate must be 22050 or 44100";
        score.rate = static_cast<int>(value);
        return "";
    }
    if (name == "tempo") {
        std::string fault = read_whole(words, 20, 400, value);
        score.tempo = static_cast<int>(value);
        return fault;
    }
    if (name == "meter") {
        if (!reader.parts.empty()) return "'meter' must come before the first part";
        return read_whole(words, 1, 16, score.meter);
    }
    if (name == "key")
        return words.size() == 2 && parse_key_name(words[1], score.tonic) ? "" : "bad key";
    if (name == "play") {
        if (words.size() != 2 || (words[1] != "loop" && words[1] != "once"))
            return "play loop or play once";
        score.loop = words[1] == "loop";
        return "";
    }
    return "unknown statement '" + name + "'";
}

std::string read_statement(const std::vector<std::string>& words, Reader& reader)
{
    const std::string& name = words[0];
    if (reader.in_part) {
        if (name == "end" && words.size() == 1) return close_part(reader);
        if (name.size() > 1 && name.back() == ':') return read_voice_line(words, reader);
        return "expected 'VOICE:' or 'end' inside a part";
    }
    if (name == "voice") return read_voice(words, reader.score);
    if (name == "part") {
        if (words.size() != 2) return "part NAME";
        if (reader.parts.count(words[1])) return "part '" + words[1] + "' is already defined";
        reader.in_part = true;
        reader.part_name = words[1];
        return "";
    }
    if (name == "song") {
        for (std::size_t i = 1; i < words.size(); ++i) {
            std::string fault = read_song_step(words[i], reader);
            if (!fault.empty()) return fault;
        }
        return "";
    }
    return read_setting_statement(words, reader);
}

// A looping tune must last a whole number of frames, or every repeat would
// drift by a fraction of a sample.
std::string check_song(const Score& score)
{
    if (score.length == 0) return "the score has no song";
    if (score.loop && (score.length * score.rate * 60) % (score.tempo * TICKS_PER_BEAT) != 0)
        return "a looping song must last a whole number of samples at this tempo";
    return "";
}

}   // namespace

bool parse_score(const std::string& text, Score& score, std::string& error)
{
    score = Score{};
    Reader reader{score, {}, false, {}, {}};
    const auto read = [&reader](const std::vector<std::string>& words) {
        return read_statement(words, reader);
    };
    if (!read_statements(text, read, error)) return false;
    std::string fault =
        reader.in_part ? "part '" + reader.part_name + "' has no 'end'" : check_song(score);
    if (!fault.empty()) error = "end of score: " + fault;
    return fault.empty();
}

int find_voice(const Score& score, const std::string& name)
{
    for (std::size_t i = 0; i < score.voices.size(); ++i)
        if (score.voices[i].name == name) return static_cast<int>(i);
    return -1;
}

std::vector<Tone> score_tones(const Score& score, int plays)
{
    const double tick = 60.0 / (score.tempo * TICKS_PER_BEAT);
    std::vector<Tone> tones;
    for (int play = 0; play < plays; ++play)
        for (std::size_t i = 0; i < score.notes.size(); ++i) {
            const Note& note = score.notes[i];
            const Voice& voice = score.voices[note.voice];
            Tone tone = voice.sound;
            tone.start = (play * score.length + note.start) * tick;
            tone.hold = note.length * tick * voice.gate;
            tone.freq_from = tone.freq_to =
                note.pitch == HIT_PITCH ? voice.hit_freq : midi_frequency(note.pitch);
            // Seeded by the note, not the play, so every repeat sounds alike.
            tone.seed = static_cast<std::uint32_t>(i + 1);
            tones.push_back(tone);
        }
    return tones;
}

std::size_t score_frames(const Score& score)
{
    if (score.loop)
        return static_cast<std::size_t>(score.length * score.rate * 60 /
                                        (score.tempo * TICKS_PER_BEAT));
    return tones_frames(score_tones(score, 1), score.rate);
}
