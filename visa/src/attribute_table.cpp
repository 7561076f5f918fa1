#include "attribute_table.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

namespace kqvisa {

namespace {

constexpr unsigned kEverySession = kOwnedByResourceManager | kOwnedByInstrument;

bool anyValue(ViAttrState) { return true; }
bool booleanValue(ViAttrState value) { return value == VI_FALSE || value == VI_TRUE; }
bool atLeastOne(ViAttrState value) { return value >= 1; }
bool incrementValue(ViAttrState value) { return value == 0 || value == 1; }
bool ioProtocolValue(ViAttrState value) { return value == VI_PROT_NORMAL || value == VI_PROT_4882_STRS; }
bool byteOrderValue(ViAttrState value) { return value == VI_BIG_ENDIAN || value == VI_LITTLE_ENDIAN; }
bool accessPrivilegeValue(ViAttrState value) { return value <= VI_BLCK_NPRIV; }
bool readBufferModeValue(ViAttrState value) {
    return value == VI_FLUSH_ON_ACCESS || value == VI_FLUSH_DISABLE;
}
bool writeBufferModeValue(ViAttrState value) {
    return value == VI_FLUSH_ON_ACCESS || value == VI_FLUSH_WHEN_FULL;
}
bool triggerIdValue(ViAttrState value) {
    const auto id = static_cast<long long>(value);
    return id == VI_TRIG_SW || (id >= VI_TRIG_TTL0 && id <= VI_TRIG_TTL7) || id == VI_TRIG_ECL0 ||
           id == VI_TRIG_ECL1;
}

constexpr ViAttrState signedState(long long value) { return static_cast<ViAttrState>(value); }

using W = AttributeWidth;

// Read-only attributes carry no default or check: their values come from the resource.
constexpr AttributeInfo kAttributes[] = {
    {.id = VI_ATTR_RSRC_CLASS, .name = "VI_ATTR_RSRC_CLASS", .width = W::Text, .owners = kOwnedByInstrument},
    {.id = VI_ATTR_RSRC_NAME, .name = "VI_ATTR_RSRC_NAME", .width = W::Text, .owners = kOwnedByInstrument},
    {.id = VI_ATTR_RSRC_IMPL_VERSION,
     .name = "VI_ATTR_RSRC_IMPL_VERSION",
     .width = W::UInt32,
     .owners = kEverySession},
    {.id = VI_ATTR_RSRC_SPEC_VERSION,
     .name = "VI_ATTR_RSRC_SPEC_VERSION",
     .width = W::UInt32,
     .owners = kEverySession},
    {.id = VI_ATTR_RSRC_MANF_NAME,
     .name = "VI_ATTR_RSRC_MANF_NAME",
     .width = W::Text,
     .owners = kEverySession},
    {.id = VI_ATTR_RSRC_MANF_ID, .name = "VI_ATTR_RSRC_MANF_ID", .width = W::UInt16, .owners = kEverySession},
    {.id = VI_ATTR_RSRC_LOCK_STATE,
     .name = "VI_ATTR_RSRC_LOCK_STATE",
     .width = W::UInt32,
     .owners = kEverySession},
    {.id = VI_ATTR_INTF_TYPE, .name = "VI_ATTR_INTF_TYPE", .width = W::UInt16, .owners = kOwnedByInstrument},
    {.id = VI_ATTR_INTF_NUM, .name = "VI_ATTR_INTF_NUM", .width = W::UInt16, .owners = kOwnedByInstrument},
    {.id = VI_ATTR_INTF_INST_NAME,
     .name = "VI_ATTR_INTF_INST_NAME",
     .width = W::Text,
     .owners = kOwnedByInstrument},
    {.id = VI_ATTR_VXI_LA, .name = "VI_ATTR_VXI_LA", .width = W::Int16, .owners = kOwnedByInstrument},
    {.id = VI_ATTR_SLOT, .name = "VI_ATTR_SLOT", .width = W::Int16, .owners = kOwnedByInstrument},
    {.id = VI_ATTR_MANF_ID, .name = "VI_ATTR_MANF_ID", .width = W::UInt16, .owners = kOwnedByInstrument},
    {.id = VI_ATTR_MODEL_CODE,
     .name = "VI_ATTR_MODEL_CODE",
     .width = W::UInt16,
     .owners = kOwnedByInstrument},
    {.id = VI_ATTR_MANF_NAME, .name = "VI_ATTR_MANF_NAME", .width = W::Text, .owners = kOwnedByInstrument},
    {.id = VI_ATTR_MODEL_NAME, .name = "VI_ATTR_MODEL_NAME", .width = W::Text, .owners = kOwnedByInstrument},
    {.id = VI_ATTR_MAINFRAME_LA,
     .name = "VI_ATTR_MAINFRAME_LA",
     .width = W::Int16,
     .owners = kOwnedByInstrument},
    {.id = VI_ATTR_CMDR_LA, .name = "VI_ATTR_CMDR_LA", .width = W::Int16, .owners = kOwnedByInstrument},
    {.id = VI_ATTR_VXI_DEV_CLASS,
     .name = "VI_ATTR_VXI_DEV_CLASS",
     .width = W::UInt16,
     .owners = kOwnedByInstrument},
    {.id = VI_ATTR_MEM_SPACE, .name = "VI_ATTR_MEM_SPACE", .width = W::UInt16, .owners = kOwnedByInstrument},
    {.id = VI_ATTR_MEM_BASE, .name = "VI_ATTR_MEM_BASE", .width = W::UInt64, .owners = kOwnedByInstrument},
    {.id = VI_ATTR_MEM_SIZE, .name = "VI_ATTR_MEM_SIZE", .width = W::UInt64, .owners = kOwnedByInstrument},
    {.id = VI_ATTR_IMMEDIATE_SERV,
     .name = "VI_ATTR_IMMEDIATE_SERV",
     .width = W::Boolean,
     .owners = kOwnedByInstrument},
    {.id = VI_ATTR_4882_COMPLIANT,
     .name = "VI_ATTR_4882_COMPLIANT",
     .width = W::Boolean,
     .owners = kOwnedByInstrument},
    {.id = VI_ATTR_VXI_TRIG_SUPPORT,
     .name = "VI_ATTR_VXI_TRIG_SUPPORT",
     .width = W::UInt32,
     .owners = kOwnedByInstrument},
    {.id = VI_ATTR_RD_BUF_SIZE,
     .name = "VI_ATTR_RD_BUF_SIZE",
     .width = W::UInt32,
     .owners = kOwnedByInstrument},
    {.id = VI_ATTR_WR_BUF_SIZE,
     .name = "VI_ATTR_WR_BUF_SIZE",
     .width = W::UInt32,
     .owners = kOwnedByInstrument},
    {.id = VI_ATTR_WIN_ACCESS,
     .name = "VI_ATTR_WIN_ACCESS",
     .width = W::UInt16,
     .owners = kOwnedByInstrument},
    {.id = VI_ATTR_WIN_BASE_ADDR,
     .name = "VI_ATTR_WIN_BASE_ADDR",
     .width = W::UInt64,
     .owners = kOwnedByInstrument},
    {.id = VI_ATTR_WIN_SIZE, .name = "VI_ATTR_WIN_SIZE", .width = W::UInt64, .owners = kOwnedByInstrument},

    {.id = VI_ATTR_TMO_VALUE,
     .name = "VI_ATTR_TMO_VALUE",
     .width = W::UInt32,
     .owners = kEverySession,
     .writable = true,
     .defaultValue = 2000,
     .acceptsSetting = anyValue},
    {.id = VI_ATTR_MAX_QUEUE_LENGTH,
     .name = "VI_ATTR_MAX_QUEUE_LENGTH",
     .width = W::UInt32,
     .owners = kEverySession,
     .writable = true,
     .defaultValue = 50,
     .acceptsSetting = atLeastOne},
    {.id = VI_ATTR_USER_DATA,
     .name = "VI_ATTR_USER_DATA",
     .width = W::UInt64,
     .owners = kEverySession,
     .writable = true,
     .defaultValue = 0,
     .acceptsSetting = anyValue},
    {.id = VI_ATTR_SEND_END_EN,
     .name = "VI_ATTR_SEND_END_EN",
     .width = W::Boolean,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_TRUE,
     .acceptsSetting = booleanValue},
    {.id = VI_ATTR_TERMCHAR,
     .name = "VI_ATTR_TERMCHAR",
     .width = W::UInt8,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = '\n',
     .acceptsSetting = anyValue},
    {.id = VI_ATTR_TERMCHAR_EN,
     .name = "VI_ATTR_TERMCHAR_EN",
     .width = W::Boolean,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_FALSE,
     .acceptsSetting = booleanValue},
    {.id = VI_ATTR_SUPPRESS_END_EN,
     .name = "VI_ATTR_SUPPRESS_END_EN",
     .width = W::Boolean,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_FALSE,
     .acceptsSetting = booleanValue},
    {.id = VI_ATTR_IO_PROT,
     .name = "VI_ATTR_IO_PROT",
     .width = W::UInt16,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_PROT_NORMAL,
     .acceptsSetting = ioProtocolValue},
    {.id = VI_ATTR_DMA_ALLOW_EN,
     .name = "VI_ATTR_DMA_ALLOW_EN",
     .width = W::Boolean,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_FALSE,
     .acceptsSetting = booleanValue},
    {.id = VI_ATTR_FILE_APPEND_EN,
     .name = "VI_ATTR_FILE_APPEND_EN",
     .width = W::Boolean,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_FALSE,
     .acceptsSetting = booleanValue},
    {.id = VI_ATTR_RD_BUF_OPER_MODE,
     .name = "VI_ATTR_RD_BUF_OPER_MODE",
     .width = W::UInt16,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_FLUSH_DISABLE,
     .acceptsSetting = readBufferModeValue},
    {.id = VI_ATTR_WR_BUF_OPER_MODE,
     .name = "VI_ATTR_WR_BUF_OPER_MODE",
     .width = W::UInt16,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_FLUSH_WHEN_FULL,
     .acceptsSetting = writeBufferModeValue},
    {.id = VI_ATTR_SRC_INCREMENT,
     .name = "VI_ATTR_SRC_INCREMENT",
     .width = W::Int32,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = 1,
     .acceptsSetting = incrementValue},
    {.id = VI_ATTR_DEST_INCREMENT,
     .name = "VI_ATTR_DEST_INCREMENT",
     .width = W::Int32,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = 1,
     .acceptsSetting = incrementValue},
    {.id = VI_ATTR_SRC_BYTE_ORDER,
     .name = "VI_ATTR_SRC_BYTE_ORDER",
     .width = W::UInt16,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_BIG_ENDIAN,
     .acceptsSetting = byteOrderValue},
    {.id = VI_ATTR_DEST_BYTE_ORDER,
     .name = "VI_ATTR_DEST_BYTE_ORDER",
     .width = W::UInt16,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_BIG_ENDIAN,
     .acceptsSetting = byteOrderValue},
    {.id = VI_ATTR_WIN_BYTE_ORDER,
     .name = "VI_ATTR_WIN_BYTE_ORDER",
     .width = W::UInt16,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_BIG_ENDIAN,
     .acceptsSetting = byteOrderValue},
    {.id = VI_ATTR_SRC_ACCESS_PRIV,
     .name = "VI_ATTR_SRC_ACCESS_PRIV",
     .width = W::UInt16,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_DATA_PRIV,
     .acceptsSetting = accessPrivilegeValue},
    {.id = VI_ATTR_DEST_ACCESS_PRIV,
     .name = "VI_ATTR_DEST_ACCESS_PRIV",
     .width = W::UInt16,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_DATA_PRIV,
     .acceptsSetting = accessPrivilegeValue},
    {.id = VI_ATTR_WIN_ACCESS_PRIV,
     .name = "VI_ATTR_WIN_ACCESS_PRIV",
     .width = W::UInt16,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = VI_DATA_PRIV,
     .acceptsSetting = accessPrivilegeValue},
    {.id = VI_ATTR_TRIG_ID,
     .name = "VI_ATTR_TRIG_ID",
     .width = W::Int16,
     .owners = kOwnedByInstrument,
     .writable = true,
     .defaultValue = signedState(VI_TRIG_SW),
     .acceptsSetting = triggerIdValue},
};

template <class T>
bool fitsType(ViAttrState value) {
    if constexpr (std::is_signed_v<T>) {
        const auto number = static_cast<long long>(value);
        return number >= std::numeric_limits<T>::min() && number <= std::numeric_limits<T>::max();
    } else {
        return value <= std::numeric_limits<T>::max();
    }
}

template <class T>
void storeNumber(ViAttrState value, void* destination) {
    const T number = static_cast<T>(value);
    std::memcpy(destination, &number, sizeof number);
}

}  // namespace

std::span<const AttributeInfo> attributeTable() { return kAttributes; }

const AttributeInfo* findAttribute(ViAttr id) {
    const auto found = std::find_if(std::begin(kAttributes), std::end(kAttributes),
                                    [id](const AttributeInfo& info) { return info.id == id; });
    return found == std::end(kAttributes) ? nullptr : found;
}

const AttributeInfo* findAttribute(std::string_view name) {
    const auto found = std::find_if(std::begin(kAttributes), std::end(kAttributes),
                                    [name](const AttributeInfo& info) { return info.name == name; });
    return found == std::end(kAttributes) ? nullptr : found;
}

bool fitsWidth(AttributeWidth width, ViAttrState value) {
    switch (width) {
        case W::UInt8:
            return fitsType<ViUInt8>(value);
        case W::Boolean:
            return fitsType<ViBoolean>(value);
        case W::UInt16:
            return fitsType<ViUInt16>(value);
        case W::Int16:
            return fitsType<ViInt16>(value);
        case W::UInt32:
            return fitsType<ViUInt32>(value);
        case W::Int32:
            return fitsType<ViInt32>(value);
        case W::UInt64:
            return true;
        case W::Text:
            return false;
    }
    return false;
}

void storeAttribute(AttributeWidth width, const AttributeValue& value, void* destination) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        const std::size_t count = std::min<std::size_t>(text->size(), VI_FIND_BUFLEN - 1);
        auto* out = static_cast<char*>(destination);
        std::memcpy(out, text->data(), count);
        out[count] = '\0';
        return;
    }
    const ViAttrState number = std::get<ViAttrState>(value);
    switch (width) {
        case W::UInt8:
            storeNumber<ViUInt8>(number, destination);
            break;
        case W::Boolean:
            storeNumber<ViBoolean>(number, destination);
            break;
        case W::UInt16:
            storeNumber<ViUInt16>(number, destination);
            break;
        case W::Int16:
            storeNumber<ViInt16>(number, destination);
            break;
        case W::UInt32:
            storeNumber<ViUInt32>(number, destination);
            break;
        case W::Int32:
            storeNumber<ViInt32>(number, destination);
            break;
        case W::UInt64:
            storeNumber<ViUInt64>(number, destination);
            break;
        case W::Text:
            break;
    }
}

}  // namespace kqvisa
