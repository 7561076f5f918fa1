// Faults the simulated bus can be told to produce, set up in-process by tests.
// Every fault is armed for a number of calls and fires once; resetFaults() disarms all.
#pragma once

#include <cstdint>
#include <string>

#include "kqvisa/bus_trace.h"

namespace kqvisa {

// The nth call of `op` from now (1 = the next one) returns `status` without doing anything.
void failCall(Op op, ViStatus status, int nth = 1);

// The nth viWrite from now accepts only `accepted` bytes (returned count) and reports success.
void shortWrite(std::uint32_t accepted, int nth = 1);

// The next time a complete message equal to `command` (exact bytes, e.g. "*ESR?") is written to a
// session whose descriptor matches `resource` ("" = any), the module still executes it but its reply
// is replaced by `reply`, byte for byte (with or without "\n", any length). `times` consecutive matches
// are replaced; -1 = every match until reset.
void scriptReply(const std::string& command, const std::string& reply, const std::string& resource = "",
                 int times = 1);

void resetFaults();

}  // namespace kqvisa
