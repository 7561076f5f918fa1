// Where the program's forms are: $KQ7120_SFP_UI_DIR, else share/kq7120/ui beside the program's
// bin folder (the build tree has the same layout as an installation).
#pragma once

#include <filesystem>

inline constexpr const char* kFormDirectoryVariable = "KQ7120_SFP_UI_DIR";

std::filesystem::path frontPanelFormDirectory();
