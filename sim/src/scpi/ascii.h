// Character classes and letter case for the SCPI engine: program messages are ASCII, and reading
// them must not depend on the process locale.
#pragma once

namespace kqsim::scpi {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool isLower(char c) { return c >= 'a' && c <= 'z'; }
constexpr bool isLetter(char c) { return isUpper(c) || isLower(c); }
constexpr char toUpper(char c) { return isLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace kqsim::scpi
