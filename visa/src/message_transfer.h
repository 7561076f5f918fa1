// Moving message bytes between a session and its module, as viWrite and viRead do; the formatted
// operations use the same two steps. The caller holds the session's mutex.
#pragma once

#include <cstddef>
#include <string_view>

#include "kqvisa/bus_trace.h"
#include "session.h"

namespace kqvisa {

struct TransferResult {
    ViStatus status = VI_SUCCESS;
    std::size_t count = 0;
};

// Hands `bytes` to the module, END with the last one when `end`. Fills `record` with what the module took.
TransferResult writeToModule(InstrumentSession& session, std::string_view bytes, bool end,
                             TraceRecord& record);

// Reads at most `max` reply bytes: VI_SUCCESS at END, VI_SUCCESS_TERM_CHAR at the termination character
// (when enabled), VI_SUCCESS_MAX_CNT when `max` bytes came first, VI_ERROR_TMO when the module has
// nothing (more) to send. Fills `record` with the bytes read.
TransferResult readFromModule(InstrumentSession& session, char* into, std::size_t max, TraceRecord& record);

}  // namespace kqvisa
