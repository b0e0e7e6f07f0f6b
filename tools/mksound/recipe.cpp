#include "recipe.h"

#include "notation.h"

namespace {

bool read_seconds(const std::vector<std::string>& words, std::size_t at, double& seconds)
{
    return at < words.size() && parse_number(words[at], seconds) && seconds >= 0.0 &&
           seconds <= 60.0;
}

// "freq F [F2]": the second value is optional, so it is taken only when it
// reads as a frequency.
bool read_freq(const std::vector<std::string>& words, std::size_t& at, Tone& tone)
{
    if (at + 1 >= words.size() || !parse_frequency(words[at + 1], tone.freq_from)) return false;
    tone.freq_to = tone.freq_from;
    at += 2;
    if (at < words.size() && parse_frequency(words[at], tone.freq_to)) ++at;
    return true;
}

// Reads the settings after "tone WAVE"; returns "" or what is wrong.
std::string read_tone(const std::vector<std::string>& words, Tone& tone)
{
    bool held = false;
    for (std::size_t at = 2; at < words.size();) {
        const std::string& word = words[at];
        if (word == "at" || word == "hold") {
            double& field = word == "at" ? tone.start : tone.hold;
            if (!read_seconds(words, at + 1, field)) return "bad value of '" + word + "'";
            held = held || (word == "hold" && field > 0.0);
            at += 2;
        } else if (word == "freq") {
            if (!read_freq(words, at, tone)) return "bad value of 'freq'";
        } else {
            Setting setting = read_sound_setting(words, at, tone);
            if (setting == Setting::Bad) return "bad value of '" + word + "'";
            if (setting == Setting::Unknown) return "unknown setting '" + word + "'";
        }
    }
    return held ? "" : "a tone needs 'hold' greater than 0";
}

std::string read_statement(const std::vector<std::string>& words, Recipe& recipe)
{
    if (words[0] == "rate") {
        double rate = 0;
        if (words.size() != 2 || !parse_number(words[1], rate) || !valid_rate(rate))
            return "rate must be 22050 or 44100";
        recipe.rate = static_cast<int>(rate);
        return "";
    }
    if (words[0] == "tone") {
        Tone tone;
        if (words.size() < 2 || !parse_wave(words[1], tone.wave)) return "unknown wave";
        tone.seed = static_cast<std::uint32_t>(recipe.tones.size() + 1);
        std::string fault = read_tone(words, tone);
        if (fault.empty()) recipe.tones.push_back(tone);
        return fault;
    }
    return "unknown statement '" + words[0] + "'";
}

}   // namespace

bool parse_recipe(const std::string& text, Recipe& recipe, std::string& error)
{
    recipe = Recipe{};
    const auto read = [&recipe](const std::vector<std::string>& words) {
        return read_statement(words, recipe);
    };
    if (!read_statements(text, read, error)) return false;
    if (recipe.tones.empty()) {
        error = "the recipe has no tone";
        return false;
    }
    return true;
}
