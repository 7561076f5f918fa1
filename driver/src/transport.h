// The three operations every SCPI exchange is built from (send a command, read a reply, check the
// module's standard event status), the two patterns made of them, and the queries that read their
// reply as a word of a table or as a number.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "kq7120.h"
#include "status_check.h"

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

// How much of a reply a word query compares with its words.
enum class WordExtent {
    FirstLine,  // the text before the first "\n"; bytes after it are not looked at
    WholeReply  // the whole reply: the word and one "\n", nothing after it
};

// Query with check whose reply (as `extent` takes it) is exactly one of `words`: `index` is its
// position. VI_ERROR_INV_RESPONSE for any other reply; `index` is left alone on failure.
ViStatus queryWordIndex(ViSession instHndl, std::string_view query, std::size_t limit,
                        std::span<const std::string_view> words, WordExtent extent, std::size_t& index);

// The same for a table whose row i is code i: the position is stored as the caller's code.
template <typename Code>
ViStatus queryWordCode(ViSession instHndl, std::string_view query, std::size_t limit,
                       std::span<const std::string_view> words, WordExtent extent, Code& code) {
    std::size_t index = 0;
    if (const ViStatus status = queryWordIndex(instHndl, query, limit, words, extent, index); failed(status))
        return status;
    code = static_cast<Code>(index);
    return VI_SUCCESS;
}

// Query with check whose reply starts with a number, after white space, read without the process
// locale; the rest of the reply (a unit, its "\n") is ignored. A reply without a number, or with one
// a ViInt32 or ViReal32 cannot hold, reads as 0, and the 16-bit form keeps the low 16 bits of the
// ViInt32 ("40960" reads -24576): the read-backs built on them refuse no reply. `value` is left alone
// on failure.
ViStatus queryInteger(ViSession instHndl, std::string_view query, std::size_t limit, ViInt32& value);
ViStatus queryInteger(ViSession instHndl, std::string_view query, std::size_t limit, ViInt16& value);
ViStatus queryReal(ViSession instHndl, std::string_view query, std::size_t limit, ViReal32& value);

}  // namespace kq7120
