#include "format_reader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "format_directive.h"
#include "format_escapes.h"
#include "text_compare.h"

namespace kqvisa {

namespace {

constexpr std::size_t kUnsizedTextLimit = VI_FIND_BUFLEN - 1;
constexpr int kMaxWidth = 65536;
// Longer numbers cannot be represented anyway; this bounds the text gathered for one.
constexpr std::size_t kMaxNumberText = 512;

struct SkipSpace {};
struct MatchCharacter {
    char character;
};
struct InputDirective {
    bool suppress = false;
    bool sizeArgument = false;  // "#"
    std::optional<std::size_t> width;
    Length length = Length::None;
    char conversion = 0;
    bool negatedSet = false;
    std::string set;  // the characters of "%[...]"
};
using ScanStep = std::variant<SkipSpace, MatchCharacter, InputDirective>;

bool isTextConversion(char conversion) {
    return conversion == 's' || conversion == 't' || conversion == '[' || conversion == 'c';
}

ViStatus checkLength(const InputDirective& directive) {
    const Length length = directive.length;
    if (isIntegerConversion(directive.conversion)) {
        return length == Length::LongDouble ? VI_ERROR_INV_FMT : VI_SUCCESS;
    }
    if (isFloatingConversion(directive.conversion)) {
        return (length == Length::Short || length == Length::LongLong) ? VI_ERROR_INV_FMT : VI_SUCCESS;
    }
    return length == Length::None ? VI_SUCCESS : VI_ERROR_NSUP_FMT;
}

ViStatus parseSet(std::string_view format, std::size_t& position, InputDirective& directive) {
    if (position < format.size() && format[position] == '^') {
        directive.negatedSet = true;
        ++position;
    }
    // A "]" right after the opening bracket belongs to the set.
    if (position < format.size() && format[position] == ']') directive.set += format[position++];
    while (position < format.size() && format[position] != ']') {
        const char first = format[position];
        if (position + 2 < format.size() && format[position + 1] == '-' && format[position + 2] != ']') {
            const char last = format[position + 2];
            if (last < first) return VI_ERROR_INV_FMT;
            for (int c = static_cast<unsigned char>(first); c <= static_cast<unsigned char>(last); ++c) {
                directive.set += static_cast<char>(c);
            }
            position += 3;
        } else {
            directive.set += first;
            ++position;
        }
    }
    if (position >= format.size() || directive.set.empty()) return VI_ERROR_INV_FMT;
    ++position;
    return VI_SUCCESS;
}

ViStatus parseDirective(std::string_view format, std::size_t& position, InputDirective& directive) {
    while (position < format.size() && (format[position] == '*' || format[position] == '#')) {
        if (format[position] == '*')
            directive.suppress = true;
        else
            directive.sizeArgument = true;
        ++position;
    }
    if (position < format.size() &&
        (format[position] == ',' || format[position] == '@' || format[position] == '!')) {
        return VI_ERROR_NSUP_FMT;
    }
    if (position < format.size() && isAsciiDigit(format[position])) {
        std::size_t width = 0;
        while (position < format.size() && isAsciiDigit(format[position])) {
            width = width * 10 + static_cast<std::size_t>(format[position++] - '0');
            if (width > kMaxWidth) return VI_ERROR_INV_FMT;
        }
        if (width == 0) return VI_ERROR_INV_FMT;
        directive.width = width;
    }
    if (const ViStatus status = readLength(format, position, kUnsupportedScanLengths, directive.length);
        status != VI_SUCCESS) {
        return status;
    }
    if (position >= format.size()) return VI_ERROR_INV_FMT;
    const char conversion = format[position++];
    directive.conversion = conversion;
    if (conversion == '[') {
        if (const ViStatus status = parseSet(format, position, directive); status != VI_SUCCESS)
            return status;
    } else if (!isIntegerConversion(conversion) && !isFloatingConversion(conversion) &&
               !isTextConversion(conversion) && conversion != '%') {
        // Conversions of C or VISA this library does not take, or none at all.
        const bool unsupported = std::string_view("TbByn").find(conversion) != std::string_view::npos;
        return unsupported ? VI_ERROR_NSUP_FMT : VI_ERROR_INV_FMT;
    }
    if (directive.sizeArgument && !isTextConversion(conversion)) return VI_ERROR_NSUP_FMT;
    return checkLength(directive);
}

ViStatus parseFormat(std::string_view format, std::vector<ScanStep>& steps) {
    std::size_t position = 0;
    while (position < format.size()) {
        const char c = format[position];
        if (c == '%') {
            ++position;
            InputDirective directive;
            if (const ViStatus status = parseDirective(format, position, directive); status != VI_SUCCESS) {
                return status;
            }
            steps.emplace_back(std::move(directive));
            continue;
        }
        const EscapedCharacter literal = literalAt(format, position);
        position += literal.length;
        if (isAsciiSpace(literal.character)) {
            steps.emplace_back(SkipSpace{});
        } else {
            steps.emplace_back(MatchCharacter{literal.character});
        }
    }
    return VI_SUCCESS;
}

class Scanner {
public:
    Scanner(FormatArguments& arguments, ScanInput& input) : arguments_(arguments), input_(input) {}

    ViStatus run(const std::vector<ScanStep>& steps) {
        for (const ScanStep& step : steps) {
            ViStatus status = VI_SUCCESS;
            if (std::holds_alternative<SkipSpace>(step)) {
                skipSpace();
            } else if (const auto* match = std::get_if<MatchCharacter>(&step)) {
                status = matchCharacter(match->character);
            } else {
                status = convert(std::get<InputDirective>(step));
            }
            if (status != VI_SUCCESS) return status;
        }
        return VI_SUCCESS;
    }

private:
    // What a conversion that ran out of input reports: the read failure if there was one.
    ViStatus inputMissing() const {
        const ViStatus failure = input_.failure();
        return failure < VI_SUCCESS ? failure : VI_ERROR_IO;
    }

    void skipSpace() {
        while (const auto c = input_.peek()) {
            if (!isAsciiSpace(*c)) break;
            input_.advance();
        }
    }

    ViStatus matchCharacter(char expected) {
        const auto c = input_.peek();
        if (!c) return inputMissing();
        if (*c != expected) return VI_ERROR_IO;
        input_.advance();
        return VI_SUCCESS;
    }

    // Takes the next byte if it satisfies `accepts` and the field still has room.
    template <class Accepts>
    bool takeIf(std::string& into, std::size_t& room, Accepts accepts) {
        if (room == 0) return false;
        const auto c = input_.peek();
        if (!c || !accepts(*c)) return false;
        into += *c;
        input_.advance();
        --room;
        return true;
    }

    template <class T>
    ViStatus storeNumber(const InputDirective& directive, T value) {
        if (directive.suppress) return VI_SUCCESS;
        T* destination = arguments_.next<T*>();
        if (destination == nullptr) return VI_ERROR_USER_BUF;
        *destination = value;
        return VI_SUCCESS;
    }

    ViStatus convertInteger(const InputDirective& directive) {
        skipSpace();
        std::size_t room = std::min(directive.width.value_or(kMaxNumberText), kMaxNumberText);
        bool negative = false;
        std::string sign;
        if (takeIf(sign, room, [](char c) { return c == '+' || c == '-'; })) negative = sign == "-";

        int base = 10;
        const char conversion = directive.conversion;
        if (conversion == 'o') base = 8;
        if (conversion == 'x' || conversion == 'X') base = 16;
        std::string digits;
        bool leadingZero = false;
        if (conversion == 'i' || base == 16) {
            std::string zero;
            leadingZero = takeIf(zero, room, [](char c) { return c == '0'; });
            if (leadingZero) {
                std::string marker;
                if (takeIf(marker, room, [](char c) { return c == 'x' || c == 'X'; })) {
                    base = 16;
                } else {
                    digits = "0";
                    if (conversion == 'i') base = 8;
                }
            }
        }
        const auto isDigit = [base](char c) {
            if (base == 8) return c >= '0' && c <= '7';
            if (base == 10) return isAsciiDigit(c);
            return isAsciiDigit(c) || (asciiLower(c) >= 'a' && asciiLower(c) <= 'f');
        };
        while (takeIf(digits, room, isDigit)) {
        }
        // "0x" without hex digits is the number 0, as C reads it.
        if (digits.empty() && leadingZero) digits = "0";
        if (digits.empty()) return inputMissingOrMismatch();

        unsigned long long magnitude = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
        if (error != std::errc{}) return VI_ERROR_IO;
        const unsigned long long value = negative ? 0ULL - magnitude : magnitude;

        const bool isSigned = conversion == 'd' || conversion == 'i';
        switch (directive.length) {
            case Length::Short:
                return isSigned ? storeNumber(directive, static_cast<ViInt16>(value))
                                : storeNumber(directive, static_cast<ViUInt16>(value));
            case Length::LongLong:
                return isSigned ? storeNumber(directive, static_cast<long long>(value))
                                : storeNumber(directive, value);
            default:  // plain and "l" (ViInt32)
                return isSigned ? storeNumber(directive, static_cast<ViInt32>(value))
                                : storeNumber(directive, static_cast<ViUInt32>(value));
        }
    }

    ViStatus convertFloating(const InputDirective& directive) {
        skipSpace();
        std::size_t room = std::min(directive.width.value_or(kMaxNumberText), kMaxNumberText);
        std::string text;
        std::string sign;
        takeIf(sign, room, [](char c) { return c == '+' || c == '-'; });
        if (sign == "-") text = "-";

        const auto c = input_.peek();
        if (c && (asciiLower(*c) == 'i' || asciiLower(*c) == 'n')) {
            std::string word;
            while (takeIf(word, room, [](char letter) {
                return asciiLower(letter) >= 'a' && asciiLower(letter) <= 'z';
            })) {
            }
            if (!equalsNoCase(word, "inf") && !equalsNoCase(word, "infinity") && !equalsNoCase(word, "nan")) {
                return VI_ERROR_IO;
            }
            text += word;
        } else {
            std::size_t digitCount = 0;
            const auto digit = [&digitCount](char d) {
                if (!isAsciiDigit(d)) return false;
                ++digitCount;
                return true;
            };
            while (takeIf(text, room, digit)) {
            }
            if (takeIf(text, room, [](char point) { return point == '.'; })) {
                while (takeIf(text, room, digit)) {
                }
            }
            if (digitCount == 0) return inputMissingOrMismatch();
            if (takeIf(text, room, [](char e) { return e == 'e' || e == 'E'; })) {
                takeIf(text, room, [](char s) { return s == '+' || s == '-'; });
                while (takeIf(text, room, [](char d) { return isAsciiDigit(d); })) {
                }
            }
        }
        double value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (end == text.data() || error != std::errc{}) return VI_ERROR_IO;
        switch (directive.length) {
            case Length::Long:
                return storeNumber(directive, value);
            case Length::LongDouble:
                return storeNumber(directive, static_cast<long double>(value));
            default:
                return storeNumber(directive, static_cast<float>(value));
        }
    }

    // A conversion that found no character of its kind: either input ran out or it holds another character.
    ViStatus inputMissingOrMismatch() const { return input_.peek() ? VI_ERROR_IO : inputMissing(); }

    ViStatus convertText(const InputDirective& directive) {
        const char conversion = directive.conversion;
        ViInt32* sizeArgument = nullptr;
        char* destination = nullptr;
        if (!directive.suppress) {
            if (directive.sizeArgument) {
                sizeArgument = arguments_.next<ViInt32*>();
                if (sizeArgument == nullptr) return VI_ERROR_USER_BUF;
            }
            destination = arguments_.next<char*>();
            if (destination == nullptr) return VI_ERROR_USER_BUF;
        }
        const bool terminated = conversion != 'c';
        // How many characters the destination may hold.
        std::size_t capacity = kUnsizedTextLimit;
        if (sizeArgument != nullptr) {
            if (*sizeArgument < (terminated ? 1 : 0)) return VI_ERROR_USER_BUF;
            capacity = static_cast<std::size_t>(*sizeArgument) - (terminated ? 1 : 0);
        } else if (directive.width) {
            capacity = *directive.width;
        }
        const std::size_t fieldWidth =
            directive.width.value_or(conversion == 'c' ? 1 : std::numeric_limits<std::size_t>::max());

        if (conversion == 's') skipSpace();
        const auto belongs = [&directive, conversion](char c) {
            if (conversion == 's') return !isAsciiSpace(c);
            if (conversion == '[')
                return (directive.set.find(c) != std::string::npos) != directive.negatedSet;
            return true;
        };
        std::size_t taken = 0;
        std::size_t stored = 0;
        while (taken < fieldWidth) {
            const auto c = input_.peek();
            if (!c || !belongs(*c)) break;
            if (destination != nullptr && stored < capacity) destination[stored++] = *c;
            input_.advance();
            ++taken;
        }
        if (conversion == 'c' && taken < fieldWidth) return inputMissing();
        if (conversion == 't' && taken == 0 && input_.failure() < VI_SUCCESS) return input_.failure();
        if (taken == 0 && conversion != 't') return inputMissingOrMismatch();
        if (destination != nullptr && terminated) destination[stored] = '\0';
        if (sizeArgument != nullptr) *sizeArgument = static_cast<ViInt32>(stored);
        return VI_SUCCESS;
    }

    ViStatus convert(const InputDirective& directive) {
        if (directive.conversion == '%') {
            skipSpace();
            return matchCharacter('%');
        }
        if (isIntegerConversion(directive.conversion)) return convertInteger(directive);
        if (isFloatingConversion(directive.conversion)) return convertFloating(directive);
        return convertText(directive);
    }

    FormatArguments& arguments_;
    ScanInput& input_;
};

}  // namespace

ViStatus scanText(std::string_view format, FormatArguments& arguments, ScanInput& input) {
    std::vector<ScanStep> steps;
    if (const ViStatus status = parseFormat(format, steps); status != VI_SUCCESS) return status;
    return Scanner(arguments, input).run(steps);
}

ViStatus checkScanFormat(std::string_view format) {
    std::vector<ScanStep> steps;
    return parseFormat(format, steps);
}

}  // namespace kqvisa
