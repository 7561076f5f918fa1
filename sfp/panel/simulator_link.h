// Whether the front panel runs on the simulated VISA library, and the simulator's accessors when it
// does. Asked of the VISA library the driver has loaded, never linked: on any other VISA there is
// nothing to find.
#pragma once

#include <optional>
#include <string>

#include "kqsim/output_monitor.h"

struct SimulatorLink {
    KqsimReadChannelOutputFunction readChannelOutput = nullptr;
    KqsimChassisTimeFunction chassisTime = nullptr;
    KqsimServedChassisFunction servedChassis = nullptr;
};

// The accessors of the loaded simulated VISA library, or nothing when the VISA in use is another
// (or none is loaded yet).
std::optional<SimulatorLink> simulatorLink();

// What the main panel says about the chassis: "Simulated chassis", with the server's socket when
// one serves it; "" on any other VISA.
std::string simulatedChassisNote();
