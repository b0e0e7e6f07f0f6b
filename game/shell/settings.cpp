/*
 * settings.cpp - settings.ini: the language, then a few "name = value"
 * lines under four [sections], read leniently and written whole or not at
 * all.
 */
#include "game/shell/settings.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <unistd.h>

#include "core/log.h"
#include "core/media_source.h"
#include "core/paths.h"
#include "engine/options.h"
#include "engine/window.h"
#include "game/play/texts.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "game/shell/key_names.h"

namespace {

const char* const SETTINGS_FILE = "settings.ini";
const char* const KEY_SETTING_NAMES[BINDING_COUNT] = {"up",    "down", "left",
                                                      "right", "jump", "pause"};
constexpr int LAST_KEY_CODE = 255;
// A real settings file is a few hundred bytes; anything far larger is not one.
constexpr std::int64_t MAX_SETTINGS_BYTES = std::int64_t{64} * 1024;
// picture_fit's words, in PictureFit's order.
const char* const FIT_WORDS[] = {"whole", "fill"};
// The language setting's word for following the system.
const char* const SYSTEM_LANGUAGE = "system";

bool enabled = false;
bool held = false;
StorageTrouble trouble = StorageTrouble::none;

std::string trimmed(const std::string& text)
{
    std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// A whole number, or -1 for anything else.
long whole_number(const std::string& text)
{
    if (text.empty() || text.size() > 9) return -1;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    return std::strtol(text.c_str(), nullptr, 10);
}

// A scan code from its number or its name on the key screen; -1 when the
// key table has no such key.
int key_code_from(const std::string& value)
{
    long number = whole_number(value);
    if (number >= 1 && number <= LAST_KEY_CODE && *key_table_name(int(number))) return int(number);
    if (number >= 0) return -1;
    for (int code = 1; code <= LAST_KEY_CODE; ++code) {
        const char* name = key_table_name(code);
        if (*name && strcasecmp(name, value.c_str()) == 0) return code;
    }
    return -1;
}

bool read_volume(const std::string& value, double* volume)
{
    char* end = nullptr;
    double number = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0') return false;
    // The volume keys may overshoot the ceiling by a rounding error.
    if (!(number >= MUSIC_VOLUME_FLOOR && number <= MUSIC_VOLUME_CEILING + 1e-9)) return false;
    *volume = number;
    return true;
}

bool read_switch(const std::string& value, bool* on)
{
    if (value == "yes" || value == "1" || value == "true" || value == "on")
        *on = true;
    else if (value == "no" || value == "0" || value == "false" || value == "off")
        *on = false;
    else
        return false;
    return true;
}

bool read_effects(const std::string& value, int* level)
{
    long number = whole_number(value);
    if (number < 0 || number > EFFECTS_LEVEL_FULL) return false;
    *level = int(number);
    return true;
}

bool read_fit(const std::string& value, PictureFit* fit)
{
    if (value == FIT_WORDS[0])
        *fit = PictureFit::whole_pixels;
    else if (value == FIT_WORDS[1])
        *fit = PictureFit::fill;
    else
        return false;
    return true;
}

// One of the choices, or the word that stands for `none` (which is one).
template <std::size_t N>
bool read_choice(const std::string& value, const int (&choices)[N], int none, const char* word,
                 int* chosen)
{
    long number = value == word ? none : whole_number(value);
    for (int choice : choices) {
        if (number != choice || (choice == none && value != word)) continue;
        *chosen = choice;
        return true;
    }
    return false;
}

bool read_language(const std::string& value, std::string* language)
{
    if (value != SYSTEM_LANGUAGE && !language_offered(value)) return false;
    *language = value == SYSTEM_LANGUAGE ? "" : value;
    return true;
}

bool take_assist(const std::string& name, const std::string& value, Assists* rules)
{
    if (name == "speed") return read_choice(value, SPEED_CHOICES, -1, "", &rules->speed);
    if (name == "time_limit")
        return read_choice(value, TIME_LIMIT_CHOICES, TIME_LIMIT_NONE, "none", &rules->time_limit);
    if (name == "lives")
        return read_choice(value, LIVES_CHOICES, LIVES_UNLIMITED, "unlimited", &rules->lives);
    if (name == "safe_falls") return read_switch(value, &rules->safe_falls);
    return false;
}

// Takes one "name = value" of a section into *settings; false when the name
// or the value is not one of ours.
bool take_setting(const std::string& section, const std::string& name, const std::string& value,
                  SavedSettings* settings)
{
    if (section.empty() && name == "language") return read_language(value, &settings->language);
    if (section == "keys") {
        for (int i = 0; i < BINDING_COUNT; ++i) {
            if (name != KEY_SETTING_NAMES[i]) continue;
            int code = key_code_from(value);
            if (code < 0) return false;
            settings->keys[i] = code;
            return true;
        }
        return false;
    }
    if (section == "sound" && name == "music_volume")
        return read_volume(value, &settings->music_volume);
    if (section == "sound" && name == "effects") return read_effects(value, &settings->effects);
    if (section == "screen" && name == "fullscreen")
        return read_switch(value, &settings->fullscreen);
    if (section == "screen" && name == "picture_fit") return read_fit(value, &settings->fit);
    if (section == "assists") return take_assist(name, value, &settings->assists);
    return false;
}

void log_complaint(const std::string& complaint)
{
    log_line(("Settings: " + complaint).c_str());
}

SavedSettings current_settings()
{
    SavedSettings now = {
        {}, volumes.music, window_is_fullscreen(), effects_level(), picture_fit(), assists};
    now.language = language_choice();
    for (int i = 0; i < BINDING_COUNT; ++i) now.keys[i] = key_binding(i);
    return now;
}

// "en, de, ... or system": the words the language setting takes.
std::string language_words()
{
    std::string words;
    for (int i = 0; i < language_count(); ++i) words += std::string(language_code(i)) + ", ";
    return words.substr(0, words.size() - 2) + " or " + SYSTEM_LANGUAGE;
}

std::string assists_text(const Assists& rules)
{
    char text[320];
    std::snprintf(
        text, sizeof text,
        "\n[assists]\n"
        "speed = %d  # percent: 100, 90, 80, 70, 60 or 50\n"
        "time_limit = %s  # seconds: 300, 450 or none\n"
        "lives = %s  # 5, 9 or unlimited\n"
        "safe_falls = %s\n",
        rules.speed,
        rules.time_limit == TIME_LIMIT_NONE ? "none" : std::to_string(rules.time_limit).c_str(),
        rules.lives == LIVES_UNLIMITED ? "unlimited" : std::to_string(rules.lives).c_str(),
        rules.safe_falls ? "yes" : "no");
    return text;
}

}   // namespace

void enable_settings()
{
    enabled = true;
}

bool settings_enabled()
{
    return enabled && !held && !options().no_settings;
}

void hold_settings(bool hold)
{
    held = hold;
}

std::string settings_path()
{
    std::string folder = config_folder();
    return folder.empty() ? folder : folder + SETTINGS_FILE;
}

std::string settings_text(const SavedSettings& settings)
{
    std::string text = "# Snowbelter's settings, written by the game whenever they change.\n"
                       "# Keys are scan codes, named after the '#' as the key screen shows them.\n"
                       "\nlanguage = " +
                       (settings.language.empty() ? SYSTEM_LANGUAGE : settings.language) + "  # " +
                       language_words() + "\n\n[keys]\n";
    char line[96];
    for (int i = 0; i < BINDING_COUNT; ++i) {
        int code = int(settings.keys[i]);
        std::snprintf(line, sizeof line, "%s = %d  # %s\n", KEY_SETTING_NAMES[i], code,
                      key_table_name(code));
        text += line;
    }
    std::snprintf(line, sizeof line, "\n[sound]\nmusic_volume = %.2f\neffects = %d  # 0 to 10\n",
                  settings.music_volume, settings.effects);
    text += line;
    text += std::string("\n[screen]\nfullscreen = ") + (settings.fullscreen ? "yes" : "no") + "\n";
    text += std::string("picture_fit = ") + FIT_WORDS[int(settings.fit)] + "  # whole or fill\n";
    return text + assists_text(settings.assists);
}

SavedSettings settings_from_text(const std::string& text, const SavedSettings& defaults,
                                 std::vector<std::string>* complaints)
{
    SavedSettings settings = defaults;
    std::string section;
    std::size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        // A '#' after a blank starts a comment; "pause = #" names the # key.
        std::size_t comment = line.find(" #");
        if (comment != std::string::npos) line.erase(comment);
        line = trimmed(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = trimmed(line.substr(1, line.size() - 2));
            continue;
        }
        std::size_t equals = line.find('=');
        std::string name = equals == std::string::npos ? "" : trimmed(line.substr(0, equals));
        std::string value = equals == std::string::npos ? "" : trimmed(line.substr(equals + 1));
        if (name.empty() || !take_setting(section, name, value, &settings))
            complaints->push_back("line " + std::to_string(number) + " (" + log_excerpt(line) +
                                  ") cannot be used; that setting keeps its default");
    }
    return settings;
}

bool read_settings(const SavedSettings& defaults, SavedSettings* saved)
{
    *saved = defaults;
    std::string path = settings_path();
    if (!settings_enabled() || path.empty()) return false;
    std::int64_t size = 0;
    int fd = open_plain_for_reading(path.c_str(), &size);
    if (fd < 0) return false;
    ::close(fd);
    std::vector<unsigned char> bytes;
    if (size > MAX_SETTINGS_BYTES || !read_whole_media(path.c_str(), bytes)) {
        log_complaint(path + " cannot be read; every setting keeps its default");
        return false;
    }
    std::vector<std::string> complaints;
    *saved = settings_from_text(std::string(bytes.begin(), bytes.end()), defaults, &complaints);
    for (const std::string& complaint : complaints) log_complaint(complaint);
    return true;
}

void save_settings()
{
    std::string path = settings_path();
    if (!settings_enabled() || path.empty()) return;
    std::string text = settings_text(current_settings());
    const bool kept =
        replace_whole_file(path, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    const int error = errno;
    const StorageTrouble before = trouble;
    trouble = kept ? StorageTrouble::none : storage_trouble_of(error);
    if (!kept && trouble == StorageTrouble::none) trouble = StorageTrouble::other;
    if (!kept && trouble != before)
        log_complaint("cannot write " + path + " (" + std::strerror(error) +
                      "); the old settings stay");
}

StorageTrouble settings_trouble()
{
    return trouble;
}
