// Arrays: shapes and capacities, the index test, redimension, lists
// (append, delete, swap, count) and the failure exits.
#include <cmath>
#include <gtest/gtest.h>
#include <string>

#include "core/arrays.h"
#include "core/errors.h"
#include "support/exit_status.h"

namespace {

struct Flake {
    double x, y, size;
};

std::string text_of(const StringValue& value)
{
    return std::string(value.c_str(), value.length);
}

RecordArray<Flake>& list_of_three(RecordArray<Flake>& list)
{
    dim_record_array(list, 0);
    for (int i = 0; i < 3; ++i) array_append(list, Flake{double(i), double(i * 10), 1});
    return list;
}

// --- Shapes and capacities ------------------------------------------------------

TEST(ArrayShape, StartsWithoutStorage)
{
    NumberArray numbers;
    EXPECT_EQ(numbers.data, nullptr);
    EXPECT_EQ(numbers.capacity, 0);
    EXPECT_EQ(numbers.dimensions, 0);
    EXPECT_EQ(array_count(numbers, 0), 0);
}

TEST(ArrayShape, LevelMapKeyCodesAndKeyNames)
{
    NumberArray level_map;
    dim_number_array(level_map, 64, 64);
    EXPECT_EQ(level_map.capacity, 4104);
    EXPECT_EQ(level_map.dimensions, 2);
    EXPECT_EQ(level_map.stride1, 64);
    EXPECT_EQ(level_map.stride2, 4096);

    NumberArray key_codes;
    dim_number_array(key_codes, 6);
    EXPECT_EQ(key_codes.capacity, 8);
    EXPECT_EQ(key_codes.data, key_codes.inline_storage.items);   // no allocation

    StringArray key_names;
    dim_string_array(key_names, 300);
    EXPECT_EQ(key_names.capacity, 320);
    EXPECT_EQ(key_names.dimensions, 1);
}

TEST(ArrayShape, InlineStorageOnlyUpToSixteen)
{
    NumberArray eight;
    dim_number_array(eight, 8);   // capacity 16
    EXPECT_EQ(eight.capacity, 16);
    EXPECT_EQ(eight.data, eight.inline_storage.items);
    NumberArray sixteen;
    dim_number_array(sixteen, 16);   // capacity 24
    EXPECT_EQ(sixteen.capacity, 24);
    EXPECT_NE(sixteen.data, sixteen.inline_storage.items);
}

TEST(ArrayShape, RecordCapacitiesStepBySixtyFour)
{
    RecordArray<Flake> flakes;
    dim_record_array(flakes, 151);
    EXPECT_EQ(flakes.capacity, 192);
    dim_record_array(flakes, 63);
    EXPECT_EQ(flakes.capacity, 192);   // enough already: kept
    RecordArray<Flake> exact;
    dim_record_array(exact, 64);
    EXPECT_EQ(exact.capacity, 128);
}

TEST(ArrayShape, DimensionCountAndRawSizes)
{
    NumberArray a;
    dim_number_array(a, 5);
    EXPECT_EQ(a.dimensions, 1);
    dim_number_array(a, 5, 3);
    EXPECT_EQ(a.dimensions, 2);
    dim_number_array(a, 5, 0, 2);
    EXPECT_EQ(a.dimensions, 3);
    EXPECT_EQ(a.stride2, 5);   // a missing size counts as 1
    dim_number_array(a, 2, 3, 4, 5);
    EXPECT_EQ(a.dimensions, 4);
    EXPECT_EQ(a.stride3, 24);
    dim_number_array(a, -4);
    EXPECT_EQ(a.dimensions, 0);
    EXPECT_EQ(a.size0, 0);   // a negative first size is stored as 0
}

TEST(ArrayShape, SameOrSmallerSizeReusesStorage)
{
    StringArray names;
    dim_string_array(names, 300);
    StringValue* storage = names.data;
    dim_string_array(names, 310);
    EXPECT_EQ(names.data, storage);
    dim_string_array(names, 400);
    EXPECT_EQ(names.capacity, 448);
}

TEST(ArrayShape, ElementsStartCleared)
{
    NumberArray numbers;
    dim_number_array(numbers, 3, 3);
    numbers.at(2, 2) = 9;
    dim_number_array(numbers, 3, 3);
    for (int i = 0; i < numbers.capacity; ++i) EXPECT_EQ(numbers.data[i], 0.0);
    RecordArray<Flake> flakes;
    dim_record_array(flakes, 4);
    EXPECT_EQ(flakes.at(3).size, 0.0);
}

TEST(ArrayShape, RedimensioningKeyNamesEmptiesEveryName)
{
    StringArray key_names;
    dim_string_array(key_names, 300);
    key_names.at(57) = "SPACE";
    key_names.at(299) = "LAST";
    dim_string_array(key_names, 300);
    EXPECT_EQ(key_names.at(57).length, 0u);
    EXPECT_EQ(key_names.at(299).length, 0u);
}

// --- Index test -------------------------------------------------------------------

TEST(ArrayIndex, FirstIndexVariesFastest)
{
    NumberArray grid;
    dim_number_array(grid, 4, 3, 2);
    grid.at(1, 2, 1) = 7;
    EXPECT_EQ(grid.data[1 + 2 * 4 + 1 * 12], 7.0);
    EXPECT_EQ(&array_at(grid, 1, 2, 1), &grid.at(1, 2, 1));
}

TEST(ArrayIndex, NegativeFirstIndexWrapsOnce)
{
    NumberArray level_map;
    dim_number_array(level_map, 64, 64);
    level_map.at(63, 0) = 5;
    level_map.at(63, 63) = 6;
    EXPECT_EQ(level_map.at(-1, 0), 5.0);
    EXPECT_EQ(&level_map.at(-1, 0), &level_map.at(63, 0));
    EXPECT_EQ(level_map.at(63, 63), 6.0);

    NumberArray six;
    dim_number_array(six, 6);
    six.at(0) = 1.5;
    EXPECT_EQ(six.at(-6), 1.5);
}

TEST(ArrayIndex, DoubleIndicesTruncateTowardZero)
{
    NumberArray six;
    dim_number_array(six, 6);
    six.at(0) = 1;
    six.at(5) = 2;
    EXPECT_EQ(six.at(-0.5), 1.0);   // truncates to 0, no wrap
    EXPECT_EQ(six.at(5.99), 2.0);
    EXPECT_EQ(array_index(-3.7), -3);
    EXPECT_LT(array_index(NAN), -(int64_t(1) << 32));
    EXPECT_GT(array_index(1e300), int64_t(1) << 32);
}

TEST(ArrayIndexDeathTest, OutsideTheLevelMapEndsWithOutOfBounds)
{
    NumberArray level_map;
    dim_number_array(level_map, 64, 64);
    EXPECT_RUNTIME_FAULT(level_map.at(64, 0), STATUS_OUT_OF_BOUNDS);
    EXPECT_RUNTIME_FAULT(level_map.at(0, 64), STATUS_OUT_OF_BOUNDS);
    EXPECT_RUNTIME_FAULT(level_map.at(0, -1), STATUS_OUT_OF_BOUNDS);
    EXPECT_RUNTIME_FAULT(level_map.at(-65, 0), STATUS_OUT_OF_BOUNDS);
}

TEST(ArrayIndexDeathTest, WrapHappensOnlyOnce)
{
    NumberArray six;
    dim_number_array(six, 6);
    EXPECT_RUNTIME_FAULT(six.at(-7), STATUS_OUT_OF_BOUNDS);
    EXPECT_RUNTIME_FAULT(six.at(-13), STATUS_OUT_OF_BOUNDS);
}

TEST(ArrayIndexDeathTest, MissingDimensionAdmitsOnlyZero)
{
    NumberArray six;
    dim_number_array(six, 6);
    six.at(2, 0, 0, 0) = 1;   // zeros for the missing dimensions are fine
    EXPECT_RUNTIME_FAULT(six.at(2, 1), STATUS_OUT_OF_BOUNDS);
    EXPECT_RUNTIME_FAULT(six.at(2, 0, 1), STATUS_OUT_OF_BOUNDS);
    EXPECT_RUNTIME_FAULT(six.at(2, 0, 0, 1), STATUS_OUT_OF_BOUNDS);
}

TEST(ArrayIndexDeathTest, EmptyOrUncreatedArraysRefuseEveryAccess)
{
    NumberArray never;
    EXPECT_RUNTIME_FAULT(never.at(0), STATUS_OUT_OF_BOUNDS);
    EXPECT_RUNTIME_FAULT(never.at(-1), STATUS_OUT_OF_BOUNDS);
    NumberArray zero;
    dim_number_array(zero, 0);
    EXPECT_EQ(zero.dimensions, 0);
    EXPECT_RUNTIME_FAULT(zero.at(0), STATUS_OUT_OF_BOUNDS);
    EXPECT_RUNTIME_FAULT(zero.at(-1), STATUS_OUT_OF_BOUNDS);
}

TEST(ArrayIndexDeathTest, NonNumbersAndHugeIndicesAreOutOfBounds)
{
    RecordArray<Flake> flakes;
    dim_record_array(flakes, 10);
    EXPECT_RUNTIME_FAULT(flakes.at(NAN), STATUS_OUT_OF_BOUNDS);
    EXPECT_RUNTIME_FAULT(flakes.at(1e30), STATUS_OUT_OF_BOUNDS);
    EXPECT_RUNTIME_FAULT(flakes.at(-1e30), STATUS_OUT_OF_BOUNDS);
    EXPECT_RUNTIME_FAULT(flakes.at(0, INFINITY), STATUS_OUT_OF_BOUNDS);
}

// --- Sizes that cannot be stored -----------------------------------------------------

TEST(ArraySizeDeathTest, OverflowingSizesAreRefusedWithOutOfMemory)
{
    NumberArray numbers;
    EXPECT_RUNTIME_FAULT(dim_number_array(numbers, 65536, 65536), STATUS_OUT_OF_MEMORY);
    EXPECT_RUNTIME_FAULT(dim_number_array(numbers, 2, 2, 65536, 65536), STATUS_OUT_OF_MEMORY);
    EXPECT_RUNTIME_FAULT(dim_number_array(numbers, INT32_MAX), STATUS_OUT_OF_MEMORY);
    RecordArray<Flake> flakes;
    EXPECT_RUNTIME_FAULT(dim_record_array(flakes, INT32_MAX - 10), STATUS_OUT_OF_MEMORY);
}

TEST(ArraySize, LayoutRefusesTotalsBeyondThirtyTwoBits)
{
    EXPECT_FALSE(array_layout(65536, 65536, 0, 0, 8).valid);
    EXPECT_FALSE(array_layout(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, 64).valid);
    EXPECT_FALSE(array_layout(INT32_MAX - 7, 0, 0, 0, 8).valid);
    ArrayLayout largest = array_layout(INT32_MAX - 8, 0, 0, 0, 8);
    EXPECT_TRUE(largest.valid);
    EXPECT_EQ(largest.capacity, INT32_MAX - 7);
    EXPECT_TRUE(array_layout(0, 65536, 65536, 0, 8).valid);   // no elements at all
}

// --- Redimension ------------------------------------------------------------------

TEST(ArrayRedim, GrowingAListKeepsRecordsAndAddsZeros)
{
    RecordArray<Flake> list;
    list_of_three(list);
    array_redim(list, 5);
    EXPECT_EQ(array_count(list), 5);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list.at(i).y, i * 10.0);
    EXPECT_EQ(list.at(3).x, 0.0);
    EXPECT_EQ(list.at(4).size, 0.0);
}

TEST(ArrayRedim, ShrinkingAListKeepsTheFirst)
{
    RecordArray<Flake> list;
    list_of_three(list);
    array_redim(list, 2);
    EXPECT_EQ(array_count(list), 2);
    EXPECT_EQ(list.at(0).x, 0.0);
    EXPECT_EQ(list.at(1).x, 1.0);
}

TEST(ArrayRedim, TwoDimensionsKeepTheCommonCorner)
{
    NumberArray grid;
    dim_number_array(grid, 3, 3);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) grid.at(i, j) = i * 10 + j;
    array_redim(grid, 2, 4);
    EXPECT_EQ(grid.size0, 2);
    EXPECT_EQ(grid.size1, 4);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(grid.at(i, j), i * 10 + j);
    EXPECT_EQ(grid.at(1, 3), 0.0);
}

TEST(ArrayRedim, BetweenInlineAndHeapStorage)
{
    NumberArray numbers;
    dim_number_array(numbers, 4);
    for (int i = 0; i < 4; ++i) numbers.at(i) = i + 0.5;
    array_redim(numbers, 20);
    EXPECT_NE(numbers.data, numbers.inline_storage.items);
    array_redim(numbers, 3);
    EXPECT_EQ(numbers.data, numbers.inline_storage.items);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(numbers.at(i), i + 0.5);
}

TEST(ArrayRedim, StringsSurviveRedimension)
{
    StringArray names;
    dim_string_array(names, 2);
    names.at(0) = "Up";
    names.at(1) = "Down";
    array_redim(names, 100);
    EXPECT_EQ(text_of(names.at(0)), "Up");
    EXPECT_EQ(text_of(names.at(1)), "Down");
    EXPECT_EQ(names.at(99).length, 0u);
}

TEST(ArrayRedim, ToZeroKeepsTheStorage)
{
    RecordArray<Flake> list;
    list_of_three(list);
    Flake* storage = list.data;
    int32_t capacity = list.capacity;
    array_redim(list, 0);
    EXPECT_EQ(array_count(list), 0);
    EXPECT_EQ(list.dimensions, 0);
    EXPECT_EQ(list.stride1, 0);
    EXPECT_EQ(list.data, storage);
    EXPECT_EQ(list.capacity, capacity);
}

// --- Lists ------------------------------------------------------------------------

TEST(ArrayList, AppendToAnEmptyArrayGivesCountOne)
{
    RecordArray<Flake> list;
    array_append(list, Flake{1, 2, 3});
    EXPECT_EQ(array_count(list, 0), 1);
    EXPECT_EQ(list.dimensions, 1);
    EXPECT_EQ(list.at(0).y, 2.0);
}

TEST(ArrayList, AppendKeepsOrderAndCopiesFromItself)
{
    RecordArray<Flake> list;
    list_of_three(list);
    array_append(list, list.at(0));   // the source lives in the block being replaced
    EXPECT_EQ(array_count(list), 4);
    EXPECT_EQ(list.at(3).y, 0.0);
    EXPECT_EQ(list.at(2).y, 20.0);
    for (int i = 0; i < 200; ++i) array_append(list, Flake{double(i), 0, 0});
    EXPECT_EQ(array_count(list), 204);
    EXPECT_EQ(list.at(-1).x, 199.0);
}

TEST(ArrayList, AppendWorksForStrings)
{
    StringArray names;
    StringValue name = "Jump";
    array_append(names, name);
    array_append(names, StringValue("Pause"));
    EXPECT_EQ(array_count(names), 2);
    EXPECT_EQ(text_of(names.at(0)), "Jump");
    EXPECT_EQ(text_of(names.at(1)), "Pause");
    EXPECT_EQ(text_of(name), "Jump");
}

TEST(ArrayList, DeleteKeepsTheOthersInOrder)
{
    RecordArray<Flake> list;
    list_of_three(list);
    array_delete(list, 0);
    ASSERT_EQ(array_count(list), 2);
    EXPECT_EQ(list.at(0).x, 1.0);
    EXPECT_EQ(list.at(1).x, 2.0);

    list_of_three(list);
    array_delete(list, 1);
    EXPECT_EQ(list.at(0).x, 0.0);
    EXPECT_EQ(list.at(1).x, 2.0);

    list_of_three(list);
    array_delete(list, -1);   // the last one
    EXPECT_EQ(array_count(list), 2);
    EXPECT_EQ(list.at(1).x, 1.0);
}

TEST(ArrayList, DeletingIndexZeroRepeatedlyEmptiesTheList)
{
    RecordArray<Flake> list;
    list_of_three(list);
    while (array_count(list, 0) > 0) array_delete(list, 0);
    EXPECT_EQ(array_count(list), 0);
    array_append(list, Flake{8, 8, 8});   // and it is usable again
    EXPECT_EQ(list.at(0).x, 8.0);
}

TEST(ArrayList, DeleteFromStringsKeepsTheTexts)
{
    StringArray names;
    for (const char* n : {"a", "b", "c", "d"}) array_append(names, StringValue(n));
    array_delete(names, 1);
    ASSERT_EQ(array_count(names), 3);
    EXPECT_EQ(text_of(names.at(0)), "a");
    EXPECT_EQ(text_of(names.at(1)), "c");
    EXPECT_EQ(text_of(names.at(2)), "d");
}

TEST(ArrayList, SwapExchangesElementsAndRowsAlongIndexOne)
{
    RecordArray<Flake> list;
    list_of_three(list);
    array_swap(list, 0, 2);
    EXPECT_EQ(list.at(0).x, 2.0);
    EXPECT_EQ(list.at(2).x, 0.0);
    array_swap(list, -1, 1);
    EXPECT_EQ(list.at(2).x, 1.0);
    EXPECT_EQ(list.at(1).x, 0.0);

    NumberArray grid;
    dim_number_array(grid, 3, 2);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 2; ++j) grid.at(i, j) = i * 10 + j;
    array_swap(grid, 0, 2);
    EXPECT_EQ(grid.at(0, 0), 20.0);
    EXPECT_EQ(grid.at(0, 1), 21.0);
    EXPECT_EQ(grid.at(2, 1), 1.0);
    EXPECT_EQ(grid.at(1, 1), 11.0);
}

TEST(ArrayList, CountGivesEachSizeAndZeroOtherwise)
{
    NumberArray a;
    dim_number_array(a, 2, 3, 4, 5);
    EXPECT_EQ(array_count(a, 0), 2);
    EXPECT_EQ(array_count(a, 1), 3);
    EXPECT_EQ(array_count(a, 2), 4);
    EXPECT_EQ(array_count(a, 3), 5);
    EXPECT_EQ(array_count(a, 4), 0);
    EXPECT_EQ(array_count(a, -1), 0);
}

TEST(ArrayListDeathTest, AppendToTwoDimensionsEndsWithStatusEight)
{
    RecordArray<Flake> grid;
    dim_record_array(grid, 2, 2);
    EXPECT_RUNTIME_FAULT(array_append(grid, Flake{}), STATUS_BAD_LIST_CHANGE);
}

TEST(ArrayListDeathTest, DeleteOutsideTheListEndsWithStatusEight)
{
    RecordArray<Flake> list;
    list_of_three(list);
    EXPECT_RUNTIME_FAULT(array_delete(list, 3), STATUS_BAD_LIST_CHANGE);
    EXPECT_RUNTIME_FAULT(array_delete(list, -4), STATUS_BAD_LIST_CHANGE);
    EXPECT_RUNTIME_FAULT(array_delete(list, NAN), STATUS_BAD_LIST_CHANGE);
    RecordArray<Flake> empty;
    EXPECT_RUNTIME_FAULT(array_delete(empty, 0), STATUS_BAD_LIST_CHANGE);
}

TEST(ArrayListDeathTest, SwapWithABadIndexEndsWithOutOfBounds)
{
    RecordArray<Flake> list;
    list_of_three(list);
    EXPECT_RUNTIME_FAULT(array_swap(list, 0, 3), STATUS_OUT_OF_BOUNDS);
}

}   // namespace
