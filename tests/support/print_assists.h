/*
 * print_assists.h - how a failing expectation prints a set of rules
 * (Assists), so that EXPECT_EQ on two of them names every rule of both.
 *
 * Callers: the tests that compare rules (bests, settings).  Not for:
 * production code, which writes rules in its own formats (bests.h,
 * settings.h).
 */
#pragma once

#include <ostream>

#include "game/play/assists.h"

// GoogleTest's printer for Assists, found by its name.
void PrintTo(const Assists& rules, std::ostream* out);
