// Volts, DAC codes and controller words: the module's 16-bit converter in its two output ranges,
// and the two data formats words from the controller come in.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "kqsim/kq_module_types.h"

namespace kqsim {

struct RangeScale {
    OutputRange range;
    std::string_view word;  // as the range query answers
    double fullScale;       // volts; the range spans -fullScale up to one step below +fullScale
};

inline constexpr RangeScale kRangeScales[] = {
    {OutputRange::Volts20, "20V", 20.0},
    {OutputRange::Volts10, "10V", 10.0},
};

const RangeScale& rangeScale(OutputRange range);
// Volts per code step: 20/32768 or 10/32768.
double codeStep(OutputRange range);

// The code nearest to `volts` (halves round up). A setting is accepted from -full scale up to, but
// not including, +full scale: the top half step still gives the top code, so the controller's own
// rounding of the upper limit (19.99969 sent as 19.9997) is taken. Nothing outside.
std::optional<std::uint16_t> codeForVolts(double volts, OutputRange range);
double voltsForCode(std::uint16_t code, OutputRange range);
bool voltsWithinSpan(double volts, OutputRange range);

// Words in the signed format are two's complement; the converter's offset binary differs in bit 15.
inline constexpr std::uint16_t codeFromWord(std::uint16_t word, DataFormat format) {
    return format == DataFormat::Signed ? static_cast<std::uint16_t>(word ^ 0x8000) : word;
}
inline constexpr std::uint16_t wordFromCode(std::uint16_t code, DataFormat format) {
    return codeFromWord(code, format);
}

}  // namespace kqsim
