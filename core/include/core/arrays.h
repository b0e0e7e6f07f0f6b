/*
 * arrays.h - the runtime's arrays of up to four dimensions: NumberArray
 * (doubles), StringArray (StringValue) and RecordArray<T> (game records of
 * plain doubles), which also serve as lists (append, delete, count).
 *
 * One template carries the three kinds.  Element (i0, i1, i2, i3) lies at
 * data + i0 + i1 * stride1 + i2 * stride2 + i3 * stride3, the first index
 * varying fastest.  Capacities step by 8 numbers (a NumberArray of capacity
 * 16 or less lives in its inline storage) or 64 strings or records, always
 * beyond the element count.  Every access passes the index test: a negative
 * first index wraps once by size0; anything still outside the sizes, a
 * non-zero index for a dimension the array does not have, or an array
 * without storage is a run-time fault of status 9 (end_with_fault in
 * errors.h).  A bad append or delete is one of status 8, a size that cannot
 * be stored or allocated one of status 7.
 *
 * Indices are taken as doubles (the game's numbers) and truncated toward
 * zero; an index that is not a number or beyond 32 bits is out of bounds.
 *
 * Callers: the game's globals and entity lists; start-up.  Arrays are not
 * copyable: every game array is one global object for the whole program.
 */
#pragma once

#include <cstdint>
#include <new>
#include <utility>

#include "core/values.h"

// The shape a dimension statement gives: raw sizes, strides, dimension count
// and the capacity it needs.
struct ArrayLayout {
    int32_t stride1, stride2, stride3;
    int32_t size0, size1, size2, size3;
    int32_t dimensions;
    int32_t capacity;   // needed capacity
    bool valid;         // false when the element count does not fit 32 bits
};

// Sizes below 1 count as 1 (0 for d0) for the total; capacity is the total
// rounded down to a multiple of step, plus step.
ArrayLayout array_layout(int32_t d0, int32_t d1, int32_t d2, int32_t d3, int32_t step);

// Element offset after the index test, or -1 when the access is out of
// bounds.  has_storage: the array's data pointer is set.
int64_t array_offset(const ArrayLayout& layout, bool has_storage, double i0, double i1, double i2,
                     double i3);

// A double index truncated toward zero; NaN and values beyond 32 bits give
// an index far outside every array (negative for NaN).
int64_t array_index(double value);

// Ends the program on a fault of status 7 (no room), 8 (bad list change) or
// 9 (index out of bounds): end_with_fault in errors.h.
[[noreturn]] void array_fail(int status);

// Inline element room inside the array object; none for count 0.
template <typename T, int32_t COUNT>
struct ArrayInlineStorage {
    T items[COUNT];
    T* get() { return items; }
};
template <typename T>
struct ArrayInlineStorage<T, 0> {
    T* get() { return nullptr; }
};

template <typename T, int32_t STEP, int32_t INLINE_COUNT>
struct RuntimeArray {
    T* data = nullptr;
    ArrayInlineStorage<T, INLINE_COUNT> inline_storage{};
    int32_t stride1 = 0, stride2 = 0, stride3 = 0;
    int32_t size0 = 0, size1 = 0, size2 = 0, size3 = 0;
    int32_t dimensions = 0;
    int32_t capacity = 0;

    RuntimeArray() = default;
    RuntimeArray(const RuntimeArray&) = delete;
    RuntimeArray& operator=(const RuntimeArray&) = delete;
    ~RuntimeArray() { release(); }

    // Reference to the element after the index test.
    T& at(double i0, double i1 = 0, double i2 = 0, double i3 = 0)
    {
        int64_t offset = array_offset(layout(), data != nullptr, i0, i1, i2, i3);
        if (offset < 0) array_fail(9);
        return data[offset];
    }
    const T& at(double i0, double i1 = 0, double i2 = 0, double i3 = 0) const
    {
        return const_cast<RuntimeArray*>(this)->at(i0, i1, i2, i3);
    }

    ArrayLayout layout() const
    {
        return ArrayLayout{stride1, stride2, stride3,    size0,    size1,
                           size2,   size3,   dimensions, capacity, true};
    }

    // Dimension statement: (re)creates the array with every element cleared.
    void dim(int32_t d0, int32_t d1 = 0, int32_t d2 = 0, int32_t d3 = 0)
    {
        ArrayLayout shape = array_layout(d0, d1, d2, d3, STEP);
        if (!shape.valid) array_fail(7);
        if (capacity < shape.capacity || d0 < 1) {
            release();
            allocate(shape.capacity);
        }
        for (int32_t i = 0; i < capacity; ++i) data[i] = T{};
        take_shape(shape);
    }

    // New sizes, keeping the elements whose indices fit both shapes.
    void redim(int32_t d0, int32_t d1 = 0, int32_t d2 = 0, int32_t d3 = 0)
    {
        if (d0 < 1) {
            take_shape(ArrayLayout{});
            return;
        }
        RuntimeArray fresh;
        fresh.dim(d0, d1, d2, d3);
        copy_common_elements(fresh);
        adopt(fresh);
    }

    // Exchanges elements a and b, along index 1 for deeper arrays.
    void swap_elements(double a, double b)
    {
        int32_t rows = size1 > 1 ? size1 : 1;
        for (int32_t k = 0; k < rows; ++k) std::swap(at(a, k), at(b, k));
    }

private:
    void take_shape(const ArrayLayout& shape)
    {
        stride1 = shape.stride1;
        stride2 = shape.stride2;
        stride3 = shape.stride3;
        size0 = shape.size0;
        size1 = shape.size1;
        size2 = shape.size2;
        size3 = shape.size3;
        dimensions = shape.dimensions;
    }

    void allocate(int32_t count)
    {
        if (count <= INLINE_COUNT) {
            data = inline_storage.get();
        } else {
            data = new (std::nothrow) T[count]();
            if (data == nullptr) array_fail(7);
        }
        capacity = count;
    }

    void release()
    {
        if (data != nullptr && data != inline_storage.get()) delete[] data;
        data = nullptr;
        capacity = 0;
    }

    void copy_common_elements(RuntimeArray& fresh)
    {
        int32_t n0 = size0 < fresh.size0 ? size0 : fresh.size0;
        int32_t n1 = common_count(size1, fresh.size1);
        int32_t n2 = common_count(size2, fresh.size2);
        int32_t n3 = common_count(size3, fresh.size3);
        for (int32_t i3 = 0; i3 < n3; ++i3)
            for (int32_t i2 = 0; i2 < n2; ++i2)
                for (int32_t i1 = 0; i1 < n1; ++i1)
                    for (int32_t i0 = 0; i0 < n0; ++i0)
                        fresh.at(i0, i1, i2, i3) = std::move(at(i0, i1, i2, i3));
    }

    // Indices a further dimension admits in both shapes (a missing one admits 0).
    static int32_t common_count(int32_t a, int32_t b)
    {
        int32_t ca = a > 1 ? a : 1;
        int32_t cb = b > 1 ? b : 1;
        return ca < cb ? ca : cb;
    }

    // Takes over fresh's storage and shape; fresh is left without storage.
    void adopt(RuntimeArray& fresh)
    {
        release();
        if (fresh.data == fresh.inline_storage.get()) {
            allocate(fresh.capacity);
            for (int32_t i = 0; i < fresh.capacity; ++i) data[i] = std::move(fresh.data[i]);
        } else {
            data = fresh.data;
            capacity = fresh.capacity;
        }
        fresh.data = nullptr;
        fresh.capacity = 0;
        take_shape(fresh.layout());
    }
};

using NumberArray = RuntimeArray<double, 8, 16>;
using StringArray = RuntimeArray<StringValue, 64, 0>;
template <typename Record>
using RecordArray = RuntimeArray<Record, 64, 0>;

// Dimension statements: all elements 0 / empty / zero records.
void dim_number_array(NumberArray& array, int32_t d0, int32_t d1 = 0, int32_t d2 = 0,
                      int32_t d3 = 0);
void dim_string_array(StringArray& array, int32_t d0, int32_t d1 = 0, int32_t d2 = 0,
                      int32_t d3 = 0);
template <typename Record>
void dim_record_array(RecordArray<Record>& array, int32_t d0, int32_t d1 = 0, int32_t d2 = 0,
                      int32_t d3 = 0)
{
    array.dim(d0, d1, d2, d3);
}

template <typename T, int32_t S, int32_t I>
T& array_at(RuntimeArray<T, S, I>& array, double i0, double i1 = 0, double i2 = 0, double i3 = 0)
{
    return array.at(i0, i1, i2, i3);
}

template <typename T, int32_t S, int32_t I>
void array_redim(RuntimeArray<T, S, I>& array, int32_t d0, int32_t d1 = 0, int32_t d2 = 0,
                 int32_t d3 = 0)
{
    array.redim(d0, d1, d2, d3);
}

// Size of dimension 0 to 3; any other dimension number gives 0.
template <typename T, int32_t S, int32_t I>
int32_t array_count(const RuntimeArray<T, S, I>& array, int32_t dimension = 0)
{
    switch (dimension) {
    case 0: return array.size0;
    case 1: return array.size1;
    case 2: return array.size2;
    case 3: return array.size3;
    default: return 0;
    }
}

// Adds a copy of element as the new last element of a 1-dimensional array;
// status 8 for an array of two or more dimensions.
template <typename T, int32_t S, int32_t I>
void array_append(RuntimeArray<T, S, I>& array, const T& element)
{
    if (array.size1 != 0) array_fail(8);
    T copy = element;   // element may live inside the array being regrown
    array.redim(array.size0 + 1);
    array.data[array.size0 - 1] = std::move(copy);
}

// Removes element k, keeping the order of the others; a negative k wraps
// once by the size; status 8 when k is outside the array.
template <typename T, int32_t S, int32_t I>
void array_delete(RuntimeArray<T, S, I>& array, double k)
{
    int64_t index = array_index(k);
    if (index < 0) index += array.size0;
    if (index < 0 || index >= array.size0) array_fail(8);
    int32_t last = array.size0 - 1;
    for (int32_t i = static_cast<int32_t>(index); i < last; ++i) array.swap_elements(i, i + 1);
    array.redim(last);
}

template <typename T, int32_t S, int32_t I>
void array_swap(RuntimeArray<T, S, I>& array, double a, double b)
{
    array.swap_elements(a, b);
}
