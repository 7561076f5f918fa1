// Scanning for viScanf and viQueryf: the C scanf grammar (assignment suppression "*", width,
// length modifiers h l ll L, conversions d i u o x X f e g E G c s [set] and %%), numbers read
// independently of the process locale (decimal forms, inf and nan; no hexadecimal floating point),
// plus VISA's "%t" (everything up to the end of the message) and the "#" flag of %s, %t, %[ and %c
// (the next argument is a ViInt32* holding the buffer size in bytes; it returns the count stored).
// "l" on an integer conversion means ViInt32*. Without "#" or a width, a text conversion stores at
// most 255 characters and a terminating NUL (256 bytes), the rest of the word being read and
// dropped, so a reply can never overrun a caller's buffer of VISA's usual text size.
#pragma once

#include <optional>
#include <string_view>

#include "format_arguments.h"
#include "visa.h"

namespace kqvisa {

// The message being scanned, one byte at a time.
class ScanInput {
public:
    virtual ~ScanInput() = default;
    // The next byte without taking it; nothing at the end of the message or when reading failed.
    virtual std::optional<char> peek() = 0;
    virtual void advance() = 0;
    // VI_SUCCESS, or the status with which reading from the module failed.
    virtual ViStatus failure() const = 0;
};

// VI_SUCCESS; VI_ERROR_INV_FMT or VI_ERROR_NSUP_FMT for a format it cannot use (found before any
// input is taken); VI_ERROR_USER_BUF for a null destination; the read failure (VI_ERROR_TMO ...);
// VI_ERROR_IO when the input does not match the format.
ViStatus scanText(std::string_view format, FormatArguments& arguments, ScanInput& input);

// The format errors scanText would report, without reading anything.
ViStatus checkScanFormat(std::string_view format);

}  // namespace kqvisa
