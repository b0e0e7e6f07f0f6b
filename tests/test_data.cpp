// Constant tables read in order: numbers, texts, rewinding and running out.
#include <gtest/gtest.h>
#include <string>

#include "core/data.h"
#include "core/errors.h"
#include "support/exit_status.h"

namespace {

const DataItem mixed_items[] = {
    {4.0, nullptr}, {0.0, "12abc"}, {-2.7, nullptr}, {0.05, nullptr}, {0.0, "Snow"},
};

const DataItem three_items[] = {{1, nullptr}, {2, nullptr}, {3, nullptr}};

std::string text_of(const StringValue& value)
{
    return std::string(value.c_str(), value.length);
}

TEST(DataBlocks, MakeDataBlockCountsItems)
{
    DataBlock block = make_data_block(mixed_items);
    EXPECT_EQ(block.items, mixed_items);
    EXPECT_EQ(block.count, 5);
    EXPECT_EQ(block.position, 0);
}

TEST(DataBlocks, ReadsNumbersAndTextsInOrder)
{
    DataBlock block = make_data_block(mixed_items);
    restore_data(block);
    double number = 0;
    read_data(number);
    EXPECT_EQ(number, 4.0);
    read_data(number);   // a text item goes through the atof rule
    EXPECT_EQ(number, 12.0);
    int32_t whole = 0;
    read_data_int(whole);
    EXPECT_EQ(whole, -2);   // truncated toward zero
    StringValue text;
    read_data_text(text);
    EXPECT_EQ(text_of(text), "5.e-002");
    read_data_text(text);
    EXPECT_EQ(text_of(text), "Snow");
    EXPECT_EQ(block.position, 5);
}

TEST(DataBlocks, TextOfANumericItemUsesTheNumberText)
{
    DataBlock block = make_data_block(three_items);
    restore_data(block);
    StringValue text = "replaced";
    read_data_text(text);
    EXPECT_EQ(text_of(text), "1");
}

TEST(DataBlocks, RestoreRewindsAndSwitchesBlocks)
{
    DataBlock first = make_data_block(three_items);
    DataBlock second = make_data_block(mixed_items);
    restore_data(first);
    double number = 0;
    read_data(number);
    read_data(number);
    EXPECT_EQ(number, 2.0);
    restore_data(second);
    read_data(number);
    EXPECT_EQ(number, 4.0);
    EXPECT_EQ(first.position, 2);   // the old block keeps its place
    restore_data(first);
    read_data(number);
    EXPECT_EQ(number, 1.0);
}

TEST(DataBlocksDeathTest, ReadingPastTheEndEndsWithOutOfData)
{
    DataBlock block = make_data_block(three_items);
    restore_data(block);
    double number = 0;
    for (int i = 0; i < 3; ++i) read_data(number);
    EXPECT_EQ(number, 3.0);
    EXPECT_RUNTIME_FAULT(read_data(number), STATUS_OUT_OF_DATA);
    int32_t whole = 0;
    EXPECT_RUNTIME_FAULT(read_data_int(whole), STATUS_OUT_OF_DATA);
    StringValue text;
    EXPECT_RUNTIME_FAULT(read_data_text(text), STATUS_OUT_OF_DATA);
}

TEST(DataBlocksDeathTest, ReadingBeforeAnyRestoreEndsWithOutOfData)
{
    // The child starts afresh, so no block has been restored in it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    double number = 0;
    EXPECT_RUNTIME_FAULT(read_data(number), STATUS_OUT_OF_DATA);
}

TEST(DataBlocksDeathTest, AnEmptyBlockHasNothingToRead)
{
    DataBlock empty{nullptr, 0, 0};
    restore_data(empty);
    double number = 0;
    EXPECT_RUNTIME_FAULT(read_data(number), STATUS_OUT_OF_DATA);
}

}   // namespace
