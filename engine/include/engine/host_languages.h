/*
 * host_languages.h - the languages the player's system asks for, most
 * wanted first, as the system names them ("de_DE.UTF-8", "pt-BR", "fr").
 *
 * The build picks one implementation: host_languages_desktop.cpp (Linux and
 * Windows: the LANGUAGE variable's colon-separated list, then the locale of
 * host_locale_name: LC_ALL, LC_MESSAGES or LANG on Linux, the user
 * interface language on Windows) or host_languages_web.cpp (the browser's
 * navigator.languages).
 *
 * Callers: the game's choice of language (game/play/texts.h).  Not for:
 * which of them the game has (the game decides), or the platform query's
 * "language" (host_system.h).
 */
#pragma once

#include <string>
#include <vector>

std::vector<std::string> host_languages();
