#include "form_directory.h"

#include <cstdlib>
#include <system_error>

std::filesystem::path frontPanelFormDirectory() {
    if (const char* overridden = std::getenv(kFormDirectoryVariable);
        overridden != nullptr && *overridden != '\0')
        return overridden;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "share/kq7120/ui";
    return program.parent_path().parent_path() / "share" / "kq7120" / "ui";
}
