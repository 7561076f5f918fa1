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
    {VI_ATTR_RSRC_CLASS, "VI_ATTR_RSRC_CLASS", W::Text, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_RSRC_NAME, "VI_ATTR_RSRC_NAME", W::Text, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_RSRC_IMPL_VERSION, "VI_ATTR_RSRC_IMPL_VERSION", W::UInt32, kEverySession, false, 0, nullptr},
    {VI_ATTR_RSRC_SPEC_VERSION, "VI_ATTR_RSRC_SPEC_VERSION", W::UInt32, kEverySession, false, 0, nullptr},
    {VI_ATTR_RSRC_MANF_NAME, "VI_ATTR_RSRC_MANF_NAME", W::Text, kEverySession, false, 0, nullptr},
    {VI_ATTR_RSRC_MANF_ID, "VI_ATTR_RSRC_MANF_ID", W::UInt16, kEverySession, false, 0, nullptr},
    {VI_ATTR_RSRC_LOCK_STATE, "VI_ATTR_RSRC_LOCK_STATE", W::UInt32, kEverySession, false, 0, nullptr},
    {VI_ATTR_INTF_TYPE, "VI_ATTR_INTF_TYPE", W::UInt16, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_INTF_NUM, "VI_ATTR_INTF_NUM", W::UInt16, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_INTF_INST_NAME, "VI_ATTR_INTF_INST_NAME", W::Text, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_VXI_LA, "VI_ATTR_VXI_LA", W::Int16, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_SLOT, "VI_ATTR_SLOT", W::Int16, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_MANF_ID, "VI_ATTR_MANF_ID", W::UInt16, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_MODEL_CODE, "VI_ATTR_MODEL_CODE", W::UInt16, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_MANF_NAME, "VI_ATTR_MANF_NAME", W::Text, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_MODEL_NAME, "VI_ATTR_MODEL_NAME", W::Text, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_MAINFRAME_LA, "VI_ATTR_MAINFRAME_LA", W::Int16, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_CMDR_LA, "VI_ATTR_CMDR_LA", W::Int16, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_VXI_DEV_CLASS, "VI_ATTR_VXI_DEV_CLASS", W::UInt16, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_MEM_SPACE, "VI_ATTR_MEM_SPACE", W::UInt16, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_MEM_BASE, "VI_ATTR_MEM_BASE", W::UInt64, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_MEM_SIZE, "VI_ATTR_MEM_SIZE", W::UInt64, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_IMMEDIATE_SERV, "VI_ATTR_IMMEDIATE_SERV", W::Boolean, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_4882_COMPLIANT, "VI_ATTR_4882_COMPLIANT", W::Boolean, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_VXI_TRIG_SUPPORT, "VI_ATTR_VXI_TRIG_SUPPORT", W::UInt32, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_RD_BUF_SIZE, "VI_ATTR_RD_BUF_SIZE", W::UInt32, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_WR_BUF_SIZE, "VI_ATTR_WR_BUF_SIZE", W::UInt32, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_WIN_ACCESS, "VI_ATTR_WIN_ACCESS", W::UInt16, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_WIN_BASE_ADDR, "VI_ATTR_WIN_BASE_ADDR", W::UInt64, kOwnedByInstrument, false, 0, nullptr},
    {VI_ATTR_WIN_SIZE, "VI_ATTR_WIN_SIZE", W::UInt64, kOwnedByInstrument, false, 0, nullptr},

    {VI_ATTR_TMO_VALUE, "VI_ATTR_TMO_VALUE", W::UInt32, kEverySession, true, 2000, anyValue},
    {VI_ATTR_MAX_QUEUE_LENGTH, "VI_ATTR_MAX_QUEUE_LENGTH", W::UInt32, kEverySession, true, 50, atLeastOne},
    {VI_ATTR_USER_DATA, "VI_ATTR_USER_DATA", W::UInt64, kEverySession, true, 0, anyValue},
    {VI_ATTR_SEND_END_EN, "VI_ATTR_SEND_END_EN", W::Boolean, kOwnedByInstrument, true, VI_TRUE, booleanValue},
    {VI_ATTR_TERMCHAR, "VI_ATTR_TERMCHAR", W::UInt8, kOwnedByInstrument, true, '\n', anyValue},
    {VI_ATTR_TERMCHAR_EN, "VI_ATTR_TERMCHAR_EN", W::Boolean, kOwnedByInstrument, true, VI_FALSE,
     booleanValue},
    {VI_ATTR_SUPPRESS_END_EN, "VI_ATTR_SUPPRESS_END_EN", W::Boolean, kOwnedByInstrument, true, VI_FALSE,
     booleanValue},
    {VI_ATTR_IO_PROT, "VI_ATTR_IO_PROT", W::UInt16, kOwnedByInstrument, true, VI_PROT_NORMAL,
     ioProtocolValue},
    {VI_ATTR_DMA_ALLOW_EN, "VI_ATTR_DMA_ALLOW_EN", W::Boolean, kOwnedByInstrument, true, VI_FALSE,
     booleanValue},
    {VI_ATTR_FILE_APPEND_EN, "VI_ATTR_FILE_APPEND_EN", W::Boolean, kOwnedByInstrument, true, VI_FALSE,
     booleanValue},
    {VI_ATTR_RD_BUF_OPER_MODE, "VI_ATTR_RD_BUF_OPER_MODE", W::UInt16, kOwnedByInstrument, true,
     VI_FLUSH_DISABLE, readBufferModeValue},
    {VI_ATTR_WR_BUF_OPER_MODE, "VI_ATTR_WR_BUF_OPER_MODE", W::UInt16, kOwnedByInstrument, true,
     VI_FLUSH_WHEN_FULL, writeBufferModeValue},
    {VI_ATTR_SRC_INCREMENT, "VI_ATTR_SRC_INCREMENT", W::Int32, kOwnedByInstrument, true, 1, incrementValue},
    {VI_ATTR_DEST_INCREMENT, "VI_ATTR_DEST_INCREMENT", W::Int32, kOwnedByInstrument, true, 1, incrementValue},
    {VI_ATTR_SRC_BYTE_ORDER, "VI_ATTR_SRC_BYTE_ORDER", W::UInt16, kOwnedByInstrument, true, VI_BIG_ENDIAN,
     byteOrderValue},
    {VI_ATTR_DEST_BYTE_ORDER, "VI_ATTR_DEST_BYTE_ORDER", W::UInt16, kOwnedByInstrument, true, VI_BIG_ENDIAN,
     byteOrderValue},
    {VI_ATTR_WIN_BYTE_ORDER, "VI_ATTR_WIN_BYTE_ORDER", W::UInt16, kOwnedByInstrument, true, VI_BIG_ENDIAN,
     byteOrderValue},
    {VI_ATTR_SRC_ACCESS_PRIV, "VI_ATTR_SRC_ACCESS_PRIV", W::UInt16, kOwnedByInstrument, true, VI_DATA_PRIV,
     accessPrivilegeValue},
    {VI_ATTR_DEST_ACCESS_PRIV, "VI_ATTR_DEST_ACCESS_PRIV", W::UInt16, kOwnedByInstrument, true, VI_DATA_PRIV,
     accessPrivilegeValue},
    {VI_ATTR_WIN_ACCESS_PRIV, "VI_ATTR_WIN_ACCESS_PRIV", W::UInt16, kOwnedByInstrument, true, VI_DATA_PRIV,
     accessPrivilegeValue},
    {VI_ATTR_TRIG_ID, "VI_ATTR_TRIG_ID", W::Int16, kOwnedByInstrument, true, signedState(VI_TRIG_SW),
     triggerIdValue},
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
