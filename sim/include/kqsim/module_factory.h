// How a mainframe turns a module description into a working module.
#pragma once

#include <memory>
#include <string>

#include "kqsim/chassis_config.h"
#include "kqsim/instrument.h"

namespace kqsim {

// Identity a module of the given configuration reports, with the kind's defaults filled in.
struct ModuleIdentity {
    std::uint16_t manufacturerId = 0;
    std::uint16_t modelCode = 0;
    std::string idnModel;
};
ModuleIdentity identityOf(const ModuleConfig& config);

// Builds the module `config` names. KQ7120/KQ7110 modules keep their non-volatile memory in a file
// under `stateDirectory` named after the interface, its number and the logical address.
std::shared_ptr<Instrument> makeInstrument(const ModuleConfig& config, Interface interface,
                                           const std::string& stateDirectory);

// The folder the modules' non-volatile memory lives in when the chassis names none:
// $KQ7120_SIM_STATE_DIR, else $XDG_STATE_HOME/kq7120-sim, else ~/.local/state/kq7120-sim.
std::string defaultStateDirectory();

}  // namespace kqsim
