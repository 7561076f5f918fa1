#include "kqsim/mainframe.h"

#include <cstdlib>
#include <iostream>
#include <mutex>

#include "kqsim/module_factory.h"
#include "served_chassis.h"

namespace kqsim {

Mainframe::Mainframe(ChassisConfig config) : config_(std::move(config)) {
    const std::string stateDirectory =
        config_.stateDirectory.empty() ? defaultStateDirectory() : config_.stateDirectory;
    for (const ModuleConfig& module : config_.modules) {
        const ModuleIdentity identity = identityOf(module);
        MountedModule mounted;
        mounted.config = module;
        mounted.config.manufacturerId = identity.manufacturerId;
        mounted.config.modelCode = identity.modelCode;
        mounted.config.idnModel = identity.idnModel;
        mounted.manufacturerId = identity.manufacturerId;
        mounted.modelCode = identity.modelCode;
        mounted.instrument = makeInstrument(module, config_.interface, stateDirectory);
        modules_.push_back(std::move(mounted));
    }
}

Mainframe::Mainframe(Interface interface, std::vector<MountedModule> modules) : modules_(std::move(modules)) {
    config_.interface = interface;
    for (const MountedModule& module : modules_) config_.modules.push_back(module.config);
}

const MountedModule* Mainframe::find(std::uint16_t interfaceNumber, std::uint16_t logicalAddress) const {
    for (const MountedModule& module : modules_) {
        if (module.config.interfaceNumber == interfaceNumber &&
            module.config.logicalAddress == logicalAddress) {
            return &module;
        }
    }
    return nullptr;
}

namespace {

struct MainframeSlot {
    std::mutex mutex;
    ChassisChoice chassis;
};

MainframeSlot& mainframeSlot() {
    static MainframeSlot slot;
    return slot;
}

}  // namespace

std::shared_ptr<Mainframe> mainframeFromEnvironment() {
    const char* path = std::getenv(kChassisFileVariable);
    if (path == nullptr || *path == '\0') return std::make_shared<Mainframe>(defaultChassis());
    std::string error;
    auto chassis = loadChassisFile(path, error);
    if (!chassis) {
        std::cerr << "kq7120-sim: " << error << "; the mainframe is empty\n";
        ChassisConfig empty;
        return std::make_shared<Mainframe>(empty);
    }
    return std::make_shared<Mainframe>(*chassis);
}

ChassisChoice currentChassis() {
    MainframeSlot& slot = mainframeSlot();
    std::lock_guard lock(slot.mutex);
    // A server that went away or was not there yet is looked for again, so a restarted server is
    // found by the next search.
    const bool stale = !slot.chassis.mainframe || slot.chassis.serverMissing ||
                       (slot.chassis.connection && slot.chassis.connection->lost());
    if (stale) {
        if (auto served = servedChassis()) {
            slot.chassis = std::move(*served);
        } else {
            slot.chassis = {mainframeFromEnvironment(), nullptr, false};
        }
    }
    return slot.chassis;
}

std::shared_ptr<Mainframe> currentMainframe() { return currentChassis().mainframe; }

void installChassis(const ChassisConfig& config) { installMainframe(std::make_shared<Mainframe>(config)); }

void installMainframe(std::shared_ptr<Mainframe> mainframe) {
    MainframeSlot& slot = mainframeSlot();
    std::lock_guard lock(slot.mutex);
    slot.chassis = {std::move(mainframe), nullptr, false};
}

}  // namespace kqsim
