/*
 * exact_text.h - text whose bytes end exactly where its length says: no
 * terminating NUL and no spare capacity after them, so a routine that reads
 * one byte too far reads outside the allocation (which AddressSanitizer
 * reports).
 *
 * Callers: the tests of UTF-8 text (test_glyphs, test_draw).  Not for: text
 * handed to anything that expects a C string (c_str() is not terminated).
 */
#pragma once

#include <string>

#include "core/values.h"

// A value owning a buffer of exactly bytes.size() bytes (not empty).
StringValue exact_text(const std::string& bytes);
