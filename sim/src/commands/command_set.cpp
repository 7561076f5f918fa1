#include "commands/command_set.h"

#include <utility>

#include "commands/subsystems.h"

namespace kqsim::commands {

std::vector<scpi::Command> moduleTable(ModuleCore& core) {
    std::vector<scpi::Command> table;
    for (auto subsystem :
         {commonCommands, dcOutputCommands, memoryArrayCommands, scanCommands, triggerClockCommands,
          arbSegmentCommands, arbSequenceCommands, calibrationCommands}) {
        for (scpi::Command& command : subsystem(core)) table.push_back(std::move(command));
    }
    return table;
}

}  // namespace kqsim::commands
