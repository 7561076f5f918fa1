// Texts returned into caller buffers, which VISA sizes at VI_FIND_BUFLEN (256) bytes.
#pragma once

#include <algorithm>
#include <cstring>
#include <string_view>

#include "visa.h"

namespace kqvisa {

inline void copyToBuffer(std::string_view text, ViChar* buffer) {
    const std::size_t count = std::min<std::size_t>(text.size(), VI_FIND_BUFLEN - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
}

}  // namespace kqvisa
