// The I/O trace a user asks for with KQ7120_VISA_TRACE=FILE: one text line per VISA operation,
// appended to FILE and written out line by line, so a crash loses nothing.
#pragma once

#include "kqvisa/bus_trace.h"

namespace kqvisa {

// Whether the variable named a file; read once, on the first operation.
bool ioTraceOn();

// Appends the line of `record` when the trace is on; does nothing otherwise.
void writeIoTrace(const TraceRecord& record);

}  // namespace kqvisa
