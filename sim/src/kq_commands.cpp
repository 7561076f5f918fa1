#include "kq_commands.h"

#include <array>
#include <cmath>
#include <span>
#include <string_view>

#include "dac_code.h"
#include "kq_limits.h"
#include "scpi/error_queue.h"
#include "scpi/number_text.h"
#include "scpi/response_text.h"

namespace kqsim {

namespace err = scpi::err;
using scpi::Call;
using scpi::formatInteger;
using scpi::ParameterType;

namespace {

// A word parameter: the pattern it is written in (as a command reference writes it, '#' for a
// numeric suffix), the value it selects and the word the matching query answers.
template <typename Value>
struct WordEntry {
    std::string_view pattern;
    Value value;
    std::string_view reply;
};

constexpr WordEntry<TriggerSourceKind> kTriggerSourceWords[] = {
    {"AUTO", TriggerSourceKind::Auto, "AUTO"},
    {"EXTernal", TriggerSourceKind::External, "EXT"},
    {"EXTClock", TriggerSourceKind::ExternalClock, "EXTC"},
    {"TTLTrg#", TriggerSourceKind::TtlLine, "TTLT"},
    {"INTernal#", TriggerSourceKind::Internal, "INT "},
    {"TIMer", TriggerSourceKind::Timer, "TIM"},
    {"NONE", TriggerSourceKind::None, "NONE"},
};

constexpr WordEntry<ClockSourceKind> kClockSourceWords[] = {
    {"TTLTrg#", ClockSourceKind::TtlLine, "TTLT"},  {"INTernal", ClockSourceKind::Internal, "INT"},
    {"EXTernal", ClockSourceKind::External, "EXT"}, {"EXTClock", ClockSourceKind::ExternalClock, "EXTC"},
    {"TIMer", ClockSourceKind::Timer, "TIM"},
};

constexpr WordEntry<Slope> kSlopeWords[] = {
    {"NEGative", Slope::Negative, "NEG"},
    {"POSitive", Slope::Positive, "POS"},
};

constexpr WordEntry<ScanMode> kScanModeWords[] = {
    {"OFF", ScanMode::Off, "0"},   {"ON", ScanMode::On, "1"},        {"LOOP", ScanMode::Loop, "LOOP"},
    {"ARB", ScanMode::Arb, "ARB"}, {"FIFO", ScanMode::Fifo, "FIFO"},
};

constexpr WordEntry<OutputTriggerSource> kOutputTriggerWords[] = {
    {"NONE", OutputTriggerSource::None, "NONE"},
    {"TRIGger", OutputTriggerSource::Trigger, "TRIG"},
    {"MARKer", OutputTriggerSource::Marker, "MARK"},
};

constexpr WordEntry<SequenceStart> kSequenceStartWords[] = {
    {"TRIGger", SequenceStart::Trigger, "TRIG"},
    {"AUTO", SequenceStart::Auto, "AUTO"},
};

constexpr WordEntry<SequenceAdvance> kSequenceAdvanceWords[] = {
    {"SYNC", SequenceAdvance::Sync, "SYNC"},
    {"ASYNC", SequenceAdvance::Async, "ASYNC"},
};

struct RangeWord {
    double volts;  // the range is written as its full scale, "20V" or "10V"
    OutputRange range;
};
constexpr RangeWord kRangeWords[] = {{20.0, OutputRange::Volts20}, {10.0, OutputRange::Volts10}};

constexpr int kTtlLines = 8;
constexpr const NumericLimits& kLimits = kNumericLimits;

template <typename Value, std::size_t N>
std::optional<WordEntry<Value>> chooseWord(Call& call, std::size_t index, const WordEntry<Value> (&table)[N],
                                           int& suffix) {
    std::array<std::string_view, N> patterns{};
    for (std::size_t i = 0; i < N; ++i) patterns[i] = table[i].pattern;
    const auto choice = call.word(index, patterns);
    if (!choice) return std::nullopt;
    suffix = choice->suffix;
    return table[choice->index];
}

template <typename Value, std::size_t N>
std::optional<Value> chooseWord(Call& call, std::size_t index, const WordEntry<Value> (&table)[N]) {
    int suffix = 1;
    const auto entry = chooseWord(call, index, table, suffix);
    if (!entry) return std::nullopt;
    return entry->value;
}

template <typename Value, std::size_t N>
std::string_view replyWord(const WordEntry<Value> (&table)[N], Value value) {
    for (const auto& entry : table) {
        if (entry.value == value) return entry.reply;
    }
    return table[0].reply;
}

std::string formatWhole(double value) { return formatInteger(std::llround(value)); }

std::string formatRangeWord(double volts) {
    for (const RangeWord& word : kRangeWords) {
        if (volts == word.volts) return std::string(rangeScale(word.range).word);
    }
    return std::string(rangeScale(kRangeWords[0].range).word);
}

std::string joinFixed(std::span<const double> values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += ',';
        text += scpi::formatFixed(values[i], 6);
    }
    return text;
}

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

}  // namespace

KqCommandSet::KqCommandSet(ModuleCore& core, std::string identity)
    : core_(core), identity_(std::move(identity)) {}

std::vector<scpi::Command> KqCommandSet::table() {
    const auto on = [this](void (KqCommandSet::*handler)(Call&)) {
        return scpi::Handler([this, handler](Call& call) { (this->*handler)(call); });
    };
    using K = KqCommandSet;
    constexpr auto spaced = scpi::Separators::commaOrSpace;
    return {
        // IEEE 488.2 common commands (the engine answers the status ones)
        {"*IDN?", on(&K::identify)},
        {"*RST", on(&K::reset)},
        {"*TST?", on(&K::selfTest)},
        {"*TRG", on(&K::trigger)},

        // DC output
        {"[SOURce]:VOLTage[:LEVel][:IMMediate][:AMPLitude]", on(&K::setVoltage)},
        {"[SOURce]:VOLTage[:LEVel][:IMMediate][:AMPLitude]?", on(&K::queryVoltage)},
        {"[SOURce]:VOLTage:RANGe", on(&K::setRange)},
        {"[SOURce]:VOLTage:RANGe?", on(&K::queryRange)},
        {"[SOURce]:VOLTage:SET", on(&K::applyMemoryArray)},
        {"[SOURce]:VOLTage:FORMat", on(&K::setDataFormat)},
        {"[SOURce]:VOLTage:FORMat?", on(&K::queryDataFormat)},
        {"MEMory:SET", on(&K::storeMemoryArray)},
        {"MEMory:SET?", on(&K::queryMemoryArray)},

        // Scanning
        {"[SOURce]:SCAN[:MODE]", on(&K::setScanMode)},
        {"[SOURce]:SCAN[:MODE]?", on(&K::queryScanMode)},
        {"[SOURce]:SCAN:LIMit", on(&K::setScanLimit)},
        {"[SOURce]:SCAN:LIMit?", on(&K::queryScanLimit)},
        {"[SOURce]:SCAN:TABLe", on(&K::setScanTable)},
        {"[SOURce]:SCAN:TABLe?", on(&K::queryScanTable), spaced},
        {"[SOURce]:SCAN:TABLe#:LOCation", on(&K::setScanEntry)},
        {"[SOURce]:SCAN:TABLe#:LOCation?", on(&K::queryScanEntry)},

        // Trigger, sample clock, timer, marker, output trigger
        {"TRIGger[:SEQuence]:SOURce", on(&K::setTriggerSource)},
        {"TRIGger[:SEQuence]:SOURce?", on(&K::queryTriggerSource)},
        {"TRIGger[:SEQuence]:SLOPe", on(&K::setTriggerSlope)},
        {"TRIGger[:SEQuence]:SLOPe?", on(&K::queryTriggerSlope)},
        {"[SOURce]:ROSCillator:SOURce", on(&K::setClockSource)},
        {"[SOURce]:ROSCillator:SOURce?", on(&K::queryClockSource)},
        {"[SOURce]:ROSCillator:SLOPe", on(&K::setClockSlope)},
        {"[SOURce]:ROSCillator:SLOPe?", on(&K::queryClockSlope)},
        {"[SOURce]:TIMer", on(&K::setTimer)},
        {"[SOURce]:TIMer?", on(&K::queryTimer)},
        {"[SOURce]:MARKer:SYNC:STATe", on(&K::setMarkerState)},
        {"[SOURce]:MARKer:SYNC:STATe?", on(&K::queryMarkerState)},
        {"[SOURce]:MARKer:SYNC:SLOPe", on(&K::setMarkerSlope)},
        {"[SOURce]:MARKer:SYNC:SLOPe?", on(&K::queryMarkerSlope)},
        {"OUTPut:TTLTrg:SOURce", on(&K::setOutputTriggerSource)},
        {"OUTPut:TTLTrg:SOURce?", on(&K::queryOutputTriggerSource)},
        {"OUTPut:TTLTrg#[:STATe]", on(&K::setOutputTriggerLine)},
        {"OUTPut:TTLTrg#[:STATe]?", on(&K::queryOutputTriggerLine)},
        {"INITiate[:IMMediate]", on(&K::initiate)},
        {"ABORt", on(&K::abort)},

        // ARB segments
        {"TRACe:DEFine", on(&K::defineSegment)},
        {"TRACe:POINts", on(&K::resizeSegment)},
        {"TRACe:POINts?", on(&K::querySegmentSize)},
        {"TRACe:DELete:ALL", on(&K::deleteAllSegments)},
        {"TRACe:DATA", on(&K::writeSegmentData)},
        {"TRACe:DATA?", on(&K::querySegmentData)},
        {"TRACe:DATA:POINt", on(&K::setDataPoint)},
        {"TRACe:DATA:POINt?", on(&K::queryDataPoint)},
        {"TRACe:FREE?", on(&K::queryFreeMemory)},
        {"MEMory:SIZE?", on(&K::queryMemorySize)},

        // ARB sequence
        {"[SOURce]:SEQuence:LENGth", on(&K::setSequenceLength)},
        {"[SOURce]:SEQuence:LENGth?", on(&K::querySequenceLength)},
        {"[SOURce]:SEQuence:LIST", on(&K::setSequenceList)},
        {"[SOURce]:SEQuence:LIST?", on(&K::querySequenceList)},
        {"[SOURce]:SEQuence:STARt", on(&K::setSequenceStart)},
        {"[SOURce]:SEQuence:STARt?", on(&K::querySequenceStart)},
        {"[SOURce]:SEQuence:ADVance", on(&K::setSequenceAdvance)},
        {"[SOURce]:SEQuence:ADVance?", on(&K::querySequenceAdvance)},
        {"[SOURce]:SEQuence:DWELl", on(&K::setSequenceDwell)},
        {"[SOURce]:SEQuence:DWELl?", on(&K::querySequenceDwell)},
        {"[SOURce]:MARKer:TRIGger", on(&K::setSequenceMarker)},
        {"[SOURce]:MARKer:TRIGger?", on(&K::querySequenceMarker)},

        // Calibration
        {"CALibration#:GAIN", on(&K::setCalibrationGain)},
        {"CALibration#:GAIN?", on(&K::queryCalibrationGain)},
        {"CALibration#:ZERO", on(&K::setCalibrationZero)},
        {"CALibration#:ZERO?", on(&K::queryCalibrationZero)},
        {"CALibration:DATA", on(&K::setCalibrationData)},
        {"CALibration:DATA?", on(&K::queryCalibrationData)},
        {"CALibration:COUNt?", on(&K::queryCalibrationCount)},
        {"CALibration:STORe", on(&K::storeCalibration)},
        {"CALibration:STORe:AUTO", on(&K::setAutoStore)},
        {"CALibration:STORe:AUTO?", on(&K::queryAutoStore)},
        {"CALibration:SECurity:STATe", on(&K::setSecurityState)},
        {"CALibration:SECurity:STATe?", on(&K::querySecurityState)},
        {"CALibration:SECurity:CODE", on(&K::setSecurityCode)},
    };
}

// --- parameter helpers ---

bool KqCommandSet::succeeded(Call& call, int error) {
    if (error == err::noError) return true;
    call.fail(error);
    return false;
}

std::optional<int> KqCommandSet::channelArgument(Call& call, std::size_t index) {
    if (call.has(index) && call.parameter(index).type == ParameterType::channelList) {
        const auto channels = call.channelList(index, 1, core_.channelCount());
        if (!channels) return std::nullopt;
        if (channels->size() != 1) {
            call.fail(err::illegalParameterValue);
            return std::nullopt;
        }
        return channels->front();
    }
    return call.integer(index, 1, core_.channelCount());
}

std::optional<std::vector<int>> KqCommandSet::channelsArgument(Call& call, std::size_t index) {
    if (!call.has(index)) {
        std::vector<int> all;
        for (int channel = 1; channel <= core_.channelCount(); ++channel) all.push_back(channel);
        return all;
    }
    return call.channelList(index, 1, core_.channelCount());
}

std::optional<std::vector<int>> KqCommandSet::stepsArgument(Call& call, std::size_t index) {
    if (call.has(index) && call.parameter(index).type == ParameterType::number) {
        const auto step = call.integer(index, kLimits.sequenceStep);
        if (!step) return std::nullopt;
        return std::vector<int>{*step};
    }
    return call.channelList(index, kLimits.sequenceStep);
}

std::optional<int> KqCommandSet::stepArgument(Call& call, std::size_t index) {
    const auto steps = stepsArgument(call, index);
    if (!steps) return std::nullopt;
    if (steps->size() != 1) {
        call.fail(err::illegalParameterValue);
        return std::nullopt;
    }
    return steps->front();
}

std::optional<std::string> KqCommandSet::codeArgument(Call& call, std::size_t index) {
    if (call.has(index) && call.parameter(index).type == ParameterType::string) return call.string(index);
    const auto bytes = call.block(index);
    if (!bytes) return std::nullopt;
    return std::string(*bytes);
}

std::optional<int> KqCommandSet::segmentArgument(Call& call, std::size_t index) {
    return call.integer(index, kLimits.segment);
}

std::optional<double> KqCommandSet::voltsArgument(Call& call, std::size_t index,
                                                  const scpi::NumericRange& limits) {
    const auto value = call.numeric(index, "V");
    if (!value) return std::nullopt;
    if (value->keyword == scpi::NumericKeyword::none) return value->number;
    return call.resolve(*value, limits);
}

bool KqCommandSet::answeredLimit(Call& call, const scpi::NumericRange& limits,
                                 std::string (*format)(double)) {
    if (!call.namesLimit(0)) return false;
    const auto value = call.real(0, limits);
    if (call.expectCount(1, 1) && value) call.reply(format(*value));
    return true;
}

// --- common commands ---

void KqCommandSet::identify(Call& call) {
    if (call.expectCount(0, 0)) call.reply(identity_);
}

void KqCommandSet::reset(Call& call) {
    if (call.expectCount(0, 0)) core_.reset();
}

void KqCommandSet::selfTest(Call& call) {
    if (call.expectCount(0, 0)) call.reply(formatInteger(core_.selfTestResult()));
}

void KqCommandSet::trigger(Call& call) {
    if (call.expectCount(0, 0)) core_.trigger();
}

// --- DC output ---

// VOLT <volts>[,<channels>]: MIN, MAX and DEF stand for each channel's own limit in its range.
void KqCommandSet::setVoltage(Call& call) {
    const auto volts = call.numeric(0, "V");
    const auto channels = channelsArgument(call, 1);
    if (!call.expectCount(1, 2) || !volts || !channels) return;
    if (volts->keyword == scpi::NumericKeyword::none) {
        succeeded(call, core_.setVoltage(*channels, volts->number));
        return;
    }
    for (int channel : *channels) {
        const auto limit = call.resolve(*volts, dcVoltageLimits(core_.channel(channel).range));
        if (!limit) return;
        const int one[] = {channel};
        core_.setVoltage(one, *limit);
    }
}

// VOLT? <channel>, or VOLT? MIN|MAX|DEF,<channel> for that channel's limit in its range.
void KqCommandSet::queryVoltage(Call& call) {
    if (call.namesLimit(0)) {
        const auto keyword = call.numeric(0);
        const auto channel = channelArgument(call, 1);
        if (!call.expectCount(2, 2) || !keyword || !channel) return;
        const auto limit = call.resolve(*keyword, dcVoltageLimits(core_.channel(*channel).range));
        if (limit) call.reply(scpi::formatReal(*limit));
        return;
    }
    const auto channel = channelArgument(call, 0);
    if (!call.expectCount(1, 1) || !channel) return;
    call.reply(scpi::formatReal(core_.programmedVoltage(*channel)));
}

// VOLT:RANG 20V|10V|MIN|MAX|DEF[,<channels>]; another voltage is no range (-224).
void KqCommandSet::setRange(Call& call) {
    const auto value = call.numeric(0, "V");
    const auto channels = channelsArgument(call, 1);
    if (!call.expectCount(1, 2) || !value || !channels) return;
    const auto volts = value->keyword == scpi::NumericKeyword::none
                           ? std::optional<double>(value->number)
                           : call.resolve(*value, kLimits.outputRange);
    if (!volts) return;
    for (const RangeWord& word : kRangeWords) {
        if (*volts == word.volts) {
            succeeded(call, core_.setRange(*channels, word.range));
            return;
        }
    }
    call.fail(err::illegalParameterValue);
}

void KqCommandSet::queryRange(Call& call) {
    if (answeredLimit(call, kLimits.outputRange, formatRangeWord)) return;
    const auto channel = channelArgument(call, 0);
    if (!call.expectCount(1, 1) || !channel) return;
    call.reply(rangeScale(core_.channel(*channel).range).word);
}

void KqCommandSet::applyMemoryArray(Call& call) {
    const auto index = call.integer(0, kLimits.memoryArray);
    if (!call.expectCount(1, 1) || !index) return;
    succeeded(call, core_.applyMemoryArray(*index));
}

void KqCommandSet::setDataFormat(Call& call) {
    const auto format = call.integer(0, kLimits.dataFormat);
    if (!call.expectCount(1, 1) || !format) return;
    core_.setDataFormat(*format == 0 ? DataFormat::Signed : DataFormat::Unsigned);
}

void KqCommandSet::queryDataFormat(Call& call) {
    if (answeredLimit(call, kLimits.dataFormat, formatWhole)) return;
    if (call.expectCount(0, 0)) call.reply(core_.settings().dataFormat == DataFormat::Signed ? "0" : "1");
}

void KqCommandSet::storeMemoryArray(Call& call) {
    const auto index = call.integer(0, kLimits.memoryArray);
    if (!call.expectCount(2, 1 + static_cast<std::size_t>(core_.channelCount())) || !index) return;
    std::vector<double> volts;
    for (std::size_t i = 1; i < call.parameterCount(); ++i) {
        const auto value = voltsArgument(call, i, storedVoltageLimits());
        if (!value) return;
        volts.push_back(*value);
    }
    succeeded(call, core_.storeMemoryArray(*index, volts));
}

void KqCommandSet::queryMemoryArray(Call& call) {
    const auto index = call.integer(0, kLimits.memoryArray);
    if (!call.expectCount(1, 1) || !index) return;
    const ChannelVoltages& volts = core_.settings().memoryArrays[static_cast<std::size_t>(*index - 1)];
    call.reply(joinFixed(std::span(volts).first(static_cast<std::size_t>(core_.channelCount()))));
}

// --- scanning ---

void KqCommandSet::setScanMode(Call& call) {
    std::optional<ScanMode> mode;
    if (call.has(0) && call.parameter(0).type == ParameterType::number) {
        if (const auto on = call.boolean(0)) mode = *on ? ScanMode::On : ScanMode::Off;
    } else {
        mode = chooseWord(call, 0, kScanModeWords);
    }
    const auto channels = channelsArgument(call, 1);
    if (!call.expectCount(1, 2) || !mode || !channels) return;
    succeeded(call, core_.setScanMode(*channels, *mode));
}

void KqCommandSet::queryScanMode(Call& call) {
    const auto channel = channelArgument(call, 0);
    if (!call.expectCount(1, 1) || !channel) return;
    call.reply(replyWord(kScanModeWords, core_.channel(*channel).scanMode));
}

void KqCommandSet::setScanLimit(Call& call) {
    const auto channel = channelArgument(call, 0);
    const auto limit = call.integer(1, kLimits.scanLimit);
    if (!call.expectCount(2, 2) || !channel || !limit) return;
    succeeded(call, core_.setScanLimit(*channel, *limit));
}

void KqCommandSet::queryScanLimit(Call& call) {
    if (answeredLimit(call, kLimits.scanLimit, formatWhole)) return;
    const auto channel = channelArgument(call, 0);
    if (!call.expectCount(1, 1) || !channel) return;
    call.reply(formatInteger(core_.channel(*channel).scanLimit));
}

void KqCommandSet::setScanTable(Call& call) {
    const auto channel = channelArgument(call, 0);
    if (!call.expectCount(2, 1 + static_cast<std::size_t>(kLimits.scanEntry.max)) || !channel) return;
    std::vector<double> volts;
    for (std::size_t i = 1; i < call.parameterCount(); ++i) {
        const auto value = voltsArgument(call, i, storedVoltageLimits());
        if (!value) return;
        volts.push_back(*value);
    }
    succeeded(call, core_.setScanTable(*channel, 1, volts));
}

// SCAN:TABL? <channel> [<count>[,<start>]]: `count` entries from entry `start` (whole table from 1).
void KqCommandSet::queryScanTable(Call& call) {
    const auto channel = channelArgument(call, 0);
    const auto count =
        call.has(1) ? call.integer(1, kLimits.scanEntry) : std::optional<int>(kScanTableEntries);
    const auto start = call.has(2) ? call.integer(2, kLimits.scanEntry) : std::optional<int>(1);
    if (!call.expectCount(1, 3) || !channel || !count || !start) return;
    if (*start + *count - 1 > kScanTableEntries) {
        call.fail(err::dataOutOfRange);
        return;
    }
    const auto& table = core_.channel(*channel).scanTable;
    call.reply(joinFixed(
        std::span(table).subspan(static_cast<std::size_t>(*start - 1), static_cast<std::size_t>(*count))));
}

void KqCommandSet::setScanEntry(Call& call) {
    const auto channel = call.suffixInRange(1, core_.channelCount());
    const auto entry = call.integer(0, kLimits.scanEntry);
    const auto volts = voltsArgument(call, 1, storedVoltageLimits());
    if (!call.expectCount(2, 2) || !channel || !entry || !volts) return;
    const double one[] = {*volts};
    succeeded(call, core_.setScanTable(*channel, *entry, one));
}

void KqCommandSet::queryScanEntry(Call& call) {
    const auto channel = call.suffixInRange(1, core_.channelCount());
    const auto entry = call.integer(0, kLimits.scanEntry);
    if (!call.expectCount(1, 1) || !channel || !entry) return;
    call.reply(scpi::formatFixed(core_.channel(*channel).scanTable[static_cast<std::size_t>(*entry - 1)], 6));
}

// --- trigger, clock, timer, marker, output trigger ---

void KqCommandSet::setTriggerSource(Call& call) {
    int suffix = 1;
    const auto entry = chooseWord(call, 0, kTriggerSourceWords, suffix);
    if (!call.expectCount(1, 1) || !entry) return;
    TriggerSource source{entry->value, 0};
    if (entry->value == TriggerSourceKind::TtlLine) {
        if (suffix < 0 || suffix >= kTtlLines) return call.fail(err::illegalParameterValue);
        source.number = suffix;
    } else if (entry->value == TriggerSourceKind::Internal) {
        if (!core_.validChannel(suffix)) return call.fail(err::illegalParameterValue);
        source.number = suffix;
    }
    core_.setTriggerSource(source);
}

void KqCommandSet::queryTriggerSource(Call& call) {
    if (!call.expectCount(0, 0)) return;
    const TriggerSource& source = core_.settings().triggerSource;
    std::string word(replyWord(kTriggerSourceWords, source.kind));
    if (source.kind == TriggerSourceKind::TtlLine || source.kind == TriggerSourceKind::Internal) {
        word += formatInteger(source.number);
    }
    call.reply(word);
}

void KqCommandSet::setTriggerSlope(Call& call) {
    const auto slope = chooseWord(call, 0, kSlopeWords);
    if (call.expectCount(1, 1) && slope) core_.setTriggerSlope(*slope);
}

void KqCommandSet::queryTriggerSlope(Call& call) {
    if (call.expectCount(0, 0)) call.reply(replyWord(kSlopeWords, core_.settings().triggerSlope));
}

void KqCommandSet::setClockSource(Call& call) {
    int suffix = 1;
    const auto entry = chooseWord(call, 0, kClockSourceWords, suffix);
    if (!call.expectCount(1, 1) || !entry) return;
    ClockSource source{entry->value, 0};
    if (entry->value == ClockSourceKind::TtlLine) {
        if (suffix < 0 || suffix >= kTtlLines) return call.fail(err::illegalParameterValue);
        source.line = suffix;
    }
    core_.setClockSource(source);
}

void KqCommandSet::queryClockSource(Call& call) {
    if (!call.expectCount(0, 0)) return;
    const ClockSource& source = core_.settings().clockSource;
    std::string word(replyWord(kClockSourceWords, source.kind));
    if (source.kind == ClockSourceKind::TtlLine) word += formatInteger(source.line);
    call.reply(word);
}

void KqCommandSet::setClockSlope(Call& call) {
    const auto slope = chooseWord(call, 0, kSlopeWords);
    if (call.expectCount(1, 1) && slope) core_.setClockSlope(*slope);
}

void KqCommandSet::queryClockSlope(Call& call) {
    if (call.expectCount(0, 0)) call.reply(replyWord(kSlopeWords, core_.settings().clockSlope));
}

void KqCommandSet::setTimer(Call& call) {
    const auto period = call.real(0, kLimits.timerPeriod, "S");
    if (call.expectCount(1, 1) && period) core_.setTimerPeriod(*period);
}

void KqCommandSet::queryTimer(Call& call) {
    if (answeredLimit(call, kLimits.timerPeriod, scpi::formatReal)) return;
    if (call.expectCount(0, 0)) call.reply(scpi::formatReal(core_.settings().timerPeriod));
}

void KqCommandSet::setMarkerState(Call& call) {
    const auto state = call.boolean(0);
    if (call.expectCount(1, 1) && state) core_.setMarker(*state);
}

void KqCommandSet::queryMarkerState(Call& call) {
    if (call.expectCount(0, 0)) call.reply(core_.settings().markerOn ? "1" : "0");
}

void KqCommandSet::setMarkerSlope(Call& call) {
    const auto slope = chooseWord(call, 0, kSlopeWords);
    if (call.expectCount(1, 1) && slope) core_.setMarkerSlope(*slope);
}

void KqCommandSet::queryMarkerSlope(Call& call) {
    if (call.expectCount(0, 0)) call.reply(replyWord(kSlopeWords, core_.settings().markerSlope));
}

// OUTP:TTLT<n> [ON]: the output trigger drives line n. OFF on the line in use stops driving it.
void KqCommandSet::setOutputTriggerLine(Call& call) {
    const auto line = call.suffixInRange(0, kTtlLines - 1);
    const auto state = call.has(0) ? call.boolean(0) : std::optional<bool>(true);
    if (!call.expectCount(0, 1) || !line || !state) return;
    core_.setOutputTriggerLine(*line, *state);
}

void KqCommandSet::queryOutputTriggerLine(Call& call) {
    if (call.expectCount(0, 0)) call.reply("TTLT" + formatInteger(core_.settings().outputTriggerLine));
}

void KqCommandSet::setOutputTriggerSource(Call& call) {
    const auto source = chooseWord(call, 0, kOutputTriggerWords);
    if (call.expectCount(1, 1) && source) core_.setOutputTriggerSource(*source);
}

void KqCommandSet::queryOutputTriggerSource(Call& call) {
    if (call.expectCount(0, 0))
        call.reply(replyWord(kOutputTriggerWords, core_.settings().outputTriggerSource));
}

void KqCommandSet::initiate(Call& call) {
    if (call.expectCount(0, 0)) succeeded(call, core_.initiate());
}

void KqCommandSet::abort(Call& call) {
    if (call.expectCount(0, 0)) core_.abort();
}

// --- ARB segments ---

void KqCommandSet::defineSegment(Call& call) {
    const auto segment = segmentArgument(call, 0);
    const auto points = call.integer(1, kLimits.segmentPoints);
    if (!call.expectCount(2, 2) || !segment || !points) return;
    if (!succeeded(call, core_.arbChangeAllowed())) return;
    succeeded(call, core_.arb().define(*segment, static_cast<std::size_t>(*points)));
}

void KqCommandSet::resizeSegment(Call& call) {
    const auto segment = segmentArgument(call, 0);
    const auto points = call.integer(1, kLimits.segmentPoints);
    if (!call.expectCount(2, 2) || !segment || !points) return;
    if (!succeeded(call, core_.arbChangeAllowed())) return;
    succeeded(call, core_.arb().resize(*segment, static_cast<std::size_t>(*points)));
}

void KqCommandSet::querySegmentSize(Call& call) {
    if (answeredLimit(call, kLimits.segmentPoints, formatWhole)) return;
    const auto segment = segmentArgument(call, 0);
    if (call.expectCount(1, 1) && segment) {
        call.reply(formatInteger(static_cast<long long>(core_.arb().size(*segment))));
    }
}

void KqCommandSet::deleteAllSegments(Call& call) {
    if (!call.expectCount(0, 0) || !succeeded(call, core_.arbChangeAllowed())) return;
    core_.arb().removeAll();
}

// TRAC:DATA <segment>,<channel>,<block>: big-endian words in the data format, from point 0 on.
// TRAC:DATA <segment>,<channel>,<source segment>,<source channel>: a copy.
void KqCommandSet::writeSegmentData(Call& call) {
    const auto segment = segmentArgument(call, 0);
    const auto channel = call.integer(1, 1, core_.channelCount());
    if (call.has(2) && call.parameter(2).type == ParameterType::block) {
        const auto bytes = call.block(2);
        if (!call.expectCount(3, 3) || !segment || !channel || !bytes) return;
        std::string data(*bytes);
        // The driver ends an indefinite block with its last data byte and END, no NL: words come in
        // pairs of bytes, so an odd count left by a final NL means that NL was data.
        if (data.size() % 2 != 0 && call.parameter(2).newlineEnded) data.push_back('\n');
        if (data.size() % 2 != 0) return call.fail(err::invalidBlockData);
        if (!succeeded(call, core_.arbChangeAllowed())) return;
        std::vector<std::uint16_t> codes(data.size() / 2);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            const auto high = static_cast<unsigned char>(data[2 * i]);
            const auto low = static_cast<unsigned char>(data[2 * i + 1]);
            codes[i] = codeFromWord(static_cast<std::uint16_t>(high << 8 | low), core_.settings().dataFormat);
        }
        succeeded(call, core_.arb().write(*segment, *channel, 0, codes));
        return;
    }
    const auto sourceSegment = segmentArgument(call, 2);
    const auto sourceChannel = call.integer(3, 1, core_.channelCount());
    if (!call.expectCount(4, 4) || !segment || !channel || !sourceSegment || !sourceChannel) return;
    if (!succeeded(call, core_.arbChangeAllowed())) return;
    succeeded(call, core_.arb().copy(*segment, *channel, *sourceSegment, *sourceChannel));
}

void KqCommandSet::querySegmentData(Call& call) {
    const auto segment = segmentArgument(call, 0);
    const auto channel = call.integer(1, 1, core_.channelCount());
    if (!call.expectCount(2, 2) || !segment || !channel) return;
    if (!core_.arb().defined(*segment)) return call.fail(err::illegalParameterValue);
    std::vector<std::uint16_t> words = core_.arb().channelData(*segment, *channel);
    for (std::uint16_t& word : words) word = wordFromCode(word, core_.settings().dataFormat);
    call.reply(waveformBlock(words));
}

// TRAC:DATA:POIN <segment>,<channel>,<offset>,<sample>: the sample as a 16-bit word in the data
// format, written signed (-32768..32767) or as the word itself (up to 65535).
void KqCommandSet::setDataPoint(Call& call) {
    const auto segment = segmentArgument(call, 0);
    const auto channel = call.integer(1, 1, core_.channelCount());
    const auto offset = call.integer(2, kLimits.pointOffset);
    const auto sample = call.integer(3, kLimits.sampleWord);
    if (!call.expectCount(4, 4) || !segment || !channel || !offset || !sample) return;
    if (!succeeded(call, core_.arbChangeAllowed())) return;
    const auto word = static_cast<std::uint16_t>(*sample & 0xFFFF);
    succeeded(call, core_.arb().setPoint(*segment, *channel, static_cast<std::size_t>(*offset),
                                         codeFromWord(word, core_.settings().dataFormat)));
}

// Answered as a signed 16-bit number, the form a controller reads a short in.
void KqCommandSet::queryDataPoint(Call& call) {
    const auto segment = segmentArgument(call, 0);
    const auto channel = call.integer(1, 1, core_.channelCount());
    const auto offset = call.integer(2, kLimits.pointOffset);
    if (!call.expectCount(3, 3) || !segment || !channel || !offset) return;
    if (!core_.arb().defined(*segment)) return call.fail(err::illegalParameterValue);
    if (static_cast<std::size_t>(*offset) >= core_.arb().size(*segment))
        return call.fail(err::dataOutOfRange);
    const std::uint16_t word =
        wordFromCode(core_.arb().point(*segment, *channel, static_cast<std::size_t>(*offset)),
                     core_.settings().dataFormat);
    call.reply(formatInteger(static_cast<std::int16_t>(word)));
}

void KqCommandSet::queryFreeMemory(Call& call) {
    if (!call.expectCount(0, 0)) return;
    call.reply(formatInteger(static_cast<long long>(core_.arb().available())) + "," +
               formatInteger(static_cast<long long>(core_.arb().used())));
}

void KqCommandSet::queryMemorySize(Call& call) {
    if (call.expectCount(0, 0)) call.reply(formatInteger(static_cast<long long>(core_.arb().capacity())));
}

// --- ARB sequence ---

void KqCommandSet::setSequenceLength(Call& call) {
    const auto length = call.integer(0, kLimits.sequenceLength);
    if (!call.expectCount(1, 1) || !length || !succeeded(call, core_.arbChangeAllowed())) return;
    core_.arb().setSequenceLength(static_cast<std::size_t>(*length));
}

void KqCommandSet::querySequenceLength(Call& call) {
    if (answeredLimit(call, kLimits.sequenceLength, formatWhole)) return;
    if (call.expectCount(0, 0))
        call.reply(formatInteger(static_cast<long long>(core_.arb().sequence().size())));
}

// SEQ:LIST (@3,0,7): step i plays the i-th segment of the list.
void KqCommandSet::setSequenceList(Call& call) {
    const auto segments = call.channelList(0, kLimits.segment);
    if (!call.expectCount(1, 1) || !segments || !succeeded(call, core_.arbChangeAllowed())) return;
    if (segments->size() > static_cast<std::size_t>(kSequenceSteps)) return call.fail(err::tooMuchData);
    core_.arb().setSequence(*segments);
}

void KqCommandSet::querySequenceList(Call& call) {
    const auto step = stepArgument(call, 0);
    if (!call.expectCount(1, 1) || !step) return;
    const auto& sequence = core_.arb().sequence();
    if (static_cast<std::size_t>(*step) >= sequence.size()) return call.fail(err::dataOutOfRange);
    call.reply(formatInteger(sequence[static_cast<std::size_t>(*step)]));
}

void KqCommandSet::setSequenceStart(Call& call) {
    const auto start = chooseWord(call, 0, kSequenceStartWords);
    const auto steps = stepsArgument(call, 1);
    if (!call.expectCount(2, 2) || !start || !steps) return;
    for (int step : *steps) core_.arb().step(step).start = *start;
}

void KqCommandSet::querySequenceStart(Call& call) {
    const auto step = stepArgument(call, 0);
    if (call.expectCount(1, 1) && step)
        call.reply(replyWord(kSequenceStartWords, core_.arb().step(*step).start));
}

void KqCommandSet::setSequenceAdvance(Call& call) {
    const auto advance = chooseWord(call, 0, kSequenceAdvanceWords);
    const auto steps = stepsArgument(call, 1);
    if (!call.expectCount(2, 2) || !advance || !steps) return;
    for (int step : *steps) core_.arb().step(step).advance = *advance;
}

void KqCommandSet::querySequenceAdvance(Call& call) {
    const auto step = stepArgument(call, 0);
    if (call.expectCount(1, 1) && step) {
        call.reply(replyWord(kSequenceAdvanceWords, core_.arb().step(*step).advance));
    }
}

void KqCommandSet::setSequenceDwell(Call& call) {
    const auto dwell = call.integer(0, kLimits.dwell);
    const auto steps = stepsArgument(call, 1);
    if (!call.expectCount(2, 2) || !dwell || !steps) return;
    for (int step : *steps) core_.arb().step(step).dwell = *dwell;
}

void KqCommandSet::querySequenceDwell(Call& call) {
    if (answeredLimit(call, kLimits.dwell, formatWhole)) return;
    const auto step = stepArgument(call, 0);
    if (call.expectCount(1, 1) && step) call.reply(formatInteger(core_.arb().step(*step).dwell));
}

void KqCommandSet::setSequenceMarker(Call& call) {
    const auto marker = call.boolean(0);
    const auto steps = stepsArgument(call, 1);
    if (!call.expectCount(2, 2) || !marker || !steps) return;
    for (int step : *steps) core_.arb().step(step).marker = *marker;
}

void KqCommandSet::querySequenceMarker(Call& call) {
    const auto step = stepArgument(call, 0);
    if (call.expectCount(1, 1) && step) call.reply(core_.arb().step(*step).marker ? "1" : "0");
}

// --- calibration ---

// CAL<n>:GAIN and CAL<n>:ZERO act on channel n in the range it is set to.
void KqCommandSet::setConstant(Call& call, bool gain) {
    const auto channel = call.suffixInRange(1, core_.channelCount());
    const auto value = call.integer(0, kLimits.calibrationConstant);
    if (!call.expectCount(1, 1) || !channel || !value) return;
    const OutputRange range = core_.channel(*channel).range;
    succeeded(call, core_.calibration().setConstant(
                        gain ? gainIndex(*channel, range) : zeroIndex(*channel, range), *value));
}

void KqCommandSet::queryConstant(Call& call, bool gain) {
    if (answeredLimit(call, kLimits.calibrationConstant, formatWhole)) return;
    const auto channel = call.suffixInRange(1, core_.channelCount());
    if (!call.expectCount(0, 0) || !channel) return;
    const OutputRange range = core_.channel(*channel).range;
    const int index = gain ? gainIndex(*channel, range) : zeroIndex(*channel, range);
    call.reply(formatInteger(core_.calibration().constants()[static_cast<std::size_t>(index)]));
}

void KqCommandSet::setCalibrationGain(Call& call) { setConstant(call, true); }
void KqCommandSet::queryCalibrationGain(Call& call) { queryConstant(call, true); }
void KqCommandSet::setCalibrationZero(Call& call) { setConstant(call, false); }
void KqCommandSet::queryCalibrationZero(Call& call) { queryConstant(call, false); }

void KqCommandSet::setCalibrationData(Call& call) {
    const auto bytes = call.block(0);
    if (call.expectCount(1, 1) && bytes) succeeded(call, core_.calibration().setBlock(*bytes));
}

void KqCommandSet::queryCalibrationData(Call& call) {
    if (!call.expectCount(0, 0)) return;
    const CalibrationConstants& constants = core_.calibration().constants();
    std::string bytes;
    for (std::int8_t value : constants) bytes.push_back(static_cast<char>(value));
    call.reply(scpi::formatBlock(bytes));
}

void KqCommandSet::queryCalibrationCount(Call& call) {
    if (call.expectCount(0, 0)) call.reply(formatInteger(core_.calibration().storeCount()));
}

void KqCommandSet::storeCalibration(Call& call) {
    if (call.expectCount(0, 0)) succeeded(call, core_.calibration().storeConstants());
}

void KqCommandSet::setAutoStore(Call& call) {
    const auto on = call.boolean(0);
    if (call.expectCount(1, 1) && on) succeeded(call, core_.calibration().setAutoStore(*on));
}

void KqCommandSet::queryAutoStore(Call& call) {
    if (call.expectCount(0, 0)) call.reply(core_.calibration().autoStore() ? "1" : "0");
}

// CAL:SEC:STAT ON, or CAL:SEC:STAT OFF,<code> with the code as a block or a string.
void KqCommandSet::setSecurityState(Call& call) {
    const auto on = call.boolean(0);
    if (!call.expectCount(1, 2) || !on) return;
    if (*on) {
        if (call.has(1)) return call.fail(err::parameterNotAllowed);
        succeeded(call, core_.calibration().switchSecurityOn());
        return;
    }
    std::optional<std::string> code;
    if (call.has(1)) {
        code = codeArgument(call, 1);
        if (!code) return;
    }
    succeeded(call, core_.calibration().switchSecurityOff(code));
}

void KqCommandSet::querySecurityState(Call& call) {
    if (call.expectCount(0, 0)) call.reply(core_.calibration().secure() ? "1" : "0");
}

void KqCommandSet::setSecurityCode(Call& call) {
    const auto code = codeArgument(call, 0);
    if (call.expectCount(1, 1) && code) succeeded(call, core_.calibration().setSecurityCode(*code));
}

}  // namespace kqsim
