// The simulated mainframe the VISA library serves: its modules, looked up by interface and address.
#pragma once

#include <memory>
#include <vector>

#include "kqsim/chassis_config.h"
#include "kqsim/instrument.h"

namespace kqsim {

struct MountedModule {
    ModuleConfig config;  // with manufacturerId/modelCode/idnModel filled in
    std::uint16_t manufacturerId = 0;
    std::uint16_t modelCode = 0;
    std::shared_ptr<Instrument> instrument;  // shared: an open session keeps its module alive
};

class Mainframe {
public:
    // Builds every module the configuration names (KQ7120/KQ7110 modules or a module of another maker).
    explicit Mainframe(ChassisConfig config);
    // Mounts ready-made instruments, for tools and tests that bring their own.
    Mainframe(Interface interface, std::vector<MountedModule> modules);

    Interface interface() const { return config_.interface; }
    const ChassisConfig& config() const { return config_; }
    // Modules in the order the resource search lists them (the configuration's order).
    const std::vector<MountedModule>& modules() const { return modules_; }
    const MountedModule* find(std::uint16_t interfaceNumber, std::uint16_t logicalAddress) const;

private:
    ChassisConfig config_;
    std::vector<MountedModule> modules_;
};

// The mainframe in use: the chassis server's (kqsim/chassis_link.h) when one is named by
// KQ7120_SIM_SERVER or answers on the default socket, else one of this process made by
// mainframeFromEnvironment() on first use.
std::shared_ptr<Mainframe> currentMainframe();

// A mainframe of this process from the chassis file named by KQ7120_SIM_CHASSIS, or the default
// chassis when the variable is unset. A chassis file that cannot be read gives an empty mainframe,
// and the reason is written to standard error.
std::shared_ptr<Mainframe> mainframeFromEnvironment();

// Replace the mainframe in use (tests, tools). Sessions already open keep talking to their modules.
// installMainframe(nullptr) drops it: the next currentMainframe() reads the environment again.
void installChassis(const ChassisConfig& config);
void installMainframe(std::shared_ptr<Mainframe> mainframe);

}  // namespace kqsim
