// DC output: channel voltages, output ranges, and the data format of waveform words
// ([SOURce]:VOLTage).
#include <optional>

#include "commands/arguments.h"
#include "commands/subsystems.h"
#include "dac_code.h"
#include "scpi/error_queue.h"
#include "scpi/number_text.h"

namespace kqsim::commands {
namespace {

namespace err = scpi::err;

struct RangeWord {
    double volts;  // the range is written as its full scale, "20V" or "10V"
    OutputRange range;
};
constexpr RangeWord kRangeWords[] = {{20.0, OutputRange::Volts20}, {10.0, OutputRange::Volts10}};

std::string formatRangeWord(double volts) {
    for (const RangeWord& word : kRangeWords) {
        if (volts == word.volts) return std::string(rangeScale(word.range).word);
    }
    return std::string(rangeScale(kRangeWords[0].range).word);
}

// VOLT <volts>[,<channels>]: MIN, MAX and DEF stand for each channel's own limit in its range.
void setVoltage(ModuleCore& core, Call& call) {
    const auto volts = call.numeric(0, "V");
    const auto channels = channelsArgument(core, call, 1);
    if (!volts || !channels) return;
    if (volts->keyword == scpi::NumericKeyword::none) {
        succeeded(call, core.setVoltage(*channels, volts->number));
        return;
    }
    for (int channel : *channels) {
        const auto limit = call.resolve(*volts, dcVoltageLimits(core.channel(channel).range));
        if (!limit) return;
        const int one[] = {channel};
        core.setVoltage(one, *limit);
    }
}

// VOLT? <channel>, or VOLT? MIN|MAX|DEF,<channel> for that channel's limit in its range.
void queryVoltage(ModuleCore& core, Call& call) {
    if (call.namesLimit(0)) {
        if (!formTakes(call, 2)) return;
        const auto keyword = call.numeric(0);
        const auto channel = channelArgument(core, call, 1);
        if (!keyword || !channel) return;
        const auto limit = call.resolve(*keyword, dcVoltageLimits(core.channel(*channel).range));
        if (limit) call.reply(scpi::formatReal(*limit));
        return;
    }
    if (!formTakes(call, 1)) return;
    const auto channel = channelArgument(core, call, 0);
    if (!channel) return;
    call.reply(scpi::formatReal(core.programmedVoltage(*channel)));
}

// VOLT:RANG 20V|10V|MIN|MAX|DEF[,<channels>]; another voltage is no range (-224).
void setRange(ModuleCore& core, Call& call) {
    const auto value = call.numeric(0, "V");
    const auto channels = channelsArgument(core, call, 1);
    if (!value || !channels) return;
    const auto volts = value->keyword == scpi::NumericKeyword::none
                           ? std::optional<double>(value->number)
                           : call.resolve(*value, kLimits.outputRange);
    if (!volts) return;
    for (const RangeWord& word : kRangeWords) {
        if (*volts == word.volts) {
            succeeded(call, core.setRange(*channels, word.range));
            return;
        }
    }
    call.fail(err::illegalParameterValue);
}

void queryRange(ModuleCore& core, Call& call) {
    if (answeredLimit(call, kLimits.outputRange, formatRangeWord)) return;
    const auto channel = channelArgument(core, call, 0);
    if (!channel) return;
    call.reply(rangeScale(core.channel(*channel).range).word);
}

void setDataFormat(ModuleCore& core, Call& call) {
    const auto format = call.integer(0, kLimits.dataFormat);
    if (!format) return;
    core.setDataFormat(*format == 0 ? DataFormat::Signed : DataFormat::Unsigned);
}

void queryDataFormat(ModuleCore& core, Call& call) {
    if (answeredLimit(call, kLimits.dataFormat, formatWhole)) return;
    if (formTakes(call, 0)) call.reply(core.settings().dataFormat == DataFormat::Signed ? "0" : "1");
}

}  // namespace

std::vector<scpi::Command> dcOutputCommands(ModuleCore& core) {
    const RowMaker row(core);
    return {
        row("[SOURce]:VOLTage[:LEVel][:IMMediate][:AMPLitude]", takes(1, 2), setVoltage),
        row("[SOURce]:VOLTage[:LEVel][:IMMediate][:AMPLitude]?", takes(1, 2), queryVoltage),
        row("[SOURce]:VOLTage:RANGe", takes(1, 2), setRange),
        row("[SOURce]:VOLTage:RANGe?", takes(1), queryRange),
        row("[SOURce]:VOLTage:FORMat", takes(1), setDataFormat),
        row("[SOURce]:VOLTage:FORMat?", takes(0, 1), queryDataFormat),
    };
}

}  // namespace kqsim::commands
