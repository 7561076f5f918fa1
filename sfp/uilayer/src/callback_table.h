// The program's callbacks by name, as SetCallbackTable gave them.
#pragma once

#include <optional>
#include <string_view>
#include <variant>

#include "ui_callbacks.h"

namespace sfpui {

using AnyCallback = std::variant<ControlCallback, PanelCallback, MenuCallback>;
std::optional<AnyCallback> findCallback(std::string_view name);

}  // namespace sfpui
