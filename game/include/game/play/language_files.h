/*
 * language_files.h - the language tables as the program carries them: the
 * bytes of assets/lang/<code>.txt, written into a source by the build
 * (cmake/EmbedLanguages.cmake) after the build's check has passed them.
 *
 * Callers: texts.cpp.  Not for: reading them (language_table.h).
 */
#pragma once

#include <cstddef>

struct LanguageFile {
    const char* code;   // "pt_BR"
    const char* text;   // UTF-8, with a 0 after it
    std::size_t size;
};

// English first, then the Options screen's order.
extern const LanguageFile LANGUAGE_FILES[];
extern const int LANGUAGE_FILE_COUNT;
