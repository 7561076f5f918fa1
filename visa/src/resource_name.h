// Resource descriptors of the simulated mainframe: "VXI[n]::LA[::INSTR]" and "GPIB-VXI[n]::LA[::INSTR]".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "kqsim/chassis_config.h"
#include "visa.h"

namespace kqvisa {

struct ResourceName {
    kqsim::Interface interface = kqsim::Interface::Vxi;
    std::uint16_t board = 0;
    std::uint16_t logicalAddress = 0;

    bool operator==(const ResourceName&) const = default;
};

// Case-insensitive; the board number defaults to 0 and the class to INSTR. A GPIB-VXI descriptor may
// also carry a secondary address 0 after the logical address, as PyVISA writes it
// ("GPIB-VXI0::24::0::INSTR"). Nothing else is accepted.
std::optional<ResourceName> parseResourceName(std::string_view text);

// The canonical spelling, e.g. "VXI0::24::INSTR".
std::string canonicalName(const ResourceName& name);

// "VXI0" or "GPIB-VXI0": the interface part of a descriptor.
std::string interfaceName(kqsim::Interface interface, std::uint16_t board);

ViUInt16 interfaceType(kqsim::Interface interface);

}  // namespace kqvisa
