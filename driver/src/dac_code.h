// DAC codes and volts. A code is a 16-bit word, offset binary (0x0000 = -full scale, 0x8000 = 0 V) in
// the unsigned data format and two's complement in the signed format: the two differ in bit 15 only.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "kq7120.h"

namespace kq7120 {

struct OutputScale {
    ViReal64 lowest;  // accepted volts, inclusive
    ViReal64 highest;
    ViReal64 codesPerVolt;  // volts to code
    ViReal64 voltsPerCode;  // code to volts: one DAC step
};

// Indexed by range code.
inline constexpr std::array<OutputScale, kq7120_MAX_RANGES> kOutputScales = {{
    {kq7120_VOLT_LEVEL_VALUE_MIN, kq7120_VOLT_LEVEL_VALUE_MAX, 1638.4, 0.0006103515625},
    {kq7120_10VOLT_LEVEL_VALUE_MIN, kq7120_10VOLT_LEVEL_VALUE_MAX, 3276.8, 0.00030517578125},
}};
static_assert(kOutputScales[kq7120_20VOLT_RANGE].highest == kq7120_VOLT_LEVEL_VALUE_MAX &&
              kOutputScales[kq7120_10VOLT_RANGE].highest == kq7120_10VOLT_LEVEL_VALUE_MAX);

inline constexpr ViUInt16 kFormatBit = 0x8000;

// The scale of a range code; nothing for a code other than 0 or 1.
std::optional<OutputScale> outputScaleOf(ViInt16 range);

// Rounds every value to its code (half up) in `format` into `codes` (as long as `volts`).
// VI_ERROR_PARAMETER5, and nothing converted, when any value lies outside the scale's bounds (a NaN
// included).
ViStatus voltsToCodes(std::span<const ViReal64> volts, const OutputScale& scale, ViInt16 format,
                      std::span<ViUInt16> codes);

// The voltage of `code` in `format`; any range other than 1 reads as the 20 V range.
ViReal64 codeToVolts(ViUInt16 code, ViInt16 range, ViInt16 format);

}  // namespace kq7120
