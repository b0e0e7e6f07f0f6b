/*
 * language_table.h - one language's texts read from its table: UTF-8
 * "key = text" lines, blank lines and "#" comments (assets/lang/<code>.txt).
 *
 * Reading never fails: a line that is not "key = text", a key no text has
 * and a key given twice are each named in one complaint and left out.  The
 * build's check (tools/langcheck) refuses a table with any complaint; the
 * game takes what it can.
 *
 * Callers: texts.cpp, langcheck, tests.  Not for: which language is in use
 * (texts.h) or the keys and their rooms (text_keys.h).
 */
#pragma once

#include <array>
#include <string>
#include <vector>

#include "game/play/text_keys.h"

struct LanguageTable {
    std::array<std::string, TEXT_KEY_COUNT> texts;
    std::array<bool, TEXT_KEY_COUNT> has = {};
};

LanguageTable language_table_from_text(const std::string& text,
                                       std::vector<std::string>* complaints);
