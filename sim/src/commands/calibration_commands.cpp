// Calibration: the gain and zero constants, their store in non-volatile memory and the security
// that guards them (CALibration).
#include <cstdint>

#include "commands/arguments.h"
#include "commands/subsystems.h"
#include "scpi/number_text.h"
#include "scpi/response_text.h"

namespace kqsim::commands {
namespace {

using scpi::formatInteger;

// CAL<n>:GAIN and CAL<n>:ZERO act on channel n in the range it is set to.
void setConstant(ModuleCore& core, Call& call, bool gain) {
    const auto channel = call.suffixInRange(1, core.channelCount());
    const auto value = call.integer(0, kLimits.calibrationConstant);
    if (!channel || !value) return;
    const OutputRange range = core.channel(*channel).range;
    succeeded(call, core.calibration().setConstant(
                        gain ? gainIndex(*channel, range) : zeroIndex(*channel, range), *value));
}

void queryConstant(ModuleCore& core, Call& call, bool gain) {
    if (answeredLimit(call, kLimits.calibrationConstant, formatWhole)) return;
    if (!formTakes(call, 0)) return;
    const auto channel = call.suffixInRange(1, core.channelCount());
    if (!channel) return;
    const OutputRange range = core.channel(*channel).range;
    const int index = gain ? gainIndex(*channel, range) : zeroIndex(*channel, range);
    call.reply(formatInteger(core.calibration().constants()[static_cast<std::size_t>(index)]));
}

void setCalibrationGain(ModuleCore& core, Call& call) { setConstant(core, call, true); }
void queryCalibrationGain(ModuleCore& core, Call& call) { queryConstant(core, call, true); }
void setCalibrationZero(ModuleCore& core, Call& call) { setConstant(core, call, false); }
void queryCalibrationZero(ModuleCore& core, Call& call) { queryConstant(core, call, false); }

void setCalibrationData(ModuleCore& core, Call& call) {
    if (const auto bytes = call.block(0)) succeeded(call, core.calibration().setBlock(*bytes));
}

void queryCalibrationData(ModuleCore& core, Call& call) {
    const CalibrationConstants& constants = core.calibration().constants();
    std::string bytes;
    for (std::int8_t value : constants) bytes.push_back(static_cast<char>(value));
    call.reply(scpi::formatBlock(bytes));
}

void queryCalibrationCount(ModuleCore& core, Call& call) {
    call.reply(formatInteger(core.calibration().storeCount()));
}

void storeCalibration(ModuleCore& core, Call& call) { succeeded(call, core.calibration().storeConstants()); }

void setAutoStore(ModuleCore& core, Call& call) {
    if (const auto on = call.boolean(0)) succeeded(call, core.calibration().setAutoStore(*on));
}

void queryAutoStore(ModuleCore& core, Call& call) { call.reply(core.calibration().autoStore() ? "1" : "0"); }

// CAL:SEC:STAT ON, or CAL:SEC:STAT OFF,<code> with the code as a block or a string.
void setSecurityState(ModuleCore& core, Call& call) {
    const auto on = call.boolean(0);
    if (!on) return;
    if (*on) {
        if (formTakes(call, 1)) succeeded(call, core.calibration().switchSecurityOn());
        return;
    }
    std::optional<std::string> code;
    if (call.has(1)) {
        code = codeArgument(call, 1);
        if (!code) return;
    }
    succeeded(call, core.calibration().switchSecurityOff(code));
}

void querySecurityState(ModuleCore& core, Call& call) { call.reply(core.calibration().secure() ? "1" : "0"); }

void setSecurityCode(ModuleCore& core, Call& call) {
    if (const auto code = codeArgument(call, 0)) succeeded(call, core.calibration().setSecurityCode(*code));
}

}  // namespace

std::vector<scpi::Command> calibrationCommands(ModuleCore& core) {
    const RowMaker row(core);
    return {
        row("CALibration#:GAIN", takes(1), setCalibrationGain),
        row("CALibration#:GAIN?", takes(0, 1), queryCalibrationGain),
        row("CALibration#:ZERO", takes(1), setCalibrationZero),
        row("CALibration#:ZERO?", takes(0, 1), queryCalibrationZero),
        row("CALibration:DATA", takes(1), setCalibrationData),
        row("CALibration:DATA?", takes(0), queryCalibrationData),
        row("CALibration:COUNt?", takes(0), queryCalibrationCount),
        row("CALibration:STORe", takes(0), storeCalibration),
        row("CALibration:STORe:AUTO", takes(1), setAutoStore),
        row("CALibration:STORe:AUTO?", takes(0), queryAutoStore),
        row("CALibration:SECurity:STATe", takes(1, 2), setSecurityState),
        row("CALibration:SECurity:STATe?", takes(0), querySecurityState),
        row("CALibration:SECurity:CODE", takes(1), setSecurityCode),
    };
}

}  // namespace kqsim::commands
