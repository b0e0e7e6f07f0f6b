// The game's words in the language in use.
#include "game/play/texts.h"

#include <strings.h>

#include "core/log.h"
#include "engine/host_languages.h"
#include "game/play/draw.h"
#include "game/play/language_files.h"
#include "game/play/language_table.h"

namespace {

constexpr int ENGLISH = 0;

struct LanguageState {
    std::vector<LanguageTable> tables;   // LANGUAGE_FILES' order
    std::string choice;                  // "" follows the system
    int in_use = ENGLISH;
};
LanguageState state;

// The tables, read at first use; the build has checked them, so a
// complaint here means a program built without that check.
const std::vector<LanguageTable>& tables()
{
    if (!state.tables.empty()) return state.tables;
    for (int i = 0; i < LANGUAGE_FILE_COUNT; ++i) {
        const LanguageFile& file = LANGUAGE_FILES[i];
        std::vector<std::string> complaints;
        state.tables.push_back(
            language_table_from_text(std::string(file.text, file.size), &complaints));
        for (const std::string& complaint : complaints)
            log_line((std::string("Texts: ") + file.code + ": " + complaint).c_str());
    }
    return state.tables;
}

int language_index(const std::string& code)
{
    for (int i = 0; i < LANGUAGE_FILE_COUNT; ++i)
        if (code == LANGUAGE_FILES[i].code) return i;
    return -1;
}

// "de-AT.UTF-8@euro" as "de_AT".
std::string plain_tag(std::string tag)
{
    tag = tag.substr(0, tag.find_first_of(".@"));
    for (char& c : tag)
        if (c == '-') c = '_';
    return tag;
}

std::string first_part(const std::string& tag)
{
    return tag.substr(0, tag.find('_'));
}

// The language matching tag whole, else by first part; -1 for none.
int language_matching(const std::string& tag)
{
    const std::string plain = plain_tag(tag);
    for (int i = 0; i < LANGUAGE_FILE_COUNT; ++i)
        if (strcasecmp(plain.c_str(), LANGUAGE_FILES[i].code) == 0) return i;
    for (int i = 0; i < LANGUAGE_FILE_COUNT; ++i) {
        if (strcasecmp(first_part(plain).c_str(), first_part(LANGUAGE_FILES[i].code).c_str()) == 0)
            return i;
    }
    return -1;
}

}   // namespace

int language_count()
{
    return LANGUAGE_FILE_COUNT;
}

const char* language_code(int index)
{
    return LANGUAGE_FILES[index].code;
}

bool language_offered(const std::string& code)
{
    return language_index(code) >= 0;
}

const std::string& language_own_name(const std::string& code)
{
    static const std::string none;
    const int index = language_index(code);
    return index < 0 ? none : tables()[index].texts[int(TextKey::language_name)];
}

std::string language_for_tags(const std::vector<std::string>& tags)
{
    for (const std::string& tag : tags) {
        const int index = language_matching(tag);
        if (index >= 0) return LANGUAGE_FILES[index].code;
    }
    return LANGUAGE_FILES[ENGLISH].code;
}

void choose_language(const std::string& choice)
{
    state.choice = language_offered(choice) ? choice : "";
    const std::string code = state.choice.empty() ? language_for_tags(host_languages()) : choice;
    state.in_use = language_index(code);
}

const std::string& language_choice()
{
    return state.choice;
}

std::string language_in_use()
{
    return LANGUAGE_FILES[state.in_use].code;
}

const std::string& text_for(TextKey key)
{
    const LanguageTable& table = tables()[state.in_use];
    return table.has[int(key)] ? table.texts[int(key)] : tables()[ENGLISH].texts[int(key)];
}

TextKey not_kept_key(KeptFile file, StorageTrouble trouble)
{
    const bool result = file == KeptFile::result;
    switch (trouble) {
    case StorageTrouble::disk_full:
        return result ? TextKey::end_not_kept_full : TextKey::options_not_kept_full;
    case StorageTrouble::read_only:
        return result ? TextKey::end_not_kept_read_only : TextKey::options_not_kept_read_only;
    case StorageTrouble::refused:
        return result ? TextKey::end_not_kept_refused : TextKey::options_not_kept_refused;
    case StorageTrouble::none:
    case StorageTrouble::other: break;
    }
    return result ? TextKey::end_not_kept : TextKey::options_not_kept;
}

int text_x(TextKey key, const std::string& text)
{
    const TextRoom& room = text_key_info(key).room;
    return room.centred ? (VIRTUAL_WIDTH - text_width(text.c_str())) / 2 : room.x;
}
