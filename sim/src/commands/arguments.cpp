#include "commands/arguments.h"

#include <cmath>

#include "scpi/error_queue.h"
#include "scpi/number_text.h"

namespace kqsim::commands {

namespace err = scpi::err;
using scpi::ParameterType;

std::optional<int> channelArgument(const ModuleCore& core, Call& call, std::size_t index) {
    if (call.has(index) && call.parameter(index).type == ParameterType::channelList) {
        const auto channels = call.channelList(index, 1, core.channelCount());
        if (!channels) return std::nullopt;
        if (channels->size() != 1) {
            call.fail(err::illegalParameterValue);
            return std::nullopt;
        }
        return channels->front();
    }
    return call.integer(index, 1, core.channelCount());
}

std::optional<std::vector<int>> channelsArgument(const ModuleCore& core, Call& call, std::size_t index) {
    if (!call.has(index)) {
        std::vector<int> all;
        for (int channel = 1; channel <= core.channelCount(); ++channel) all.push_back(channel);
        return all;
    }
    return call.channelList(index, 1, core.channelCount());
}

std::optional<std::vector<int>> stepsArgument(Call& call, std::size_t index) {
    if (call.has(index) && call.parameter(index).type == ParameterType::number) {
        const auto step = call.integer(index, kLimits.sequenceStep);
        if (!step) return std::nullopt;
        return std::vector<int>{*step};
    }
    return call.channelList(index, kLimits.sequenceStep);
}

std::optional<int> stepArgument(Call& call, std::size_t index) {
    const auto steps = stepsArgument(call, index);
    if (!steps) return std::nullopt;
    if (steps->size() != 1) {
        call.fail(err::illegalParameterValue);
        return std::nullopt;
    }
    return steps->front();
}

std::optional<int> segmentArgument(Call& call, std::size_t index) {
    return call.integer(index, kLimits.segment);
}

std::optional<std::string> codeArgument(Call& call, std::size_t index) {
    if (call.has(index) && call.parameter(index).type == ParameterType::string) return call.string(index);
    const auto bytes = call.block(index);
    if (!bytes) return std::nullopt;
    return std::string(*bytes);
}

std::optional<double> voltsArgument(Call& call, std::size_t index, const scpi::NumericRange& limits) {
    const auto value = call.numeric(index, "V");
    if (!value) return std::nullopt;
    if (value->keyword == scpi::NumericKeyword::none) return value->number;
    return call.resolve(*value, limits);
}

std::optional<std::vector<double>> voltsArguments(Call& call, std::size_t first,
                                                  const scpi::NumericRange& limits) {
    std::vector<double> volts;
    for (std::size_t i = first; i < call.parameterCount(); ++i) {
        const auto value = voltsArgument(call, i, limits);
        if (!value) return std::nullopt;
        volts.push_back(*value);
    }
    return volts;
}

bool answeredLimit(Call& call, const scpi::NumericRange& limits, std::string (*format)(double)) {
    if (!call.namesLimit(0)) return false;
    const auto value = call.real(0, limits);
    if (value) call.reply(format(*value));
    return true;
}

bool formTakes(Call& call, std::size_t count) { return call.expectCount(count, count); }

bool succeeded(Call& call, int error) {
    if (error == err::noError) return true;
    call.fail(error);
    return false;
}

std::string formatWhole(double value) { return scpi::formatInteger(std::llround(value)); }

std::string joinFixed(std::span<const double> values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += ',';
        text += scpi::formatFixed(values[i], 6);
    }
    return text;
}

}  // namespace kqsim::commands
