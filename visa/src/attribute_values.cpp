#include "attribute_values.h"

#include <charconv>
#include <cstdint>

#include "kqsim/chassis_config.h"
#include "kqsim/kq_module.h"

namespace kqvisa {

namespace {

// The maker of the modules also makes this library.
constexpr std::string_view kLibraryManufacturer = kqsim::kKqMakerName;
constexpr ViUInt16 kLibraryManufacturerId = kqsim::kOurManufacturerId;
constexpr ViVersion kImplementationVersion =
    (KQ_VERSION_MAJOR << 20) | (KQ_VERSION_MINOR << 8) | KQ_VERSION_PATCH;

constexpr std::string_view kInstrumentClass = "INSTR";
constexpr ViUInt32 kFormattedBufferSize = 4096;
// The controller is the commander at logical address 0 and the mainframe's slot-0 device.
constexpr ViInt16 kControllerLogicalAddress = 0;
// A16 addresses of the VXI configuration space: 0xC000 plus 64 bytes per logical address.
constexpr ViBusAddress kConfigurationSpaceBase = 0xC000;
constexpr ViUInt32 kTtlTriggerLines = 0xFF;

std::string hexNumber(unsigned value) {
    char digits[8];
    const auto [end, error] = std::to_chars(std::begin(digits), std::end(digits), value, 16);
    std::string text = "0x";
    for (const char* c = digits; c != end; ++c) text += static_cast<char>(*c >= 'a' ? *c - 'a' + 'A' : *c);
    return text;
}

std::string manufacturerName(std::uint16_t manufacturerId) {
    if (manufacturerId == kqsim::kOurManufacturerId) return std::string(kLibraryManufacturer);
    return "Manufacturer " + hexNumber(manufacturerId);
}

std::string modelName(const kqsim::MountedModule& module) {
    if (module.config.idnModel && !module.config.idnModel->empty()) return *module.config.idnModel;
    return "Model " + hexNumber(module.modelCode);
}

constexpr ViAttrState number(long long value) { return static_cast<ViAttrState>(value); }

// Attributes every session has that no caller can change.
std::optional<AttributeValue> libraryAttribute(ViAttr id) {
    switch (id) {
        case VI_ATTR_RSRC_IMPL_VERSION:
            return number(kImplementationVersion);
        case VI_ATTR_RSRC_SPEC_VERSION:
            return number(VI_SPEC_VERSION);
        case VI_ATTR_RSRC_MANF_NAME:
            return std::string(kLibraryManufacturer);
        case VI_ATTR_RSRC_MANF_ID:
            return number(kLibraryManufacturerId);
        case VI_ATTR_RSRC_LOCK_STATE:
            return number(VI_NO_LOCK);
        default:
            return std::nullopt;
    }
}

std::optional<AttributeValue> fixedResourceAttribute(const ResourceDetails& resource, ViAttr id) {
    const kqsim::MountedModule& module = resource.module;
    switch (id) {
        case VI_ATTR_RSRC_CLASS:
            return std::string(kInstrumentClass);
        case VI_ATTR_RSRC_NAME:
            return resource.descriptor;
        case VI_ATTR_INTF_TYPE:
            return number(interfaceType(resource.name.interface));
        case VI_ATTR_INTF_NUM:
            return number(resource.name.board);
        case VI_ATTR_INTF_INST_NAME:
            return interfaceName(resource.name.interface, resource.name.board) + " (simulated mainframe)";
        case VI_ATTR_VXI_LA:
            return number(module.config.logicalAddress);
        case VI_ATTR_SLOT:
            return number(module.config.slot);
        case VI_ATTR_MANF_ID:
            return number(module.manufacturerId);
        case VI_ATTR_MODEL_CODE:
            return number(module.modelCode);
        case VI_ATTR_MANF_NAME:
            return manufacturerName(module.manufacturerId);
        case VI_ATTR_MODEL_NAME:
            return modelName(module);
        case VI_ATTR_MAINFRAME_LA:
            return number(kControllerLogicalAddress);
        case VI_ATTR_CMDR_LA:
            return number(kControllerLogicalAddress);
        case VI_ATTR_VXI_DEV_CLASS:
            return number(VI_VXI_CLASS_MESSAGE);
        case VI_ATTR_MEM_SPACE:
            return number(VI_A16_SPACE);
        case VI_ATTR_MEM_BASE:
            return number(static_cast<long long>(kConfigurationSpaceBase +
                                                 kRegisterBlockSize * module.config.logicalAddress));
        case VI_ATTR_MEM_SIZE:
            return number(kRegisterBlockSize);
        case VI_ATTR_IMMEDIATE_SERV:
            return number(VI_FALSE);
        case VI_ATTR_4882_COMPLIANT:
            return number(VI_TRUE);
        case VI_ATTR_VXI_TRIG_SUPPORT:
            return number(kTtlTriggerLines);
        case VI_ATTR_RD_BUF_SIZE:
        case VI_ATTR_WR_BUF_SIZE:
            return number(kFormattedBufferSize);
        default:
            return libraryAttribute(id);
    }
}

std::optional<AttributeValue> windowAttribute(const MappedWindow* window, ViAttr id) {
    switch (id) {
        case VI_ATTR_WIN_ACCESS:
            return number(window ? VI_USE_OPERS : VI_NMAPPED);
        case VI_ATTR_WIN_BASE_ADDR:
            return number(window ? static_cast<long long>(window->offset) : 0);
        case VI_ATTR_WIN_SIZE:
            return number(window ? static_cast<long long>(window->size) : 0);
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<AttributeValue> resourceAttribute(const ResourceDetails& resource, const AttributeInfo& info) {
    if ((info.owners & kOwnedByInstrument) == 0) return std::nullopt;
    if (info.writable) return info.defaultValue;
    if (auto window = windowAttribute(nullptr, info.id)) return window;
    return fixedResourceAttribute(resource, info.id);
}

std::optional<AttributeValue> instrumentAttribute(const InstrumentSession& session,
                                                  const AttributeInfo& info) {
    if ((info.owners & kOwnedByInstrument) == 0) return std::nullopt;
    if (const auto setting = session.settings.find(info.id)) return *setting;
    if (auto window = windowAttribute(session.window.get(), info.id)) return window;
    return fixedResourceAttribute(session.resource, info.id);
}

std::optional<AttributeValue> resourceManagerAttribute(const ResourceManagerSession& session,
                                                       const AttributeInfo& info) {
    if ((info.owners & kOwnedByResourceManager) == 0) return std::nullopt;
    if (const auto setting = session.settings.find(info.id)) return *setting;
    return libraryAttribute(info.id);
}

}  // namespace kqvisa
