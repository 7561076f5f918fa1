// The rows of each subsystem of the module's command set, one source file each (named after the
// function); command_set.cpp joins them into the module's table.
#pragma once

#include <string_view>
#include <vector>

#include "module_core.h"
#include "scpi/call.h"
#include "scpi/command_tree.h"

namespace kqsim::commands {

using scpi::takes;

// Every handler reads its parameters from the call and acts on the module.
using ModuleHandler = void (*)(ModuleCore& core, scpi::Call& call);

// Makes table rows whose handlers act on one module: row("[SOURce]:TIMer", takes(1), setTimer).
class RowMaker {
public:
    explicit RowMaker(ModuleCore& core) : core_(core) {}

    scpi::Command operator()(std::string_view header, scpi::ParameterCount parameterCount,
                             ModuleHandler handler,
                             scpi::Separators separators = scpi::Separators::comma) const {
        ModuleCore& core = core_;
        return {header, parameterCount, [&core, handler](scpi::Call& call) { handler(core, call); },
                separators};
    }

private:
    ModuleCore& core_;
};

std::vector<scpi::Command> commonCommands(ModuleCore& core);
std::vector<scpi::Command> dcOutputCommands(ModuleCore& core);
std::vector<scpi::Command> memoryArrayCommands(ModuleCore& core);
std::vector<scpi::Command> scanCommands(ModuleCore& core);
std::vector<scpi::Command> triggerClockCommands(ModuleCore& core);
std::vector<scpi::Command> arbSegmentCommands(ModuleCore& core);
std::vector<scpi::Command> arbSequenceCommands(ModuleCore& core);
std::vector<scpi::Command> calibrationCommands(ModuleCore& core);

}  // namespace kqsim::commands
