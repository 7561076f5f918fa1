// The library's side of fault injection: each operation asks whether an armed fault fires now.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "kqvisa/fault_injection.h"

namespace kqvisa {

// Counts one call of `op`; gives the status to fail it with when a failCall fault fires.
std::optional<ViStatus> takeFailure(Op op);

// Counts one write that reaches the module; gives the byte count it may take when a shortWrite fires.
std::optional<std::uint32_t> takeShortWrite();

// For a complete message written to `resource`: the reply that replaces the module's, if scripted.
std::optional<std::string> takeScriptedReply(std::string_view message, std::string_view resource);

}  // namespace kqvisa
