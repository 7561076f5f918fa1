#include "dac_code.h"

#include <cmath>

namespace kqsim {

namespace {
constexpr double kCodesPerHalfScale = 32768.0;
}

const RangeScale& rangeScale(OutputRange range) {
    for (const RangeScale& scale : kRangeScales) {
        if (scale.range == range) return scale;
    }
    return kRangeScales[0];
}

double codeStep(OutputRange range) { return rangeScale(range).fullScale / kCodesPerHalfScale; }

bool voltsWithinSpan(double volts, OutputRange range) {
    const double fullScale = rangeScale(range).fullScale;
    return volts >= -fullScale && volts < fullScale;  // false for NaN too
}

std::optional<std::uint16_t> codeForVolts(double volts, OutputRange range) {
    if (!voltsWithinSpan(volts, range)) return std::nullopt;
    const double code = std::floor(volts / codeStep(range) + kCodesPerHalfScale + 0.5);
    return static_cast<std::uint16_t>(std::fmin(code, 65535.0));
}

double voltsForCode(std::uint16_t code, OutputRange range) {
    return (static_cast<double>(code) - kCodesPerHalfScale) * codeStep(range);
}

}  // namespace kqsim
