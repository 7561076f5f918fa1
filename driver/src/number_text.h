// Numbers as they appear in SCPI commands and replies, written and read without the process locale
// (a decimal comma would corrupt a command).
#pragma once

#include <string>
#include <string_view>

#include "visatype.h"

namespace kq7120 {

// Decimal integer, as "%d".
std::string decimalText(long long value);
// Six significant digits, trailing zeros dropped, exponent form outside 1e-4..1e6, as "%lg".
std::string generalText(double value);
// Fixed notation with `decimals` digits after the point, as "%f" (6) or "%.7f" (7).
std::string fixedText(double value, int decimals);

// The number a reply starts with, after leading white space; text without one, or a number the type
// cannot hold, reads as 0. The rest of the text (a "\n", a unit) is ignored.
ViInt32 leadingInteger(std::string_view text);
ViReal32 leadingSingle(std::string_view text);

}  // namespace kq7120
