/*
 * texts.h - the words the game shows, in the player's language: the one way
 * every screen reads its texts (text_for), where each starts in its room
 * (text_x), and which language is in use.
 *
 * The game has English (the fallback for any text a language lacks),
 * German, French, Spanish, Italian, Brazilian Portuguese and Polish, carried
 * in the program (language_files.h).  The language is the player's choice
 * from the Options screen (kept in settings.ini), or else the first of the
 * system's languages the game has (engine/host_languages.h), or else
 * English.  A change is in force at the next text drawn.
 *
 * Callers: every screen that draws words, settings, start-up, the replay
 * runner, tests.  Not for: the texts' names and rooms (text_keys.h,
 * text_rooms.h) or reading a table (language_table.h).
 */
#pragma once

#include <string>
#include <vector>

#include "core/folder_lock.h"
#include "game/play/text_keys.h"

// The languages the game has, English first, in the Options screen's order.
int language_count();
const char* language_code(int index);
bool language_offered(const std::string& code);
// A language's name in its own words ("Deutsch"); "" for a code it lacks.
const std::string& language_own_name(const std::string& code);

// The first of the tags (most wanted first) the game has a language for:
// matched whole ("pt_BR", "pt-BR", "de_DE.UTF-8" as "de_DE"), else by its
// first part ("de_AT" gives "de", "pt_PT" gives "pt_BR", the only
// Portuguese); "en" when none matches.
std::string language_for_tags(const std::vector<std::string>& tags);

// The player's choice: a language's code, or "" to follow the system's
// languages.  A code the game lacks follows the system too.
void choose_language(const std::string& choice);
const std::string& language_choice();
// The code of the language in use.
std::string language_in_use();

// The text of key in the language in use (English's where it lacks one).
const std::string& text_for(TextKey key);
// The one line that says why a player's file was not kept: a result (the
// end screen's) or the settings (the Options').
enum class KeptFile {
    result,
    settings
};
TextKey not_kept_key(KeptFile file, StorageTrouble trouble);

// The x at which key's text, as filled in, starts in its room.
int text_x(TextKey key, const std::string& text);
