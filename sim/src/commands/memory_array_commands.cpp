// Memory arrays: one stored voltage per channel, applied to every channel at once (MEMory:SET,
// [SOURce]:VOLTage:SET).
#include <span>

#include "commands/arguments.h"
#include "commands/subsystems.h"

namespace kqsim::commands {
namespace {

void applyMemoryArray(ModuleCore& core, Call& call) {
    const auto index = call.integer(0, kLimits.memoryArray);
    if (!index) return;
    succeeded(call, core.applyMemoryArray(*index));
}

void storeMemoryArray(ModuleCore& core, Call& call) {
    const auto index = call.integer(0, kLimits.memoryArray);
    const auto volts = voltsArguments(call, 1, storedVoltageLimits());
    if (!index || !volts) return;
    succeeded(call, core.storeMemoryArray(*index, *volts));
}

void queryMemoryArray(ModuleCore& core, Call& call) {
    const auto index = call.integer(0, kLimits.memoryArray);
    if (!index) return;
    const ChannelVoltages& volts = core.settings().memoryArrays[static_cast<std::size_t>(*index - 1)];
    call.reply(joinFixed(std::span(volts).first(static_cast<std::size_t>(core.channelCount()))));
}

}  // namespace

std::vector<scpi::Command> memoryArrayCommands(ModuleCore& core) {
    const RowMaker row(core);
    const auto channels = static_cast<std::size_t>(core.channelCount());
    return {
        row("[SOURce]:VOLTage:SET", takes(1), applyMemoryArray),
        // The index, then one value for each of the first channels up to every channel.
        row("MEMory:SET", takes(2, 1 + channels), storeMemoryArray),
        row("MEMory:SET?", takes(1), queryMemoryArray),
    };
}

}  // namespace kqsim::commands
