// The SCPI command set of the KQ module: the table of headers, parameter counts and the handlers that
// turn each command into an operation on the module.
#pragma once

#include <vector>

#include "module_core.h"
#include "scpi/command_tree.h"

namespace kqsim::commands {

// The handlers act on `core`, which must outlive the interpreter that runs the table.
std::vector<scpi::Command> moduleTable(ModuleCore& core);

}  // namespace kqsim::commands
