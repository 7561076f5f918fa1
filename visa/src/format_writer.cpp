#include "format_writer.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

#include "format_directive.h"
#include "format_escapes.h"
#include "text_compare.h"

namespace kqvisa {

namespace {

// A width or precision this large is a caller's mistake, not a field to allocate.
constexpr int kMaxFieldSize = 65536;
constexpr int kDefaultPrecision = 6;

struct OutputDirective {
    bool leftAlign = false;
    bool forceSign = false;
    bool spaceSign = false;
    bool alternate = false;
    bool zeroPad = false;
    int width = 0;
    std::optional<int> precision;
    Length length = Length::None;
    char conversion = 0;
};

class DirectiveParser {
public:
    DirectiveParser(std::string_view format, std::size_t position, FormatArguments& arguments)
        : format_(format), position_(position), arguments_(arguments) {}

    // Reads one directive after its "%"; the status tells why it cannot be used.
    ViStatus parse(OutputDirective& directive) {
        while (!atEnd()) {
            const char flag = peek();
            if (flag == '-')
                directive.leftAlign = true;
            else if (flag == '+')
                directive.forceSign = true;
            else if (flag == ' ')
                directive.spaceSign = true;
            else if (flag == '#')
                directive.alternate = true;
            else if (flag == '0')
                directive.zeroPad = true;
            else if (flag == ',' || flag == '@' || flag == '!')
                return VI_ERROR_NSUP_FMT;
            else
                break;
            ++position_;
        }
        if (!atEnd() && peek() == '*') {
            ++position_;
            const int width = arguments_.next<int>();
            if (width < 0) directive.leftAlign = true;
            if (width < -kMaxFieldSize || width > kMaxFieldSize) return VI_ERROR_INV_FMT;
            directive.width = width < 0 ? -width : width;
        } else if (!readNumber(directive.width)) {
            return VI_ERROR_INV_FMT;
        }
        if (!atEnd() && peek() == '.') {
            ++position_;
            if (!atEnd() && peek() == '*') {
                ++position_;
                const int precision = arguments_.next<int>();
                if (precision > kMaxFieldSize) return VI_ERROR_INV_FMT;
                if (precision >= 0) directive.precision = precision;
            } else {
                int precision = 0;
                if (!readNumber(precision)) return VI_ERROR_INV_FMT;
                directive.precision = precision;
            }
        }
        if (const ViStatus status =
                readLength(format_, position_, kUnsupportedPrintLengths, directive.length);
            status != VI_SUCCESS) {
            return status;
        }
        if (atEnd()) return VI_ERROR_INV_FMT;
        directive.conversion = format_[position_++];
        return VI_SUCCESS;
    }

    std::size_t position() const { return position_; }

private:
    bool atEnd() const { return position_ >= format_.size(); }
    char peek() const { return format_[position_]; }

    bool readNumber(int& value) {
        while (!atEnd() && isAsciiDigit(peek())) {
            value = value * 10 + (peek() - '0');
            if (value > kMaxFieldSize) return false;
            ++position_;
        }
        return true;
    }

    std::string_view format_;
    std::size_t position_;
    FormatArguments& arguments_;
};

void appendField(std::string& output, std::string_view prefix, std::string_view body,
                 const OutputDirective& directive, bool zeroPadAllowed) {
    const std::size_t size = prefix.size() + body.size();
    const std::size_t padding = static_cast<std::size_t>(directive.width) > size ? directive.width - size : 0;
    if (directive.leftAlign) {
        output.append(prefix).append(body).append(padding, ' ');
    } else if (directive.zeroPad && zeroPadAllowed) {
        output.append(prefix).append(padding, '0').append(body);
    } else {
        output.append(padding, ' ').append(prefix).append(body);
    }
}

std::string digitsOf(unsigned long long value, int base, bool upperCase) {
    char digits[64];
    const auto [end, error] = std::to_chars(std::begin(digits), std::end(digits), value, base);
    std::string text(digits, end);
    if (upperCase) {
        for (char& c : text) c = c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return text;
}

ViStatus formatInteger(const OutputDirective& directive, FormatArguments& arguments, std::string& output) {
    const char conversion = directive.conversion;
    const bool isSigned = conversion == 'd' || conversion == 'i';
    bool negative = false;
    unsigned long long magnitude = 0;
    if (directive.length == Length::LongDouble) return VI_ERROR_INV_FMT;
    if (isSigned) {
        long long value = 0;
        switch (directive.length) {
            case Length::Short:
                value = static_cast<short>(arguments.next<int>());
                break;
            case Length::LongLong:
                value = arguments.next<long long>();
                break;
            default:
                value = arguments.next<int>();
                break;  // plain and "l" (ViInt32)
        }
        negative = value < 0;
        magnitude =
            negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    } else {
        switch (directive.length) {
            case Length::Short:
                magnitude = static_cast<unsigned short>(arguments.next<unsigned>());
                break;
            case Length::LongLong:
                magnitude = arguments.next<unsigned long long>();
                break;
            default:
                magnitude = arguments.next<unsigned>();
                break;
        }
    }

    const int base = conversion == 'o' ? 8 : (conversion == 'x' || conversion == 'X') ? 16 : 10;
    std::string digits = (directive.precision == 0 && magnitude == 0)
                             ? std::string()
                             : digitsOf(magnitude, base, conversion == 'X');
    if (directive.precision && digits.size() < static_cast<std::size_t>(*directive.precision)) {
        digits.insert(0, *directive.precision - digits.size(), '0');
    }
    std::string prefix;
    if (negative)
        prefix = "-";
    else if (isSigned && directive.forceSign)
        prefix = "+";
    else if (isSigned && directive.spaceSign)
        prefix = " ";
    if (directive.alternate && conversion == 'o' && (digits.empty() || digits.front() != '0'))
        digits.insert(0, "0");
    if (directive.alternate && base == 16 && magnitude != 0) prefix = conversion == 'X' ? "0X" : "0x";
    appendField(output, prefix, digits, directive, !directive.precision);
    return VI_SUCCESS;
}

std::string floatingText(double value, std::chars_format style, int precision) {
    // Fixed notation of the largest double has 309 digits before the point.
    std::string text(static_cast<std::size_t>(precision) + 330, '\0');
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value, style, precision);
    text.resize(static_cast<std::size_t>(end - text.data()));
    return text;
}

void stripTrailingZeros(std::string& text) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return;
    const std::size_t exponent = text.find('e');
    const std::size_t fractionEnd = exponent == std::string::npos ? text.size() : exponent;
    std::size_t keep = fractionEnd;
    while (keep > point + 1 && text[keep - 1] == '0') --keep;
    if (keep == point + 1) keep = point;
    text.erase(keep, fractionEnd - keep);
}

void ensurePoint(std::string& text) {
    if (text.find('.') != std::string::npos) return;
    const std::size_t exponent = text.find('e');
    text.insert(exponent == std::string::npos ? text.size() : exponent, ".");
}

// %g: fixed or scientific depending on the exponent, as C defines it.
std::string generalText(double magnitude, int precision, bool alternate) {
    const int significant = precision == 0 ? 1 : precision;
    std::string text = floatingText(magnitude, std::chars_format::scientific, significant - 1);
    int exponent = 0;
    const std::size_t e = text.find('e');
    const char* exponentBegin = text.data() + e + 1;
    if (*exponentBegin == '+') ++exponentBegin;
    std::from_chars(exponentBegin, text.data() + text.size(), exponent);
    if (significant > exponent && exponent >= -4) {
        text = floatingText(magnitude, std::chars_format::fixed, significant - 1 - exponent);
    }
    if (alternate) {
        ensurePoint(text);
    } else {
        stripTrailingZeros(text);
    }
    return text;
}

ViStatus formatFloating(const OutputDirective& directive, FormatArguments& arguments, std::string& output) {
    if (directive.length == Length::Short || directive.length == Length::LongLong) return VI_ERROR_INV_FMT;
    const double value = directive.length == Length::LongDouble
                             ? static_cast<double>(arguments.next<long double>())
                             : arguments.next<double>();
    const char conversion = directive.conversion;
    const bool upperCase = conversion == 'F' || conversion == 'E' || conversion == 'G';
    std::string prefix;
    if (std::signbit(value))
        prefix = "-";
    else if (directive.forceSign)
        prefix = "+";
    else if (directive.spaceSign)
        prefix = " ";

    std::string body;
    const bool finite = std::isfinite(value);
    if (!finite) {
        body = std::isnan(value) ? "nan" : "inf";
    } else {
        const double magnitude = std::fabs(value);
        const int precision = directive.precision.value_or(kDefaultPrecision);
        if (conversion == 'f' || conversion == 'F') {
            body = floatingText(magnitude, std::chars_format::fixed, precision);
            if (directive.alternate) ensurePoint(body);
        } else if (conversion == 'e' || conversion == 'E') {
            body = floatingText(magnitude, std::chars_format::scientific, precision);
            if (directive.alternate) ensurePoint(body);
        } else {
            body = generalText(magnitude, precision, directive.alternate);
        }
    }
    if (upperCase) {
        for (char& c : body) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    appendField(output, prefix, body, directive, finite);
    return VI_SUCCESS;
}

ViStatus formatString(const OutputDirective& directive, FormatArguments& arguments, std::string& output) {
    if (directive.length != Length::None) return VI_ERROR_NSUP_FMT;
    const char* text = arguments.next<const char*>();
    if (text == nullptr) return VI_ERROR_USER_BUF;
    // With a precision the argument need not be terminated within it, so never read past it.
    const std::size_t length = directive.precision
                                   ? strnlen(text, static_cast<std::size_t>(*directive.precision))
                                   : std::strlen(text);
    appendField(output, {}, std::string_view(text, length), directive, false);
    return VI_SUCCESS;
}

ViStatus formatCharacter(const OutputDirective& directive, FormatArguments& arguments, std::string& output) {
    if (directive.length != Length::None) return VI_ERROR_NSUP_FMT;
    const char character = static_cast<char>(arguments.next<int>());
    appendField(output, {}, std::string_view(&character, 1), directive, false);
    return VI_SUCCESS;
}

ViStatus formatDirective(const OutputDirective& directive, FormatArguments& arguments, std::string& output) {
    if (isIntegerConversion(directive.conversion)) return formatInteger(directive, arguments, output);
    if (isFloatingConversion(directive.conversion)) return formatFloating(directive, arguments, output);
    switch (directive.conversion) {
        case 's':
            return formatString(directive, arguments, output);
        case 'c':
            return formatCharacter(directive, arguments, output);
        case '%':
            output += '%';
            return VI_SUCCESS;
        case 'b':
        case 'B':
        case 'y':
            return VI_ERROR_NSUP_FMT;
        default:
            return VI_ERROR_INV_FMT;
    }
}

}  // namespace

ViStatus formatText(std::string_view format, FormatArguments& arguments, FormattedText& output) {
    std::size_t position = 0;
    while (position < format.size()) {
        const char c = format[position];
        if (c == '%') {
            OutputDirective directive;
            DirectiveParser parser(format, position + 1, arguments);
            if (const ViStatus status = parser.parse(directive); status != VI_SUCCESS) return status;
            if (const ViStatus status = formatDirective(directive, arguments, output.bytes);
                status != VI_SUCCESS) {
                return status;
            }
            position = parser.position();
            continue;
        }
        const EscapedCharacter literal = literalAt(format, position);
        output.bytes += literal.character;
        // Only a newline of the format itself ends a message, never one inside an argument.
        if (literal.character == '\n') output.messageEnds.push_back(output.bytes.size());
        position += literal.length;
    }
    return VI_SUCCESS;
}

}  // namespace kqvisa
