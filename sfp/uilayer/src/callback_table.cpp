#include "callback_table.h"

#include <map>
#include <string>

namespace sfpui {

namespace {

std::map<std::string, AnyCallback, std::less<>>& table() {
    static std::map<std::string, AnyCallback, std::less<>> callbacks;
    return callbacks;
}

}  // namespace

std::optional<AnyCallback> findCallback(std::string_view name) {
    const auto found = table().find(name);
    if (found == table().end()) return std::nullopt;
    return found->second;
}

}  // namespace sfpui

void SetCallbackTable(std::span<const UiCallback> callbacks) {
    auto& table = sfpui::table();
    table.clear();
    for (const UiCallback& callback : callbacks) table.emplace(std::string(callback.name), callback.function);
}
