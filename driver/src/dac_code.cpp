#include "dac_code.h"

#include <algorithm>
#include <cstdint>

namespace kq7120 {
namespace {

// Added before truncation: the offset of 0 V plus one half, so truncation rounds half up.
constexpr ViReal64 kZeroCodeAndHalf = 32768.5;
constexpr ViReal64 kZeroCode = 32768.0;

ViUInt16 formatMask(ViInt16 format) { return format == kq7120_FORMAT_SIGNED ? kFormatBit : ViUInt16{0}; }

// Checked in a pass of its own, so that the conversion after it has no exit and the compiler
// converts several values at a time. Written so that a NaN fails.
bool allWithin(std::span<const ViReal64> volts, ViReal64 lowest, ViReal64 highest) {
    return std::all_of(volts.begin(), volts.end(),
                       [=](ViReal64 value) { return value >= lowest && value <= highest; });
}

}  // namespace

std::optional<OutputScale> outputScaleOf(ViInt16 range) {
    if (range != kq7120_20VOLT_RANGE && range != kq7120_10VOLT_RANGE) return std::nullopt;
    return kOutputScales[static_cast<std::size_t>(range)];
}

ViStatus voltsToCodes(std::span<const ViReal64> volts, const OutputScale& scale, ViInt16 format,
                      std::span<ViUInt16> codes) {
    if (!allWithin(volts, scale.lowest, scale.highest)) return VI_ERROR_PARAMETER5;
    const ViReal64 codesPerVolt = scale.codesPerVolt;
    const ViUInt16 mask = formatMask(format);
    for (std::size_t index = 0; index < volts.size(); ++index) {
        // Within the bounds the sum lies in 0.5 .. 65535.99, so the conversion is defined.
        const auto offsetCode = static_cast<std::int32_t>(volts[index] * codesPerVolt + kZeroCodeAndHalf);
        codes[index] = static_cast<ViUInt16>(static_cast<ViUInt16>(offsetCode) ^ mask);
    }
    return VI_SUCCESS;
}

ViReal64 codeToVolts(ViUInt16 code, ViInt16 range, ViInt16 format) {
    const ViUInt16 offsetCode = code ^ formatMask(format);
    const ViReal64 step = range == kq7120_10VOLT_RANGE ? kOutputScales[kq7120_10VOLT_RANGE].voltsPerCode
                                                       : kOutputScales[kq7120_20VOLT_RANGE].voltsPerCode;
    return (static_cast<ViReal64>(offsetCode) - kZeroCode) * step;
}

}  // namespace kq7120
