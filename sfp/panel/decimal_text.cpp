#include "decimal_text.h"

#include <charconv>

std::string decimalText(long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}
