// ARB segments: defining them, their data and the waveform memory they take (TRACe, MEMory:SIZE?).
#include <cstdint>
#include <span>

#include "commands/arguments.h"
#include "commands/subsystems.h"
#include "dac_code.h"
#include "scpi/error_queue.h"
#include "scpi/number_text.h"

namespace kqsim::commands {
namespace {

namespace err = scpi::err;
using scpi::formatInteger;
using scpi::ParameterType;

// Definite-length block of big-endian 16-bit words. The length field has at least four digits
// (#40004 for two points) so that controllers reading a fixed four-digit count work; longer counts
// take the digits they need.
std::string waveformBlock(std::span<const std::uint16_t> words) {
    std::string count = formatInteger(static_cast<long long>(words.size() * 2));
    if (count.size() < 4) count.insert(0, 4 - count.size(), '0');
    std::string block = "#" + formatInteger(static_cast<long long>(count.size())) + count;
    block.reserve(block.size() + words.size() * 2);
    for (std::uint16_t word : words) {
        block.push_back(static_cast<char>(word >> 8));
        block.push_back(static_cast<char>(word & 0xFF));
    }
    return block;
}

void defineSegment(ModuleCore& core, Call& call) {
    const auto segment = segmentArgument(call, 0);
    const auto points = call.integer(1, kLimits.segmentPoints);
    if (!segment || !points) return;
    if (!succeeded(call, core.arbChangeAllowed())) return;
    succeeded(call, core.arb().define(*segment, static_cast<std::size_t>(*points)));
}

void resizeSegment(ModuleCore& core, Call& call) {
    const auto segment = segmentArgument(call, 0);
    const auto points = call.integer(1, kLimits.segmentPoints);
    if (!segment || !points) return;
    if (!succeeded(call, core.arbChangeAllowed())) return;
    succeeded(call, core.arb().resize(*segment, static_cast<std::size_t>(*points)));
}

void querySegmentSize(ModuleCore& core, Call& call) {
    if (answeredLimit(call, kLimits.segmentPoints, formatWhole)) return;
    if (const auto segment = segmentArgument(call, 0)) {
        call.reply(formatInteger(static_cast<long long>(core.arb().size(*segment))));
    }
}

void deleteAllSegments(ModuleCore& core, Call& call) {
    if (!succeeded(call, core.arbChangeAllowed())) return;
    core.arb().removeAll();
}

// TRAC:DATA <segment>,<channel>,<block>: big-endian words in the data format, from point 0 on.
// TRAC:DATA <segment>,<channel>,<source segment>,<source channel>: a copy.
void writeSegmentData(ModuleCore& core, Call& call) {
    const bool fromBlock = call.has(2) && call.parameter(2).type == ParameterType::block;
    if (!formTakes(call, fromBlock ? 3 : 4)) return;
    const auto segment = segmentArgument(call, 0);
    const auto channel = call.integer(1, 1, core.channelCount());
    if (fromBlock) {
        const auto bytes = call.block(2);
        if (!segment || !channel || !bytes) return;
        std::string data(*bytes);
        // The driver ends an indefinite block with its last data byte and END, no NL: words come in
        // pairs of bytes, so an odd count left by a final NL means that NL was data.
        if (data.size() % 2 != 0 && call.parameter(2).newlineEnded) data.push_back('\n');
        if (data.size() % 2 != 0) return call.fail(err::invalidBlockData);
        if (!succeeded(call, core.arbChangeAllowed())) return;
        std::vector<std::uint16_t> codes(data.size() / 2);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            const auto high = static_cast<unsigned char>(data[2 * i]);
            const auto low = static_cast<unsigned char>(data[2 * i + 1]);
            codes[i] = codeFromWord(static_cast<std::uint16_t>(high << 8 | low), core.settings().dataFormat);
        }
        succeeded(call, core.arb().write(*segment, *channel, 0, codes));
        return;
    }
    const auto sourceSegment = segmentArgument(call, 2);
    const auto sourceChannel = call.integer(3, 1, core.channelCount());
    if (!segment || !channel || !sourceSegment || !sourceChannel) return;
    if (!succeeded(call, core.arbChangeAllowed())) return;
    succeeded(call, core.arb().copy(*segment, *channel, *sourceSegment, *sourceChannel));
}

void querySegmentData(ModuleCore& core, Call& call) {
    const auto segment = segmentArgument(call, 0);
    const auto channel = call.integer(1, 1, core.channelCount());
    if (!segment || !channel) return;
    if (!core.arb().defined(*segment)) return call.fail(err::illegalParameterValue);
    std::vector<std::uint16_t> words = core.arb().channelData(*segment, *channel);
    for (std::uint16_t& word : words) word = wordFromCode(word, core.settings().dataFormat);
    call.reply(waveformBlock(words));
}

// TRAC:DATA:POIN <segment>,<channel>,<offset>,<sample>: the sample as a 16-bit word in the data
// format, written signed (-32768..32767) or as the word itself (up to 65535).
void setDataPoint(ModuleCore& core, Call& call) {
    const auto segment = segmentArgument(call, 0);
    const auto channel = call.integer(1, 1, core.channelCount());
    const auto offset = call.integer(2, kLimits.pointOffset);
    const auto sample = call.integer(3, kLimits.sampleWord);
    if (!segment || !channel || !offset || !sample) return;
    if (!succeeded(call, core.arbChangeAllowed())) return;
    const auto word = static_cast<std::uint16_t>(*sample & 0xFFFF);
    succeeded(call, core.arb().setPoint(*segment, *channel, static_cast<std::size_t>(*offset),
                                        codeFromWord(word, core.settings().dataFormat)));
}

// Answered as a signed 16-bit number, the form a controller reads a short in.
void queryDataPoint(ModuleCore& core, Call& call) {
    const auto segment = segmentArgument(call, 0);
    const auto channel = call.integer(1, 1, core.channelCount());
    const auto offset = call.integer(2, kLimits.pointOffset);
    if (!segment || !channel || !offset) return;
    if (!core.arb().defined(*segment)) return call.fail(err::illegalParameterValue);
    if (static_cast<std::size_t>(*offset) >= core.arb().size(*segment)) return call.fail(err::dataOutOfRange);
    const std::uint16_t word = wordFromCode(
        core.arb().point(*segment, *channel, static_cast<std::size_t>(*offset)), core.settings().dataFormat);
    call.reply(formatInteger(static_cast<std::int16_t>(word)));
}

void queryFreeMemory(ModuleCore& core, Call& call) {
    call.reply(formatInteger(static_cast<long long>(core.arb().available())) + "," +
               formatInteger(static_cast<long long>(core.arb().used())));
}

void queryMemorySize(ModuleCore& core, Call& call) {
    call.reply(formatInteger(static_cast<long long>(core.arb().capacity())));
}

}  // namespace

std::vector<scpi::Command> arbSegmentCommands(ModuleCore& core) {
    const RowMaker row(core);
    return {
        row("TRACe:DEFine", takes(2), defineSegment),
        row("TRACe:POINts", takes(2), resizeSegment),
        row("TRACe:POINts?", takes(1), querySegmentSize),
        row("TRACe:DELete:ALL", takes(0), deleteAllSegments),
        row("TRACe:DATA", takes(3, 4), writeSegmentData),
        row("TRACe:DATA?", takes(2), querySegmentData),
        row("TRACe:DATA:POINt", takes(4), setDataPoint),
        row("TRACe:DATA:POINt?", takes(3), queryDataPoint),
        row("TRACe:FREE?", takes(0), queryFreeMemory),
        row("MEMory:SIZE?", takes(0), queryMemorySize),
    };
}

}  // namespace kqsim::commands
