#include "soundset.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "recipe.h"
#include "wav.h"

namespace {

bool ends_with(const std::string& text, const std::string& ending)
{
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

bool render_recipe(const std::string& text, RenderedSound& sound, std::string& error)
{
    Recipe recipe;
    if (!parse_recipe(text, recipe, error)) return false;
    const std::size_t frames = tones_frames(recipe.tones, recipe.rate);
    sound.rate = recipe.rate;
    sound.samples = to_pcm16(mix_tones(recipe.tones, recipe.rate, frames, false), EFFECT_PEAK);
    return true;
}

bool render_score(const std::string& text, RenderedSound& sound, std::string& error)
{
    Score score;
    if (!parse_score(text, score, error)) return false;
    sound.rate = score.rate;
    sound.samples = to_pcm16(score_mix(score), TUNE_PEAK);
    return true;
}

}   // namespace

const std::vector<SoundSource>& sound_sources()
{
    static const std::vector<SoundSource> SOURCES = {
        {"jump.sfx", "jump.wav"},       {"pickup05.sfx", "pickup05.wav"},
        {"drop06.sfx", "drop06.wav"},   {"santa.score", "santa.wav"},
        {"filler.score", "filler.wav"},
    };
    return SOURCES;
}

bool read_text_file(const std::string& path, std::string& text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return static_cast<bool>(file);
}

std::vector<double> score_mix(const Score& score)
{
    return mix_tones(score_tones(score, 1), score.rate, score_frames(score), score.loop);
}

bool render_sound_file(const std::string& path, RenderedSound& sound, std::string& error)
{
    std::string text;
    if (!read_text_file(path, text)) {
        error = path + ": cannot be read";
        return false;
    }
    bool done = false;
    if (ends_with(path, ".sfx"))
        done = render_recipe(text, sound, error);
    else if (ends_with(path, ".score"))
        done = render_score(text, sound, error);
    else
        error = "neither .sfx nor .score";
    if (!done) error = path + ": " + error;
    return done;
}

bool build_sound_set(const std::string& out_dir, const std::string& asset_dir, std::string& error)
{
    std::error_code made;
    std::filesystem::create_directories(out_dir, made);
    for (const SoundSource& source : sound_sources()) {
        RenderedSound sound;
        if (!render_sound_file(asset_dir + "/" + source.source, sound, error)) return false;
        const std::string out_path = out_dir + "/" + source.output;
        if (!write_file(out_path, wav_bytes(sound.samples, sound.rate))) {
            error = out_path + ": cannot be written";
            return false;
        }
    }
    return true;
}
