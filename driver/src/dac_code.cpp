#include "dac_code.h"

#include <cstdint>

namespace kq7120 {
namespace {

// Added before truncation: the offset of 0 V plus one half, so truncation rounds half up.
constexpr ViReal64 kZeroCodeAndHalf = 32768.5;
constexpr ViReal64 kZeroCode = 32768.0;

ViUInt16 formatMask(ViInt16 format) { return format == kq7120_FORMAT_SIGNED ? kFormatBit : ViUInt16{0}; }

}  // namespace

std::optional<OutputScale> outputScaleOf(ViInt16 range) {
    if (range != kq7120_20VOLT_RANGE && range != kq7120_10VOLT_RANGE) return std::nullopt;
    return kOutputScales[static_cast<std::size_t>(range)];
}

ViStatus voltsToCodes(std::span<const ViReal64> volts, const OutputScale& scale, ViInt16 format,
                      std::span<ViUInt16> codes) {
    const ViUInt16 mask = formatMask(format);
    for (std::size_t index = 0; index < volts.size(); ++index) {
        const ViReal64 value = volts[index];
        // Written so that a NaN fails too.
        if (!(value >= scale.lowest && value <= scale.highest)) return VI_ERROR_PARAMETER5;
        // Within the bounds the sum lies in 0.5 .. 65535.99, so the conversion is defined.
        const auto offsetCode = static_cast<std::int32_t>(value * scale.codesPerVolt + kZeroCodeAndHalf);
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
