#include "simulator_link.h"

#include <dlfcn.h>
#include <link.h>

#include <array>
#include <string>
#include <vector>

namespace {

// Paths of the shared objects loaded in the process.
std::vector<std::string> loadedObjects() {
    std::vector<std::string> paths;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
                static_cast<std::vector<std::string>*>(data)->emplace_back(info->dlpi_name);
            return 0;
        },
        &paths);
    return paths;
}

template <typename Function>
Function symbol(void* library, const char* name) {
    return reinterpret_cast<Function>(dlsym(library, name));
}

}  // namespace

std::optional<SimulatorLink> simulatorLink() {
    for (const std::string& path : loadedObjects()) {
        // Only an object already loaded is asked; the reference taken here is given back at once
        // and the object stays loaded by whoever loaded it.
        void* library = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        if (library == nullptr) continue;
        SimulatorLink link;
        const bool isVisa = dlsym(library, "viOpenDefaultRM") != nullptr;
        if (isVisa) {
            link.readChannelOutput =
                symbol<KqsimReadChannelOutputFunction>(library, KQSIM_READ_CHANNEL_OUTPUT_SYMBOL);
            link.chassisTime = symbol<KqsimChassisTimeFunction>(library, KQSIM_CHASSIS_TIME_SYMBOL);
            link.servedChassis = symbol<KqsimServedChassisFunction>(library, KQSIM_SERVED_CHASSIS_SYMBOL);
        }
        dlclose(library);
        if (link.readChannelOutput != nullptr && link.chassisTime != nullptr && link.servedChassis != nullptr)
            return link;
    }
    return std::nullopt;
}

std::string simulatedChassisNote() {
    const auto link = simulatorLink();
    if (!link) return {};
    std::array<char, 512> socketPath{};
    if (link->servedChassis(socketPath.data(), static_cast<int>(socketPath.size())) == 1)
        return std::string("Simulated chassis (server ") + socketPath.data() + ")";
    return "Simulated chassis";
}
