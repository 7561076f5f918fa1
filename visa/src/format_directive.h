// What the printf and the scanf grammar of formatted I/O share: the length modifiers and the
// numeric conversions.
#pragma once

#include <cstddef>
#include <string_view>

#include "visa.h"

namespace kqvisa {

enum class Length { None, Short, Long, LongLong, LongDouble };

// The C modifiers for size_t, intmax_t, ptrdiff_t and quad, which neither side takes. In a scan
// format "t" is no modifier but VISA's "%t" conversion.
inline constexpr std::string_view kUnsupportedPrintLengths = "zjtq";
inline constexpr std::string_view kUnsupportedScanLengths = "zjq";

// Reads the length modifier at `position`, if there is one: "h", "l", "ll" or "L" ("hh" and the
// `unsupported` ones give VI_ERROR_NSUP_FMT).
inline ViStatus readLength(std::string_view format, std::size_t& position, std::string_view unsupported,
                           Length& length) {
    if (position >= format.size()) return VI_SUCCESS;
    if (unsupported.find(format[position]) != std::string_view::npos) return VI_ERROR_NSUP_FMT;
    switch (format[position]) {
        case 'h':
            ++position;
            if (position < format.size() && format[position] == 'h') return VI_ERROR_NSUP_FMT;
            length = Length::Short;
            break;
        case 'l':
            ++position;
            length = Length::Long;
            if (position < format.size() && format[position] == 'l') {
                ++position;
                length = Length::LongLong;
            }
            break;
        case 'L':
            ++position;
            length = Length::LongDouble;
            break;
        default:
            break;
    }
    return VI_SUCCESS;
}

constexpr bool isIntegerConversion(char conversion) {
    return std::string_view("diuoxX").find(conversion) != std::string_view::npos;
}

constexpr bool isFloatingConversion(char conversion) {
    return std::string_view("fFeEgG").find(conversion) != std::string_view::npos;
}

}  // namespace kqvisa
