#include "kqsim/module_factory.h"

#include <cstdlib>
#include <filesystem>

#include "foreign_module.h"
#include "kqsim/kq_module.h"

namespace kqsim {
namespace {

struct KindIdentity {
    ModuleKind kind;
    std::uint16_t manufacturerId;
    std::uint16_t modelCode;
    const char* idnModel;
    const char* stateFilePrefix;
};
constexpr KindIdentity kKindIdentities[] = {
    {ModuleKind::KQ7120, kOurManufacturerId, kOurModelCode, "KQ7120", "kq7120"},
    {ModuleKind::KQ7110, kOurManufacturerId, kOurModelCode, "KQ7110", "kq7110"},
    {ModuleKind::Foreign, kForeignManufacturerId, kForeignModelCode, kForeignIdnModel, "foreign"},
};

const KindIdentity& kindIdentity(ModuleKind kind) {
    for (const auto& identity : kKindIdentities) {
        if (identity.kind == kind) return identity;
    }
    return kKindIdentities[0];
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

ModuleIdentity identityOf(const ModuleConfig& config) {
    const KindIdentity& defaults = kindIdentity(config.kind);
    return {config.manufacturerId.value_or(defaults.manufacturerId),
            config.modelCode.value_or(defaults.modelCode), config.idnModel.value_or(defaults.idnModel)};
}

std::string defaultStateDirectory() {
    if (auto folder = environment(kStateDirectoryVariable); !folder.empty()) return folder;
    if (auto base = environment("XDG_STATE_HOME"); !base.empty()) {
        return (std::filesystem::path(base) / "kq7120-sim").string();
    }
    if (auto home = environment("HOME"); !home.empty()) {
        return (std::filesystem::path(home) / ".local" / "state" / "kq7120-sim").string();
    }
    return (std::filesystem::temp_directory_path() / "kq7120-sim").string();
}

std::shared_ptr<Instrument> makeInstrument(const ModuleConfig& config, Interface interface,
                                           const std::string& stateDirectory) {
    const ModuleIdentity identity = identityOf(config);
    if (config.kind == ModuleKind::Foreign) {
        return std::make_shared<ForeignModule>(identity.manufacturerId, identity.modelCode,
                                               identity.idnModel);
    }
    const std::string fileName = std::string(kindIdentity(config.kind).stateFilePrefix) + "-" +
                                 (interface == Interface::GpibVxi ? "gpib-vxi" : "vxi") +
                                 std::to_string(config.interfaceNumber) + "-la" +
                                 std::to_string(config.logicalAddress) + ".json";
    KqModuleOptions options;
    options.kind = config.kind;
    options.manufacturerId = identity.manufacturerId;
    options.modelCode = identity.modelCode;
    options.idnModel = identity.idnModel;
    options.stateFile = (std::filesystem::path(stateDirectory) / fileName).string();
    return std::make_shared<KqModule>(std::move(options));
}

}  // namespace kqsim
