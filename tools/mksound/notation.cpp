#include "notation.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

// Semitones above C of the natural notes A to G.
constexpr int LETTER_SEMITONES[7] = {9, 11, 0, 2, 4, 5, 7};

// Reads letter and accidental from the front of the word; returns how many
// characters they took (0 when the word does not start with a note letter).
std::size_t parse_pitch_class(const std::string& word, int& pitch_class)
{
    if (word.empty() || word[0] < 'A' || word[0] > 'G') return 0;
    pitch_class = LETTER_SEMITONES[word[0] - 'A'];
    if (word.size() > 1 && (word[1] == '#' || word[1] == 'b')) {
        pitch_class += word[1] == '#' ? 1 : -1;
        return 2;
    }
    return 1;
}

}   // namespace

std::vector<std::string> split_words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word && word[0] != '#';) words.push_back(word);
    return words;
}

std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool read_statements(const std::string& text, const StatementReader& read_statement,
                     std::string& error)
{
    const std::vector<std::string> lines = split_lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string> words = split_words(lines[i]);
        if (words.empty()) continue;
        const std::string fault = read_statement(words);
        if (!fault.empty()) {
            error = "line " + std::to_string(i + 1) + ": " + fault;
            return false;
        }
    }
    return true;
}

bool parse_number(const std::string& word, double& value)
{
    if (word.empty()) return false;
    char* end = nullptr;
    const double read = std::strtod(word.c_str(), &end);
    if (*end != '\0' || !std::isfinite(read)) return false;
    value = read;
    return true;
}

bool parse_note_name(const std::string& word, int& midi)
{
    int pitch_class = 0;
    std::size_t used = parse_pitch_class(word, pitch_class);
    if (used == 0 || word.size() != used + 1) return false;
    char octave = word[used];
    if (octave < '0' || octave > '9') return false;
    midi = 12 * (octave - '0' + 1) + pitch_class;
    return true;
}

bool parse_key_name(const std::string& word, int& pitch_class)
{
    int read = 0;
    std::size_t used = parse_pitch_class(word, read);
    if (used == 0 || used != word.size()) return false;
    pitch_class = (read + 12) % 12;
    return true;
}

double midi_frequency(int midi)
{
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

bool parse_frequency(const std::string& word, double& hertz)
{
    int midi = 0;
    if (parse_note_name(word, midi)) {
        hertz = midi_frequency(midi);
        return true;
    }
    double number = 0;
    if (!parse_number(word, number) || number <= 0.0) return false;
    hertz = number;
    return true;
}

bool parse_wave(const std::string& word, Wave& wave)
{
    static const struct {
        const char* name;
        Wave wave;
    } WAVES[] = {{"pulse", Wave::Pulse},
                 {"triangle", Wave::Triangle},
                 {"sine", Wave::Sine},
                 {"noise", Wave::Noise},
                 {"metal", Wave::Metal}};
    for (const auto& entry : WAVES)
        if (word == entry.name) {
            wave = entry.wave;
            return true;
        }
    return false;
}

namespace {

struct SettingRange {
    const char* name;
    double low, high;   // the value must lie in [low, high]
    double& (*field)(Tone&);
};

const SettingRange SETTINGS[] = {
    {"duty", 0.01, 0.99, [](Tone& t) -> double& { return t.duty; }},
    {"volume", 0.0, 1.0, [](Tone& t) -> double& { return t.volume; }},
    {"attack", 0.0, 10.0, [](Tone& t) -> double& { return t.env.attack; }},
    {"decay", 0.0, 10.0, [](Tone& t) -> double& { return t.env.decay; }},
    {"sustain", 0.0, 1.0, [](Tone& t) -> double& { return t.env.sustain; }},
    {"release", 0.0, 10.0, [](Tone& t) -> double& { return t.env.release; }},
};

bool read_value(const std::vector<std::string>& words, std::size_t at, double low, double high,
                double& value)
{
    return at < words.size() && parse_number(words[at], value) && value >= low && value <= high;
}

}   // namespace

Setting read_sound_setting(const std::vector<std::string>& words, std::size_t& at, Tone& tone)
{
    const std::string& name = words[at];
    if (name == "vibrato") {
        double rate = 0, depth = 0;
        if (!read_value(words, at + 1, 0.0, 100.0, rate) ||
            !read_value(words, at + 2, 0.0, 0.5, depth))
            return Setting::Bad;
        tone.vibrato_rate = rate;
        tone.vibrato_depth = depth;
        at += 3;
        return Setting::Read;
    }
    for (const SettingRange& setting : SETTINGS) {
        if (name != setting.name) continue;
        double value = 0;
        if (!read_value(words, at + 1, setting.low, setting.high, value)) return Setting::Bad;
        setting.field(tone) = value;
        at += 2;
        return Setting::Read;
    }
    return Setting::Unknown;
}

bool valid_rate(double rate)
{
    return rate == 22050.0 || rate == 44100.0;
}
