// Faults the simulated bus can be told to produce, set up in-process by tests.
// Every fault is armed for a number of calls and fires once; resetFaults() disarms all.
#pragma once

#include <cstdint>
#include <string>

#include "kqvisa/bus_trace.h"

namespace kqvisa {

// The nth call of `op` from now (1 = the next one) returns `status` without doing anything.
// Op::Write and Op::Read also count the writes and reads that viPrintf, viScanf and viQueryf make.
// A failed viPeek16 (it returns no status) gives 0xFFFF, as a bus error reads.
void failCall(Op op, ViStatus status, int nth = 1);

// The nth write from now that reaches the module (viWrite or a formatted write) hands the module
// only its first `accepted` bytes, without END, and reports success with that count. A formatted
// write goes on with the rest in a further write.
void shortWrite(std::uint32_t accepted, int nth = 1);

// The next time a complete message equal to `command` (exact bytes, e.g. "*ESR?"; the message may
// carry one more "\n" at its end) is written to a session whose descriptor matches `resource`
// ("" = any), the module still executes it but its reply is replaced by `reply`, byte for byte (with
// or without "\n", any length; END comes with its last byte). `times` consecutive matches are
// replaced; -1 = every match until reset. Unread bytes of a scripted reply are dropped when the next
// message is written to the module, as a module drops an unread reply.
void scriptReply(const std::string& command, const std::string& reply, const std::string& resource = "",
                 int times = 1);

void resetFaults();

}  // namespace kqvisa
