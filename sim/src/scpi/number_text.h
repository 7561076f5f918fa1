// Number parsing and formatting independent of the process locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kqsim::scpi {

// The whole text as a decimal real: optional sign, digits with an optional point, optional exponent
// ("2.5", "-1e-3", "+.5"). Nothing for other text; +-inf beyond the double range, 0 below it.
std::optional<double> parseReal(std::string_view text);
// The whole text as a decimal integer with an optional sign; nothing for other text or overflow.
std::optional<long long> parseInteger(std::string_view text);

// "-20", "512".
std::string formatInteger(long long value);
// The shortest text that reads back as the same double: "2.5", "-20", "19.99969", "1E-05".
std::string formatReal(double value);
// Like printf "%.<digits>g": formatReal(19.999689102, 7) is "19.99969".
std::string formatReal(double value, int significantDigits);
// Like printf "%.<decimals>f": formatFixed(1.25, 6) is "1.250000".
std::string formatFixed(double value, int decimals);

}  // namespace kqsim::scpi
