// Texts of the completion and error codes.
#pragma once

#include <optional>
#include <string_view>

#include "visa.h"

namespace kqvisa {

struct StatusText {
    ViStatus status;
    std::string_view name;
    std::string_view text;
};

// Every completion, warning and error code of visa.h; nothing for any other value.
std::optional<StatusText> findStatusText(ViStatus status);

}  // namespace kqvisa
