#include "module_settings.h"

#include <utility>

namespace kqsim {

void ModuleSettings::reset() {
    ModuleSettings fresh;
    for (std::size_t i = 0; i < channels.size(); ++i) fresh.channels[i].scanTable = channels[i].scanTable;
    fresh.memoryArrays = std::move(memoryArrays);
    *this = std::move(fresh);
}

}  // namespace kqsim
