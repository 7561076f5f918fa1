// Builds a panel from a Qt Designer form and binds the callbacks the form names.
#pragma once

#include <filesystem>

namespace sfpui {

// Returns the panel handle, or UI_ERR_LOAD_FAILED with the reason on standard error.
int loadForm(int parent, const std::filesystem::path& path);

}  // namespace sfpui
