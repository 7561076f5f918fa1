#include "resource_name.h"

#include <charconv>
#include <limits>

#include "text_compare.h"

namespace kqvisa {

namespace {

struct InterfacePrefix {
    std::string_view text;
    kqsim::Interface interface;
};

// GPIB-VXI first: "VXI" alone would not match it anyway, but the longer name reads as the rule.
constexpr InterfacePrefix kPrefixes[] = {
    {"GPIB-VXI", kqsim::Interface::GpibVxi},
    {"VXI", kqsim::Interface::Vxi},
};

constexpr std::string_view kSeparator = "::";
constexpr std::string_view kInstrumentClass = "INSTR";
constexpr std::string_view kPyVisaSecondary = "::0";
constexpr unsigned kMaxLogicalAddress = 255;

// Reads a run of decimal digits no greater than `limit`; empty or too large gives nothing.
std::optional<unsigned> takeNumber(std::string_view& text, unsigned limit) {
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0) return std::nullopt;
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + digits, value);
    if (error != std::errc{} || end != text.data() + digits || value > limit) return std::nullopt;
    text.remove_prefix(digits);
    return static_cast<unsigned>(value);
}

}  // namespace

std::optional<ResourceName> parseResourceName(std::string_view text) {
    ResourceName name;
    bool prefixFound = false;
    for (const InterfacePrefix& prefix : kPrefixes) {
        if (startsWithNoCase(text, prefix.text)) {
            name.interface = prefix.interface;
            text.remove_prefix(prefix.text.size());
            prefixFound = true;
            break;
        }
    }
    if (!prefixFound) return std::nullopt;

    if (!text.empty() && text.front() != ':') {
        const auto board = takeNumber(text, std::numeric_limits<std::uint16_t>::max());
        if (!board) return std::nullopt;
        name.board = static_cast<std::uint16_t>(*board);
    }
    if (!startsWithNoCase(text, kSeparator)) return std::nullopt;
    text.remove_prefix(kSeparator.size());
    const auto logicalAddress = takeNumber(text, kMaxLogicalAddress);
    if (!logicalAddress) return std::nullopt;
    name.logicalAddress = static_cast<std::uint16_t>(*logicalAddress);

    // PyVISA reads a GPIB-VXI descriptor as a GPIB one and opens it with secondary address 0 added
    // ("GPIB-VXI0::24::0::INSTR"); that spelling names the same module.
    if (name.interface == kqsim::Interface::GpibVxi && startsWithNoCase(text, kPyVisaSecondary) &&
        (text.size() == kPyVisaSecondary.size() ||
         startsWithNoCase(text.substr(kPyVisaSecondary.size()), kSeparator))) {
        text.remove_prefix(kPyVisaSecondary.size());
    }
    if (text.empty()) return name;
    if (!startsWithNoCase(text, kSeparator)) return std::nullopt;
    text.remove_prefix(kSeparator.size());
    if (!equalsNoCase(text, kInstrumentClass)) return std::nullopt;
    return name;
}

std::string interfaceName(kqsim::Interface interface, std::uint16_t board) {
    const std::string_view prefix = interface == kqsim::Interface::GpibVxi ? "GPIB-VXI" : "VXI";
    return std::string(prefix) + std::to_string(board);
}

std::string canonicalName(const ResourceName& name) {
    return interfaceName(name.interface, name.board) + "::" + std::to_string(name.logicalAddress) + "::INSTR";
}

ViUInt16 interfaceType(kqsim::Interface interface) {
    return interface == kqsim::Interface::GpibVxi ? VI_INTF_GPIB_VXI : VI_INTF_VXI;
}

}  // namespace kqvisa
