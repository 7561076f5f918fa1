// IEEE 488.2 common commands the module answers itself (the engine answers the status ones).
#include "commands/subsystems.h"
#include "scpi/number_text.h"

namespace kqsim::commands {
namespace {

using scpi::Call;

void identify(ModuleCore& core, Call& call) { call.reply(core.idnReply()); }

void reset(ModuleCore& core, Call&) { core.reset(); }

void selfTest(ModuleCore& core, Call& call) { call.reply(scpi::formatInteger(core.selfTestResult())); }

void trigger(ModuleCore& core, Call&) { core.trigger(); }

}  // namespace

std::vector<scpi::Command> commonCommands(ModuleCore& core) {
    const RowMaker row(core);
    return {
        row("*IDN?", takes(0), identify),
        row("*RST", takes(0), reset),
        row("*TST?", takes(0), selfTest),
        row("*TRG", takes(0), trigger),
    };
}

}  // namespace kqsim::commands
