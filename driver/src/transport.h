// The three operations every SCPI exchange is built from (send a command, read a reply, check the
// module's standard event status) and the two patterns made of them.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "kq7120.h"

namespace kq7120 {

// Writes `bytes` exactly (binary blocks included) and logs them while the SCPI log is on.
ViStatus sendCommand(ViSession instHndl, std::string_view bytes);

// Reads at most `limit` bytes; kq7120_READ_BUFFER_FULL when none of them is "\n". `reply` holds the
// bytes received, "\n" included.
ViStatus readReply(ViSession instHndl, std::size_t limit, std::string& reply);

// "*ESR?": kq7120_INSTRUMENT_ERROR when the module flags a query, execution or command error.
ViStatus checkInstrumentError(ViSession instHndl);

// Command with error check: send, then the instrument error check.
ViStatus commandWithCheck(ViSession instHndl, std::string_view command);

// Command with reply: send the query, read the reply (at most `limit` bytes), then the error check.
ViStatus queryWithCheck(ViSession instHndl, std::string_view query, std::size_t limit, std::string& reply);

// Query with check whose reply, up to its "\n", is exactly one of `words`: `index` is its position.
// VI_ERROR_INV_RESPONSE for any other reply; `index` is left alone on failure.
ViStatus queryWordIndex(ViSession instHndl, std::string_view query, std::size_t limit,
                        std::span<const std::string_view> words, std::size_t& index);

}  // namespace kq7120
