// Shape arithmetic, the index test and the failure exit shared by all arrays.
#include "core/arrays.h"

#include <cmath>

#include "core/errors.h"

namespace {

// Far outside any array, yet small enough that adding a size cannot wrap.
const int64_t INDEX_FAR_AWAY = int64_t(1) << 40;

int32_t counted(int32_t size)
{
    return size < 1 ? 1 : size;
}

}   // namespace

ArrayLayout array_layout(int32_t d0, int32_t d1, int32_t d2, int32_t d3, int32_t step)
{
    ArrayLayout shape{};
    // Each product is tested before the next multiplication, so none can
    // leave 64 bits either.
    int64_t c0 = d0 < 1 ? 0 : d0;
    int64_t stride2 = c0 * counted(d1);
    if (stride2 > INT32_MAX) return shape;
    int64_t stride3 = stride2 * counted(d2);
    if (stride3 > INT32_MAX) return shape;
    int64_t total = stride3 * counted(d3);
    int64_t capacity = total / step * step + step;
    if (capacity > INT32_MAX) return shape;
    shape.stride1 = static_cast<int32_t>(c0);
    shape.stride2 = static_cast<int32_t>(stride2);
    shape.stride3 = static_cast<int32_t>(stride3);
    shape.size0 = static_cast<int32_t>(c0);
    shape.size1 = d1;
    shape.size2 = d2;
    shape.size3 = d3;
    shape.dimensions = d3 != 0 ? 4 : d2 != 0 ? 3 : d1 != 0 ? 2 : c0 > 0 ? 1 : 0;
    shape.capacity = static_cast<int32_t>(capacity);
    shape.valid = true;
    return shape;
}

int64_t array_index(double value)
{
    if (std::isnan(value)) return -INDEX_FAR_AWAY;
    double whole = std::trunc(value);
    if (whole > INDEX_FAR_AWAY) return INDEX_FAR_AWAY;
    if (whole < -INDEX_FAR_AWAY) return -INDEX_FAR_AWAY;
    return static_cast<int64_t>(whole);
}

int64_t array_offset(const ArrayLayout& layout, bool has_storage, double i0, double i1, double i2,
                     double i3)
{
    int64_t k0 = array_index(i0);
    if (k0 < 0) k0 += layout.size0;
    int64_t k1 = array_index(i1);
    int64_t k2 = array_index(i2);
    int64_t k3 = array_index(i3);
    if (!has_storage || k0 < 0 || k1 < 0 || k2 < 0 || k3 < 0) return -1;
    if (k0 >= layout.size0 || k1 >= counted(layout.size1) || k2 >= counted(layout.size2) ||
        k3 >= counted(layout.size3))
        return -1;
    return k0 + k1 * layout.stride1 + k2 * layout.stride2 + k3 * layout.stride3;
}

void array_fail(int status)
{
    switch (status) {
    case STATUS_OUT_OF_BOUNDS: end_with_fault(status, "array index out of bounds");
    case STATUS_BAD_LIST_CHANGE: end_with_fault(status, "bad list change");
    default: end_with_fault(status, "no room for the array");
    }
}

void dim_number_array(NumberArray& array, int32_t d0, int32_t d1, int32_t d2, int32_t d3)
{
    array.dim(d0, d1, d2, d3);
}

void dim_string_array(StringArray& array, int32_t d0, int32_t d1, int32_t d2, int32_t d3)
{
    array.dim(d0, d1, d2, d3);
}
