#include "scpi/call.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "scpi/ascii.h"
#include "scpi/error_queue.h"
#include "scpi/unit_suffix.h"

namespace kqsim::scpi {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return toUpper(x) == toUpper(y); });
}

NumericKeyword numericKeyword(std::string_view word) {
    if (equalsIgnoringCase(word, "MIN") || equalsIgnoringCase(word, "MINIMUM")) {
        return NumericKeyword::minimum;
    }
    if (equalsIgnoringCase(word, "MAX") || equalsIgnoringCase(word, "MAXIMUM")) {
        return NumericKeyword::maximum;
    }
    if (equalsIgnoringCase(word, "DEF") || equalsIgnoringCase(word, "DEFAULT")) {
        return NumericKeyword::defaultValue;
    }
    return NumericKeyword::none;
}

// A choice written like a header node: "EXTernal", "TTLTrg#".
bool choiceMatches(std::string_view choice, std::string_view word, int& suffix) {
    const bool takesSuffix = !choice.empty() && choice.back() == '#';
    if (takesSuffix) choice.remove_suffix(1);
    suffix = 1;
    if (takesSuffix) {
        std::size_t digitsStart = word.size();
        while (digitsStart > 0 && isDigit(word[digitsStart - 1])) --digitsStart;
        const std::string_view digits = word.substr(digitsStart);
        if (digits.size() > 9) return false;
        if (!digits.empty()) {
            suffix = 0;
            for (char c : digits) suffix = suffix * 10 + (c - '0');
        }
        word = word.substr(0, digitsStart);
    }
    const std::size_t shortLength =
        static_cast<std::size_t>(std::find_if(choice.begin(), choice.end(), isLower) - choice.begin());
    return equalsIgnoringCase(word, choice) || equalsIgnoringCase(word, choice.substr(0, shortLength));
}

}  // namespace

Call::Call(bool query, std::vector<int> suffixes, std::vector<Parameter> parameters, ErrorReporter report)
    : query_(query),
      suffixes_(std::move(suffixes)),
      parameters_(std::move(parameters)),
      report_(std::move(report)) {}

int Call::suffix(std::size_t which) const { return which < suffixes_.size() ? suffixes_[which] : 1; }

std::optional<int> Call::suffixInRange(int min, int max, std::size_t which) {
    if (failed_) return std::nullopt;
    const int value = suffix(which);
    if (value < min || value > max) {
        fail(err::headerSuffixOutOfRange);
        return std::nullopt;
    }
    return value;
}

const Parameter& Call::parameter(std::size_t index) const {
    read_ = std::max(read_, index + 1);
    return parameters_[index];
}

bool Call::expectCount(std::size_t min, std::size_t max) {
    countChecked_ = true;
    return countWithin(min, max);
}

bool Call::countWithin(std::size_t min, std::size_t max) {
    if (failed_) return false;
    if (parameters_.size() < min) {
        fail(err::missingParameter);
        return false;
    }
    if (parameters_.size() > max) {
        fail(err::parameterNotAllowed);
        return false;
    }
    return true;
}

bool Call::hasUnreadParameters() const { return !countChecked_ && read_ < parameters_.size(); }

const Parameter* Call::take(std::size_t index, ParameterType type) {
    if (failed_) return nullptr;
    read_ = std::max(read_, index + 1);
    if (index >= parameters_.size()) {
        fail(err::missingParameter);
        return nullptr;
    }
    const Parameter& found = parameters_[index];
    if (found.type != type) {
        fail(notAllowedError(found.type));
        return nullptr;
    }
    return &found;
}

const Parameter* Call::wordInPlaceOfNumber(std::size_t index) {
    if (failed_ || index >= parameters_.size() || parameters_[index].type != ParameterType::word) {
        return nullptr;
    }
    read_ = std::max(read_, index + 1);
    return &parameters_[index];
}

std::optional<NumericValue> Call::numeric(std::size_t index, std::string_view unit) {
    if (const Parameter* word = wordInPlaceOfNumber(index)) {
        const NumericKeyword keyword = numericKeyword(word->text);
        if (keyword == NumericKeyword::none) {
            fail(err::characterDataNotAllowed);
            return std::nullopt;
        }
        return NumericValue{keyword, 0.0};
    }
    const Parameter* number = take(index, ParameterType::number);
    if (!number) return std::nullopt;
    if (number->unit.empty()) return NumericValue{NumericKeyword::none, number->number};
    const auto exponent = suffixExponent(number->unit, unit);
    if (!exponent) {
        fail(err::invalidSuffix);
        return std::nullopt;
    }
    return NumericValue{NumericKeyword::none, scaledByPowerOfTen(number->number, *exponent)};
}

std::optional<double> Call::resolve(const NumericValue& value, const NumericRange& range) {
    if (failed_) return std::nullopt;
    switch (value.keyword) {
        case NumericKeyword::minimum:
            return range.min;
        case NumericKeyword::maximum:
            return range.max;
        case NumericKeyword::defaultValue:
            if (!range.defaultValue) fail(err::illegalParameterValue);
            return range.defaultValue;
        case NumericKeyword::none:
            break;
    }
    if (!(value.number >= range.min && value.number <= range.max)) {
        fail(err::dataOutOfRange);
        return std::nullopt;
    }
    return value.number;
}

bool Call::namesLimit(std::size_t index) const {
    return index < parameters_.size() && parameters_[index].type == ParameterType::word &&
           numericKeyword(parameters_[index].text) != NumericKeyword::none;
}

std::optional<int> Call::integer(std::size_t index, int min, int max) {
    return integer(index, NumericRange{static_cast<double>(min), static_cast<double>(max), std::nullopt});
}

std::optional<int> Call::integer(std::size_t index, const NumericRange& range) {
    auto value = numeric(index, {});
    if (!value) return std::nullopt;
    value->number = std::round(value->number);
    const auto resolved = resolve(*value, range);
    if (!resolved) return std::nullopt;
    return static_cast<int>(*resolved);
}

std::optional<double> Call::real(std::size_t index, double min, double max, std::string_view unit) {
    return real(index, NumericRange{min, max, std::nullopt}, unit);
}

std::optional<double> Call::real(std::size_t index, const NumericRange& range, std::string_view unit) {
    const auto value = numeric(index, unit);
    if (!value) return std::nullopt;
    return resolve(*value, range);
}

std::optional<bool> Call::boolean(std::size_t index) {
    if (const Parameter* word = wordInPlaceOfNumber(index)) {
        if (equalsIgnoringCase(word->text, "ON")) return true;
        if (equalsIgnoringCase(word->text, "OFF")) return false;
        fail(err::illegalParameterValue);
        return std::nullopt;
    }
    const Parameter* number = take(index, ParameterType::number);
    if (!number) return std::nullopt;
    if (!number->unit.empty()) {
        fail(err::invalidSuffix);
        return std::nullopt;
    }
    return std::round(number->number) != 0.0;
}

std::optional<WordChoice> Call::word(std::size_t index, std::span<const std::string_view> choices) {
    const Parameter* word = take(index, ParameterType::word);
    if (!word) return std::nullopt;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        int suffix = 1;
        if (choiceMatches(choices[i], word->text, suffix)) return WordChoice{i, suffix};
    }
    fail(err::illegalParameterValue);
    return std::nullopt;
}

std::optional<WordChoice> Call::word(std::size_t index, std::initializer_list<std::string_view> choices) {
    return word(index, std::span<const std::string_view>(choices.begin(), choices.size()));
}

std::optional<std::string> Call::string(std::size_t index) {
    const Parameter* text = take(index, ParameterType::string);
    if (!text) return std::nullopt;
    return text->text;
}

std::optional<std::string_view> Call::block(std::size_t index) {
    const Parameter* data = take(index, ParameterType::block);
    if (!data) return std::nullopt;
    return std::string_view(data->text);
}

std::optional<std::vector<int>> Call::channelList(std::size_t index, int min, int max) {
    const Parameter* list = take(index, ParameterType::channelList);
    if (!list) return std::nullopt;
    for (int channel : list->channels) {
        if (channel < min || channel > max) {
            fail(err::dataOutOfRange);
            return std::nullopt;
        }
    }
    return list->channels;
}

std::optional<std::vector<int>> Call::channelList(std::size_t index, const NumericRange& range) {
    return channelList(index, static_cast<int>(range.min), static_cast<int>(range.max));
}

void Call::reply(std::string_view text) { response_ += text; }

void Call::fail(int code) {
    if (failed_) return;
    failed_ = true;
    if (report_) report_(code);
}

}  // namespace kqsim::scpi
