// Scanning: each channel's scan mode, limit and table of voltages ([SOURce]:SCAN).
#include <optional>
#include <span>

#include "commands/arguments.h"
#include "commands/subsystems.h"
#include "scpi/error_queue.h"
#include "scpi/number_text.h"

namespace kqsim::commands {
namespace {

namespace err = scpi::err;
using scpi::ParameterType;

constexpr WordEntry<ScanMode> kScanModeWords[] = {
    {"OFF", ScanMode::Off, "0"},   {"ON", ScanMode::On, "1"},        {"LOOP", ScanMode::Loop, "LOOP"},
    {"ARB", ScanMode::Arb, "ARB"}, {"FIFO", ScanMode::Fifo, "FIFO"},
};

void setScanMode(ModuleCore& core, Call& call) {
    std::optional<ScanMode> mode;
    if (call.has(0) && call.parameter(0).type == ParameterType::number) {
        if (const auto on = call.boolean(0)) mode = *on ? ScanMode::On : ScanMode::Off;
    } else {
        mode = chooseWord(call, 0, kScanModeWords);
    }
    const auto channels = channelsArgument(core, call, 1);
    if (!mode || !channels) return;
    succeeded(call, core.setScanMode(*channels, *mode));
}

void queryScanMode(ModuleCore& core, Call& call) {
    const auto channel = channelArgument(core, call, 0);
    if (!channel) return;
    call.reply(replyWord(kScanModeWords, core.channel(*channel).scanMode));
}

void setScanLimit(ModuleCore& core, Call& call) {
    const auto channel = channelArgument(core, call, 0);
    const auto limit = call.integer(1, kLimits.scanLimit);
    if (!channel || !limit) return;
    succeeded(call, core.setScanLimit(*channel, *limit));
}

void queryScanLimit(ModuleCore& core, Call& call) {
    if (answeredLimit(call, kLimits.scanLimit, formatWhole)) return;
    const auto channel = channelArgument(core, call, 0);
    if (!channel) return;
    call.reply(scpi::formatInteger(core.channel(*channel).scanLimit));
}

void setScanTable(ModuleCore& core, Call& call) {
    const auto channel = channelArgument(core, call, 0);
    const auto volts = voltsArguments(call, 1, storedVoltageLimits());
    if (!channel || !volts) return;
    succeeded(call, core.setScanTable(*channel, 1, *volts));
}

// SCAN:TABL? <channel> [<count>[,<start>]]: `count` entries from entry `start` (whole table from 1).
void queryScanTable(ModuleCore& core, Call& call) {
    const auto channel = channelArgument(core, call, 0);
    const auto count =
        call.has(1) ? call.integer(1, kLimits.scanEntry) : std::optional<int>(kScanTableEntries);
    const auto start = call.has(2) ? call.integer(2, kLimits.scanEntry) : std::optional<int>(1);
    if (!channel || !count || !start) return;
    if (*start + *count - 1 > kScanTableEntries) {
        call.fail(err::dataOutOfRange);
        return;
    }
    const auto& table = core.channel(*channel).scanTable;
    call.reply(joinFixed(
        std::span(table).subspan(static_cast<std::size_t>(*start - 1), static_cast<std::size_t>(*count))));
}

void setScanEntry(ModuleCore& core, Call& call) {
    const auto channel = call.suffixInRange(1, core.channelCount());
    const auto entry = call.integer(0, kLimits.scanEntry);
    const auto volts = voltsArgument(call, 1, storedVoltageLimits());
    if (!channel || !entry || !volts) return;
    const double one[] = {*volts};
    succeeded(call, core.setScanTable(*channel, *entry, one));
}

void queryScanEntry(ModuleCore& core, Call& call) {
    const auto channel = call.suffixInRange(1, core.channelCount());
    const auto entry = call.integer(0, kLimits.scanEntry);
    if (!channel || !entry) return;
    call.reply(scpi::formatFixed(core.channel(*channel).scanTable[static_cast<std::size_t>(*entry - 1)], 6));
}

}  // namespace

std::vector<scpi::Command> scanCommands(ModuleCore& core) {
    const RowMaker row(core);
    const auto entries = static_cast<std::size_t>(kLimits.scanEntry.max);
    return {
        row("[SOURce]:SCAN[:MODE]", takes(1, 2), setScanMode),
        row("[SOURce]:SCAN[:MODE]?", takes(1), queryScanMode),
        row("[SOURce]:SCAN:LIMit", takes(2), setScanLimit),
        row("[SOURce]:SCAN:LIMit?", takes(1), queryScanLimit),
        // The channel, then the table from its first entry on.
        row("[SOURce]:SCAN:TABLe", takes(2, 1 + entries), setScanTable),
        row("[SOURce]:SCAN:TABLe?", takes(1, 3), queryScanTable, scpi::Separators::commaOrSpace),
        row("[SOURce]:SCAN:TABLe#:LOCation", takes(2), setScanEntry),
        row("[SOURce]:SCAN:TABLe#:LOCation?", takes(1), queryScanEntry),
    };
}

}  // namespace kqsim::commands
