// Description of a simulated mainframe: which modules sit where and how the controller reaches them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kqsim {

enum class Interface { Vxi, GpibVxi };  // descriptors "VXIn::LA::INSTR" or "GPIB-VXIn::LA::INSTR"
enum class ModuleKind { KQ7120, KQ7110, Foreign };

inline constexpr std::uint16_t kOurManufacturerId = 0xA5D;
inline constexpr std::uint16_t kOurModelCode = 0x103;

struct ModuleConfig {
    ModuleKind kind = ModuleKind::KQ7120;
    std::uint16_t logicalAddress = 0;
    std::uint16_t slot = 0;
    std::uint16_t interfaceNumber = 0;
    // Identity as the VXI configuration registers report it; defaults follow the kind.
    std::optional<std::uint16_t> manufacturerId{};
    std::optional<std::uint16_t> modelCode{};
    // Model word in the "*IDN?" reply ("KQ7120"/"KQ7110" by default); lets a chassis hold a module
    // that identifies as another model of the family.
    std::optional<std::string> idnModel{};
};

struct ChassisConfig {
    Interface interface = Interface::Vxi;
    std::vector<ModuleConfig> modules;
    // Folder of the modules' non-volatile memory; empty = the default place.
    std::string stateDirectory{};
};

// KQ7120 at LA 24 slot 2, a module of another maker at LA 32 slot 3, KQ7110 at LA 40 slot 4, on VXI0.
ChassisConfig defaultChassis();

// Reads a chassis file (JSON). On failure returns nothing and sets `error` to a readable reason.
std::optional<ChassisConfig> loadChassisFile(const std::string& path, std::string& error);

// Environment variables of the simulator.
inline constexpr const char* kChassisFileVariable = "KQ7120_SIM_CHASSIS";
inline constexpr const char* kStateDirectoryVariable = "KQ7120_SIM_STATE_DIR";

}  // namespace kqsim
