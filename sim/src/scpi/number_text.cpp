#include "scpi/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "scpi/ascii.h"

namespace kqsim::scpi {
namespace {

// Keeps every finite double within the formatting buffer.
constexpr int maxDigits = 50;

// Where a decimal text's magnitude lies: the power of ten of its first significant digit plus one,
// saturated. Used only to tell overflow from underflow when the value leaves the double range.
long long decimalMagnitude(std::string_view text) {
    std::size_t i = (text.front() == '+' || text.front() == '-') ? 1 : 0;
    long long integerDigits = 0;
    long long leadingFractionZeros = 0;
    bool significant = false;
    bool afterPoint = false;
    for (; i < text.size() && (isDigit(text[i]) || text[i] == '.'); ++i) {
        if (text[i] == '.') {
            afterPoint = true;
        } else if (!afterPoint) {
            if (significant || text[i] != '0') {
                significant = true;
                ++integerDigits;
            }
        } else if (!significant) {
            if (text[i] == '0') {
                ++leadingFractionZeros;
            } else {
                significant = true;
            }
        }
    }
    long long exponent = 0;
    if (i < text.size()) {  // 'e' or 'E'
        ++i;
        const bool negative = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        for (; i < text.size(); ++i) {
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
        }
        if (negative) exponent = -exponent;
    }
    return exponent + (integerDigits > 0 ? integerDigits : -leadingFractionZeros);
}

bool isDecimalText(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) ++digits;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && isDigit(text[i]); ++i) ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        for (; i < text.size() && isDigit(text[i]); ++i) ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == text.size();
}

template <typename... Format>
std::string toChars(double value, Format... format) {
    if (std::isnan(value)) return "9.91E+37";  // SCPI's not-a-number
    if (std::isinf(value)) return value > 0 ? "9.9E+37" : "-9.9E+37";
    if (value == 0.0) value = 0.0;  // no "-0"
    std::array<char, 400> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format...);
    if (ec != std::errc{}) return "9.9E+37";
    std::string text(buffer.data(), end);
    // NR3 writes its exponent with a capital E.
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}

}  // namespace

std::optional<double> parseReal(std::string_view text) {
    if (!isDecimalText(text)) return std::nullopt;
    std::string_view digits = text.front() == '+' ? text.substr(1) : text;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec == std::errc::result_out_of_range) {
        const bool negative = text.front() == '-';
        if (decimalMagnitude(text) > 0) {
            return negative ? -std::numeric_limits<double>::infinity()
                            : std::numeric_limits<double>::infinity();
        }
        return negative ? -0.0 : 0.0;
    }
    if (ec != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

std::optional<long long> parseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string formatInteger(long long value) {
    std::array<char, 24> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), end);
}

std::string formatReal(double value) { return toChars(value); }

std::string formatReal(double value, int significantDigits) {
    return toChars(value, std::chars_format::general, std::clamp(significantDigits, 1, maxDigits));
}

std::string formatFixed(double value, int decimals) {
    return toChars(value, std::chars_format::fixed, std::clamp(decimals, 0, maxDigits));
}

}  // namespace kqsim::scpi
