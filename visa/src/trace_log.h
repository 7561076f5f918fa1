// Appending to the bus trace; the reading side is the public kqvisa/bus_trace.h.
#pragma once

#include <string>
#include <utility>

#include "kqvisa/bus_trace.h"

namespace kqvisa {

void appendTrace(TraceRecord record);
// False while a program has switched recording off and no I/O trace file is written; callers skip
// copying bulk data for the trace then.
bool traceRecording();

inline TraceRecord newRecord(Op op, ViSession session, std::string resource, bool formatted = false) {
    TraceRecord record;
    record.op = op;
    record.session = session;
    record.resource = std::move(resource);
    record.formatted = formatted;
    return record;
}

}  // namespace kqvisa
