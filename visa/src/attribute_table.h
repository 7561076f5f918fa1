// The attributes the library knows: their width, who has them, whether a caller may set them and
// which values a setting may take.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "visa.h"

namespace kqvisa {

// How a value is written to the caller's destination.
enum class AttributeWidth { UInt8, Boolean, UInt16, Int16, UInt32, Int32, UInt64, Text };

// Bits of AttributeInfo::owners.
enum AttributeOwner : unsigned { kOwnedByResourceManager = 1u << 0, kOwnedByInstrument = 1u << 1 };

struct AttributeInfo {
    ViAttr id;
    std::string_view name;
    AttributeWidth width;
    unsigned owners;
    bool writable = false;
    ViAttrState defaultValue = 0;  // writable attributes only
    bool (*acceptsSetting)(ViAttrState value) =
        nullptr;  // writable attributes only; the width is checked first
};

// Numbers are kept as ViAttrState; signed ones as the 64-bit two's complement of their value.
using AttributeValue = std::variant<ViAttrState, std::string>;

std::span<const AttributeInfo> attributeTable();
const AttributeInfo* findAttribute(ViAttr id);
const AttributeInfo* findAttribute(std::string_view name);

// Whether `value`, as a caller passed it, is a number of the attribute's width.
bool fitsWidth(AttributeWidth width, ViAttrState value);

// Writes the value with the attribute's own width; texts go into a VI_FIND_BUFLEN-byte buffer.
void storeAttribute(AttributeWidth width, const AttributeValue& value, void* destination);

}  // namespace kqvisa
