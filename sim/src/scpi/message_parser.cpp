#include "scpi/message_parser.h"

#include <cstdint>
#include <utility>

#include "scpi/ascii.h"
#include "scpi/error_queue.h"
#include "scpi/number_text.h"

namespace kqsim::scpi {
namespace {

// Longest mnemonic and character data: 12 characters, as IEEE 488.2 sets it.
constexpr std::size_t maxMnemonicLength = 12;
constexpr std::size_t maxSuffixDigits = 9;
constexpr std::size_t maxMantissaLength = 255;
constexpr long long maxExponent = 32000;
constexpr std::size_t maxUnitLength = 12;

bool isWhitespace(char c) { return static_cast<unsigned char>(c) <= 0x20 && c != '\n'; }
bool isWordCharacter(char c) { return isLetter(c) || isDigit(c) || c == '_'; }
bool isNonAscii(char c) { return static_cast<unsigned char>(c) >= 0x80; }

int digitValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 99;
}

int parseDigits(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

}  // namespace

char MessageParser::peek(std::size_t ahead) const {
    const std::size_t at = pos_ + ahead;
    return at < message_.size() ? message_[at] : '\0';
}

void MessageParser::skipWhitespace() {
    while (!atEnd() && isWhitespace(message_[pos_])) ++pos_;
}

bool MessageParser::fail(int code) {
    if (error_ == 0) error_ = code;
    return false;
}

std::optional<ReceivedHeader> MessageParser::nextHeader() {
    if (error_ != 0) return std::nullopt;
    skipWhitespace();
    if (atEnd()) return std::nullopt;
    if (peek() == ';') {
        fail(err::syntaxError);  // empty unit
        return std::nullopt;
    }

    ReceivedHeader header;
    if (peek() == '*') {
        ++pos_;
        header.common = true;
        ReceivedMnemonic mnemonic;
        if (!readMnemonic(mnemonic)) return std::nullopt;
        header.mnemonics.push_back(std::move(mnemonic));
        if (peek() == '?') {
            header.query = true;
            ++pos_;
        }
    } else {
        const bool rooted = peek() == ':';
        if (rooted) ++pos_;
        std::vector<ReceivedMnemonic> typed;
        while (true) {
            ReceivedMnemonic mnemonic;
            if (!readMnemonic(mnemonic)) return std::nullopt;
            typed.push_back(std::move(mnemonic));
            if (peek() == ':') {
                ++pos_;
                continue;
            }
            if (peek() == '?') {
                header.query = true;
                ++pos_;
                break;
            }
            if (!readHeaderSuffixApart(typed.back())) break;
        }
        if (!rooted) header.mnemonics = path_;
        header.mnemonics.insert(header.mnemonics.end(), typed.begin(), typed.end());
        path_.assign(header.mnemonics.begin(), header.mnemonics.end() - 1);
    }

    if (!header.query) {
        // "VOLT:FORM ?": a lone '?' after white space asks the query.
        std::size_t at = pos_;
        while (at < message_.size() && isWhitespace(message_[at])) ++at;
        const bool standsAlone =
            at + 1 >= message_.size() || isWhitespace(message_[at + 1]) || message_[at + 1] == ';';
        if (at > pos_ && at < message_.size() && message_[at] == '?' && standsAlone) {
            header.query = true;
            pos_ = at + 1;
        }
    }

    if (atEnd() || peek() == ';' || isWhitespace(peek()) || peek() == '#' || header.query) return header;
    fail(isNonAscii(peek()) ? err::invalidCharacter : err::headerSeparatorError);
    return std::nullopt;
}

bool MessageParser::readMnemonic(ReceivedMnemonic& mnemonic) {
    if (!isLetter(peek())) {
        return fail(!atEnd() && isNonAscii(peek()) ? err::invalidCharacter : err::syntaxError);
    }
    const std::size_t start = pos_;
    while (!atEnd() && isWordCharacter(message_[pos_])) ++pos_;
    const std::string_view token = message_.substr(start, pos_ - start);
    std::size_t digitsStart = token.size();
    while (digitsStart > 0 && isDigit(token[digitsStart - 1])) --digitsStart;
    const std::string_view name = token.substr(0, digitsStart);
    const std::string_view digits = token.substr(digitsStart);
    if (name.size() > maxMnemonicLength) return fail(err::mnemonicTooLong);
    if (digits.size() > maxSuffixDigits) return fail(err::headerSuffixOutOfRange);
    mnemonic.name.clear();
    for (char c : name) mnemonic.name += toUpper(c);
    if (!digits.empty()) mnemonic.suffix = parseDigits(digits);
    return true;
}

// "SCAN:TABL 3 :LOC 10, 1.25": the 3 is the suffix of TABL and the header goes on with LOC.
bool MessageParser::readHeaderSuffixApart(ReceivedMnemonic& last) {
    if (last.suffix) return false;
    std::size_t at = pos_;
    while (at < message_.size() && isWhitespace(message_[at])) ++at;
    if (at == pos_) return false;
    const std::size_t digitsStart = at;
    while (at < message_.size() && isDigit(message_[at])) ++at;
    const std::size_t digitCount = at - digitsStart;
    if (digitCount == 0 || digitCount > maxSuffixDigits) return false;
    const std::size_t digitsEnd = at;
    while (at < message_.size() && isWhitespace(message_[at])) ++at;
    if (at + 1 >= message_.size() || message_[at] != ':' || !isLetter(message_[at + 1])) return false;
    last.suffix = parseDigits(message_.substr(digitsStart, digitsEnd - digitsStart));
    pos_ = at + 1;
    return true;
}

std::optional<std::vector<Parameter>> MessageParser::parameters(Separators separators) {
    if (error_ != 0) return std::nullopt;
    std::vector<Parameter> list;
    skipWhitespace();
    if (atEnd()) return list;
    if (peek() == ';') {
        ++pos_;
        return list;
    }
    while (true) {
        if (atEnd() || peek() == ',' || peek() == ';') {
            fail(err::missingParameter);
            return std::nullopt;
        }
        if (list.size() == maxParameters) {
            fail(err::parameterNotAllowed);
            return std::nullopt;
        }
        Parameter parameter;
        if (!readParameter(parameter, separators)) return std::nullopt;
        list.push_back(std::move(parameter));
        const std::size_t before = pos_;
        skipWhitespace();
        const bool spaced = pos_ > before;
        if (atEnd()) return list;
        const char c = peek();
        if (c == ';') {
            ++pos_;
            return list;
        }
        if (c == ',') {
            ++pos_;
            skipWhitespace();
            continue;
        }
        if (spaced && separators == Separators::commaOrSpace) continue;
        fail(isNonAscii(c) ? err::invalidCharacter : err::invalidSeparator);
        return std::nullopt;
    }
}

bool MessageParser::readParameter(Parameter& parameter, Separators separators) {
    const char c = peek();
    if (isDigit(c) || c == '+' || c == '-' || c == '.') return readNumber(parameter, separators);
    if (c == '#') {
        switch (toUpper(peek(1))) {
            case 'H':
                return readNonDecimal(parameter, 16);
            case 'Q':
                return readNonDecimal(parameter, 8);
            case 'B':
                return readNonDecimal(parameter, 2);
            default:
                return readBlock(parameter);
        }
    }
    if (c == '"' || c == '\'') return readString(parameter);
    if (c == '(') return readExpression(parameter);
    if (isLetter(c)) return readWord(parameter);
    return fail(isNonAscii(c) ? err::invalidCharacter : err::syntaxError);
}

bool MessageParser::readNumber(Parameter& parameter, Separators separators) {
    const std::size_t start = pos_;
    if (peek() == '+' || peek() == '-') ++pos_;
    std::size_t digits = 0;
    while (isDigit(peek())) {
        ++pos_;
        ++digits;
    }
    if (peek() == '.') {
        ++pos_;
        while (isDigit(peek())) {
            ++pos_;
            ++digits;
        }
    }
    if (digits == 0) return fail(err::invalidCharacterInNumber);
    if (pos_ - start > maxMantissaLength) return fail(err::tooManyDigits);

    const char e = toUpper(peek());
    const bool signedExponent = (peek(1) == '+' || peek(1) == '-') && isDigit(peek(2));
    if (e == 'E' && (isDigit(peek(1)) || signedExponent)) {
        ++pos_;
        if (signedExponent) ++pos_;
        long long exponent = 0;
        while (isDigit(peek())) {
            if (exponent <= maxExponent) exponent = exponent * 10 + (peek() - '0');
            ++pos_;
        }
        if (exponent > maxExponent) return fail(err::exponentTooLarge);
    }
    parameter.type = ParameterType::number;
    parameter.text = std::string(message_.substr(start, pos_ - start));
    parameter.number = parseReal(parameter.text).value_or(0.0);

    // Suffix program data may stand apart from its number ("1.5 V"), except where white space also
    // separates parameters.
    std::size_t unitAt = pos_;
    if (separators == Separators::comma) {
        while (unitAt < message_.size() && isWhitespace(message_[unitAt])) ++unitAt;
    }
    if (unitAt < message_.size() && isLetter(message_[unitAt])) {
        pos_ = unitAt;
        const std::size_t unitStart = pos_;
        while (isWordCharacter(peek()) || peek() == '/') ++pos_;
        if (pos_ - unitStart > maxUnitLength) return fail(err::suffixTooLong);
        parameter.unit = std::string(message_.substr(unitStart, pos_ - unitStart));
    }
    if (peek() == '.' || peek() == '+' || peek() == '-' || peek() == '#') {
        return fail(err::invalidCharacterInNumber);
    }
    return true;
}

bool MessageParser::readNonDecimal(Parameter& parameter, int radix) {
    const std::size_t start = pos_;
    pos_ += 2;  // "#H", "#Q", "#B"
    std::uint64_t value = 0;
    std::size_t digits = 0;
    while (digitValue(peek()) < radix) {
        const auto digit = static_cast<std::uint64_t>(digitValue(peek()));
        if (value > (UINT64_MAX - digit) / static_cast<std::uint64_t>(radix)) return fail(err::tooManyDigits);
        value = value * static_cast<std::uint64_t>(radix) + digit;
        ++digits;
        ++pos_;
    }
    if (digits == 0 || isWordCharacter(peek())) return fail(err::invalidCharacterInNumber);
    parameter.type = ParameterType::number;
    parameter.text = std::string(message_.substr(start, pos_ - start));
    parameter.number = static_cast<double>(value);
    return true;
}

bool MessageParser::readBlock(Parameter& parameter) {
    ++pos_;  // '#'
    const char form = peek();
    if (form == '0') {
        ++pos_;
        // The block runs to the end of the message, which only END ends; a final NL came with END and
        // is the message terminator, not data.
        std::string_view data = message_.substr(pos_);
        parameter.newlineEnded = !data.empty() && data.back() == '\n';
        if (parameter.newlineEnded) data.remove_suffix(1);
        parameter.type = ParameterType::block;
        parameter.text = std::string(data);
        pos_ = message_.size();
        return true;
    }
    if (form < '1' || form > '9') return fail(err::invalidBlockData);
    ++pos_;
    const auto lengthDigits = static_cast<std::size_t>(form - '0');
    if (message_.size() - pos_ < lengthDigits) return fail(err::invalidBlockData);
    std::uint64_t length = 0;
    for (std::size_t i = 0; i < lengthDigits; ++i) {
        const char c = message_[pos_ + i];
        if (!isDigit(c)) return fail(err::invalidBlockData);
        length = length * 10 + static_cast<std::uint64_t>(c - '0');
    }
    pos_ += lengthDigits;
    if (length > message_.size() - pos_) return fail(err::invalidBlockData);
    parameter.type = ParameterType::block;
    parameter.text = std::string(message_.substr(pos_, static_cast<std::size_t>(length)));
    pos_ += static_cast<std::size_t>(length);
    return true;
}

bool MessageParser::readString(Parameter& parameter) {
    const char quote = peek();
    ++pos_;
    std::string text;
    while (!atEnd()) {
        const char c = message_[pos_++];
        if (c == quote) {
            if (peek() != quote || atEnd()) {
                parameter.type = ParameterType::string;
                parameter.text = std::move(text);
                return true;
            }
            ++pos_;  // doubled quote
        }
        text += c;
    }
    return fail(err::invalidStringData);
}

bool MessageParser::readExpression(Parameter& parameter) {
    std::size_t depth = 0;
    std::size_t close = pos_;
    for (; close < message_.size(); ++close) {
        if (message_[close] == '(') ++depth;
        if (message_[close] == ')' && --depth == 0) break;
    }
    if (close == message_.size()) return fail(err::invalidExpression);
    if (peek(1) == '@') return readChannelList(parameter, close);
    parameter.type = ParameterType::expression;
    parameter.text = std::string(message_.substr(pos_ + 1, close - pos_ - 1));
    pos_ = close + 1;
    return true;
}

bool MessageParser::readChannelList(Parameter& parameter, std::size_t close) {
    const std::string_view inside = message_.substr(pos_ + 2, close - pos_ - 2);
    std::size_t at = 0;
    const auto skipSpaces = [&] {
        while (at < inside.size() && isWhitespace(inside[at])) ++at;
    };
    const auto readEntry = [&](int& value) {
        const std::size_t start = at;
        while (at < inside.size() && isDigit(inside[at])) ++at;
        if (at == start || at - start > maxSuffixDigits) return false;
        value = parseDigits(inside.substr(start, at - start));
        return true;
    };
    std::vector<int> channels;
    skipSpaces();
    while (true) {
        int first = 0;
        if (!readEntry(first)) return fail(err::invalidExpression);
        skipSpaces();
        int last = first;
        if (at < inside.size() && inside[at] == ':') {
            ++at;
            skipSpaces();
            if (!readEntry(last)) return fail(err::invalidExpression);
            skipSpaces();
        }
        const std::size_t count = static_cast<std::size_t>(first <= last ? last - first : first - last) + 1;
        if (count > maxChannelListEntries - channels.size()) return fail(err::tooMuchData);
        const int step = first <= last ? 1 : -1;
        for (int channel = first;; channel += step) {
            channels.push_back(channel);
            if (channel == last) break;
        }
        if (at == inside.size()) break;
        if (inside[at] != ',') return fail(err::invalidExpression);
        ++at;
        skipSpaces();
    }
    parameter.type = ParameterType::channelList;
    parameter.text = std::string(inside);
    parameter.channels = std::move(channels);
    pos_ = close + 1;
    return true;
}

bool MessageParser::readWord(Parameter& parameter) {
    const std::size_t start = pos_;
    while (isWordCharacter(peek())) ++pos_;
    if (pos_ - start > maxMnemonicLength) return fail(err::characterDataTooLong);
    parameter.type = ParameterType::word;
    parameter.text = std::string(message_.substr(start, pos_ - start));
    return true;
}

}  // namespace kqsim::scpi
