// Suffix program data (IEEE 488.2): a unit written after a number, with or without one of the
// standard multipliers (500mV, 10MS, 100US, 2KV).
#pragma once

#include <optional>
#include <string_view>

namespace kqsim::scpi {

// The factor a written suffix stands for when the command takes `unit` ("V", "S", "HZ"): 1 for the
// unit itself, the multiplier's power of ten for a multiplier and the unit (M is milli, MA mega; MHZ
// and MOHM are mega), in any letter case. Nothing for another suffix.
std::optional<int> suffixExponent(std::string_view written, std::string_view unit);

// `value` scaled by 10^exponent; dividing by an exact power of ten keeps 500mV exactly 0.5.
double scaledByPowerOfTen(double value, int exponent);

}  // namespace kqsim::scpi
