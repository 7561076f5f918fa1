#include "number_text.h"

#include <array>
#include <charconv>

namespace kq7120 {
namespace {

// Enough for any double in fixed notation (309 integer digits) with its decimals.
constexpr std::size_t kNumberTextCapacity = 400;

template <typename... Format>
std::string toText(auto value, Format... format) {
    std::array<char, kNumberTextCapacity> text{};
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value, format...);
    if (error != std::errc{}) return {};
    return std::string(text.data(), end);
}

bool isCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

template <typename Number>
Number leadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isCSpace(text[pos])) ++pos;
    // from_chars takes a '-' but not a '+'.
    if (pos + 1 < text.size() && text[pos] == '+' && text[pos + 1] != '-') ++pos;
    Number value{};
    const auto [end, error] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
    return error == std::errc{} ? value : Number{};
}

}  // namespace

std::string decimalText(long long value) { return toText(value); }

std::string generalText(double value) { return toText(value, std::chars_format::general, 6); }

std::string fixedText(double value, int decimals) {
    return toText(value, std::chars_format::fixed, decimals);
}

ViInt32 leadingInteger(std::string_view text) { return leadingNumber<ViInt32>(text); }

ViReal32 leadingSingle(std::string_view text) { return leadingNumber<ViReal32>(text); }

}  // namespace kq7120
