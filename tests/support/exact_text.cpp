// Text values cut to their last byte.
#include "support/exact_text.h"

#include <cstring>

StringValue exact_text(const std::string& bytes)
{
    StringValue value;
    const auto size = static_cast<uint32_t>(bytes.size());
    value.buffer = new char[size];   // the value frees it as its own
    std::memcpy(value.buffer, bytes.data(), size);
    value.capacity = size;
    value.length = size;
    return value;
}
