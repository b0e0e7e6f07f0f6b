// Reading compiled-in constant tables in order.
#include "core/data.h"

#include "core/errors.h"
#include "core/numbers.h"

namespace {

DataBlock* current_block = nullptr;

// The next item of the current block; ends the program with status 20 when
// there is none.
const DataItem& next_item()
{
    DataBlock* block = current_block;
    if (block == nullptr || block->items == nullptr || block->position < 0 ||
        block->position >= block->count) {
        end_with_fault(STATUS_OUT_OF_DATA, "read past the end of the data");
    }
    return block->items[block->position++];
}

double item_number(const DataItem& item)
{
    if (item.text == nullptr) return item.number;
    return string_to_number(StringValue(item.text));
}

}   // namespace

void restore_data(DataBlock& block)
{
    block.position = 0;
    current_block = &block;
}

void read_data(double& target)
{
    target = item_number(next_item());
}

void read_data_int(int32_t& target)
{
    target = to_int(item_number(next_item()));
}

void read_data_text(StringValue& target)
{
    const DataItem& item = next_item();
    target = item.text != nullptr ? StringValue(item.text) : string_from_number(item.number);
}
