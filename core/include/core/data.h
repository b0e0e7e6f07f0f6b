/*
 * data.h - compiled-in constant tables (DATA blocks) and reading them in
 * order.
 *
 * A DataBlock is an array of DataItem with a count and a read position; the
 * runtime keeps one current block, set by restore_data.  Reading past the
 * end of the current block, or before any restore_data, is a run-time fault
 * of status 20, "out of data" (end_with_fault in errors.h).
 *
 * Callers: the game's level data (the level map).  Not for: files (those
 * are read through the file channels).
 */
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/values.h"

// A number, or a text when text is not null.
struct DataItem {
    double number;
    const char* text;
};

struct DataBlock {
    const DataItem* items;
    int32_t count;
    int32_t position;   // next item to read
};

// A block over a constant table, read position 0.
template <std::size_t N>
DataBlock make_data_block(const DataItem (&items)[N])
{
    return DataBlock{items, static_cast<int32_t>(N), 0};
}

// Read position 0; the block becomes the current one.
void restore_data(DataBlock& block);

// The next item as a number (a text item goes through string_to_number).
void read_data(double& target);
// The same, truncated toward zero.
void read_data_int(int32_t& target);
// The next item as text (a numeric item as string_from_number gives it).
void read_data_text(StringValue& target);
