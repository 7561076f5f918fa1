// Copying texts into caller-owned buffers of a stated size.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "visatype.h"

namespace kq7120 {

// Copies at most `capacity` - 1 characters of `text` and terminates them.
inline void copyText(std::string_view text, ViChar destination[], std::size_t capacity) {
    const std::size_t length = text.size() < capacity ? text.size() : capacity - 1;
    std::memcpy(destination, text.data(), length);
    destination[length] = '\0';
}

// The size the driver assumes for a caller's message or text buffer.
inline constexpr std::size_t kCallerTextCapacity = 256;

}  // namespace kq7120
