#include "kqsim/chassis_config.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <utility>

namespace kqsim {
namespace {

using Json = nlohmann::json;

struct ModelName {
    const char* text;
    ModuleKind kind;
};
constexpr ModelName kModelNames[] = {
    {"KQ7120", ModuleKind::KQ7120},
    {"KQ7110", ModuleKind::KQ7110},
    {"foreign", ModuleKind::Foreign},
};

struct InterfaceName {
    const char* text;
    Interface interface;
};
constexpr InterfaceName kInterfaceNames[] = {
    {"VXI", Interface::Vxi},
    {"GPIB-VXI", Interface::GpibVxi},
};

struct IntegerLimits {
    long long lowest;
    long long highest;
};
constexpr IntegerLimits kLogicalAddressLimits{0, 255};
constexpr IntegerLimits kSlotLimits{0, 12};
constexpr IntegerLimits kInterfaceNumberLimits{0, 255};
constexpr IntegerLimits kIdentityCodeLimits{0, 0x0FFF};

const char* const kRootKeys[] = {"interface", "stateDirectory", "modules"};
const char* const kModuleKeys[] = {"model",          "logicalAddress", "slot",    "interfaceNumber",
                                   "manufacturerId", "modelCode",      "idnModel"};

// Carries the first problem found; every check returns false once it is set.
class Validator {
public:
    bool fail(const std::string& where, const std::string& what) {
        if (error_.empty()) error_ = where + ": " + what;
        return false;
    }
    const std::string& error() const { return error_; }

    template <std::size_t N>
    bool onlyKnownKeys(const Json& object, const char* const (&keys)[N], const std::string& where) {
        for (const auto& [key, value] : object.items()) {
            bool known = false;
            for (const char* k : keys) known = known || key == k;
            if (!known) return fail(where, "unknown key \"" + key + "\"");
        }
        return true;
    }

    std::optional<long long> integer(const Json& value, IntegerLimits limits, const std::string& where,
                                     bool hexTextAllowed) {
        long long number = 0;
        if (value.is_number_integer()) {
            number = value.get<long long>();
        } else if (hexTextAllowed && value.is_string()) {
            const auto text = value.get<std::string>();
            if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
                fail(where, "expected a number or a hexadecimal text such as \"0xA5D\"");
                return std::nullopt;
            }
            const char* first = text.data() + 2;
            const char* last = text.data() + text.size();
            const auto [end, ec] = std::from_chars(first, last, number, 16);
            if (ec != std::errc() || end != last) {
                fail(where, "\"" + text + "\" is not a hexadecimal number");
                return std::nullopt;
            }
        } else {
            fail(where, "expected an integer");
            return std::nullopt;
        }
        if (number < limits.lowest || number > limits.highest) {
            fail(where, std::to_string(number) + " is outside " + std::to_string(limits.lowest) + "-" +
                            std::to_string(limits.highest));
            return std::nullopt;
        }
        return number;
    }

private:
    std::string error_;
};

bool validIdnModel(const std::string& text) {
    if (text.empty() || text.size() > 32) return false;
    for (char c : text) {
        if (c == ',' || c == ';' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    }
    return true;
}

std::optional<ModuleConfig> parseModule(const Json& entry, const std::string& where, Validator& check) {
    if (!entry.is_object()) {
        check.fail(where, "expected an object");
        return std::nullopt;
    }
    if (!check.onlyKnownKeys(entry, kModuleKeys, where)) return std::nullopt;
    ModuleConfig module;

    if (!entry.contains("model") || !entry["model"].is_string()) {
        check.fail(where, "\"model\" missing (KQ7120, KQ7110 or foreign)");
        return std::nullopt;
    }
    const auto model = entry["model"].get<std::string>();
    bool knownModel = false;
    for (const auto& name : kModelNames) {
        if (model == name.text) {
            module.kind = name.kind;
            knownModel = true;
        }
    }
    if (!knownModel) {
        check.fail(where + ".model", "\"" + model + "\" is not KQ7120, KQ7110 or foreign");
        return std::nullopt;
    }

    for (const char* required : {"logicalAddress", "slot"}) {
        if (!entry.contains(required)) {
            check.fail(where, std::string("\"") + required + "\" missing");
            return std::nullopt;
        }
    }
    const auto address =
        check.integer(entry["logicalAddress"], kLogicalAddressLimits, where + ".logicalAddress", false);
    const auto slot = check.integer(entry["slot"], kSlotLimits, where + ".slot", false);
    if (!address || !slot) return std::nullopt;
    module.logicalAddress = static_cast<std::uint16_t>(*address);
    module.slot = static_cast<std::uint16_t>(*slot);

    if (entry.contains("interfaceNumber")) {
        const auto number = check.integer(entry["interfaceNumber"], kInterfaceNumberLimits,
                                          where + ".interfaceNumber", false);
        if (!number) return std::nullopt;
        module.interfaceNumber = static_cast<std::uint16_t>(*number);
    }
    if (entry.contains("manufacturerId")) {
        const auto id =
            check.integer(entry["manufacturerId"], kIdentityCodeLimits, where + ".manufacturerId", true);
        if (!id) return std::nullopt;
        module.manufacturerId = static_cast<std::uint16_t>(*id);
    }
    if (entry.contains("modelCode")) {
        const auto code = check.integer(entry["modelCode"], kIdentityCodeLimits, where + ".modelCode", true);
        if (!code) return std::nullopt;
        module.modelCode = static_cast<std::uint16_t>(*code);
    }
    if (entry.contains("idnModel")) {
        const auto& value = entry["idnModel"];
        if (!value.is_string() || !validIdnModel(value.get<std::string>())) {
            check.fail(where + ".idnModel", "expected 1-32 printable characters without ',' or ';'");
            return std::nullopt;
        }
        module.idnModel = value.get<std::string>();
    }
    return module;
}

std::optional<ChassisConfig> parseChassis(const Json& root, Validator& check) {
    if (!root.is_object()) {
        check.fail("chassis", "expected a JSON object");
        return std::nullopt;
    }
    if (!check.onlyKnownKeys(root, kRootKeys, "chassis")) return std::nullopt;
    ChassisConfig chassis;

    if (root.contains("interface")) {
        const auto& value = root["interface"];
        bool known = false;
        for (const auto& name : kInterfaceNames) {
            if (value.is_string() && value.get<std::string>() == name.text) {
                chassis.interface = name.interface;
                known = true;
            }
        }
        if (!known) {
            check.fail("interface", "expected \"VXI\" or \"GPIB-VXI\"");
            return std::nullopt;
        }
    }
    if (root.contains("stateDirectory")) {
        if (!root["stateDirectory"].is_string()) {
            check.fail("stateDirectory", "expected a text");
            return std::nullopt;
        }
        chassis.stateDirectory = root["stateDirectory"].get<std::string>();
    }
    if (!root.contains("modules") || !root["modules"].is_array()) {
        check.fail("modules", "expected an array of modules");
        return std::nullopt;
    }

    std::set<std::pair<std::uint16_t, std::uint16_t>> addressesInUse;
    std::set<std::pair<std::uint16_t, std::uint16_t>> slotsInUse;
    const auto& modules = root["modules"];
    for (std::size_t i = 0; i < modules.size(); ++i) {
        const std::string where = "modules[" + std::to_string(i) + "]";
        auto module = parseModule(modules[i], where, check);
        if (!module) return std::nullopt;
        if (!addressesInUse.emplace(module->interfaceNumber, module->logicalAddress).second) {
            check.fail(where + ".logicalAddress",
                       "logical address " + std::to_string(module->logicalAddress) +
                           " is already used on interface " + std::to_string(module->interfaceNumber));
            return std::nullopt;
        }
        if (!slotsInUse.emplace(module->interfaceNumber, module->slot).second) {
            check.fail(where + ".slot", "slot " + std::to_string(module->slot) +
                                            " is already used on interface " +
                                            std::to_string(module->interfaceNumber));
            return std::nullopt;
        }
        chassis.modules.push_back(*module);
    }
    return chassis;
}

}  // namespace

ChassisConfig defaultChassis() {
    ChassisConfig chassis;
    chassis.interface = Interface::Vxi;
    const auto module = [](ModuleKind kind, std::uint16_t logicalAddress, std::uint16_t slot) {
        ModuleConfig config;
        config.kind = kind;
        config.logicalAddress = logicalAddress;
        config.slot = slot;
        return config;
    };
    chassis.modules = {module(ModuleKind::KQ7120, 24, 2), module(ModuleKind::Foreign, 32, 3),
                       module(ModuleKind::KQ7110, 40, 4)};
    return chassis;
}

std::optional<ChassisConfig> loadChassisFile(const std::string& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot be opened";
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    const Json root = Json::parse(text.str(), nullptr, false);
    if (root.is_discarded()) {
        error = path + ": not valid JSON";
        return std::nullopt;
    }
    Validator check;
    auto chassis = parseChassis(root, check);
    if (!chassis) {
        error = path + ": " + check.error();
        return std::nullopt;
    }
    // A relative state folder belongs next to the chassis file, wherever the program runs from.
    const std::filesystem::path stateDirectory(chassis->stateDirectory);
    if (!stateDirectory.empty() && stateDirectory.is_relative()) {
        chassis->stateDirectory =
            (std::filesystem::path(path).parent_path() / stateDirectory).lexically_normal().string();
    }
    return chassis;
}

}  // namespace kqsim
