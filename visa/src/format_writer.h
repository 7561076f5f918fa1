// Formatting for viPrintf and viQueryf: the C printf grammar (flags - + space # 0, width and
// precision as digits or "*", length modifiers h l ll L, conversions d i u o x X c s f F e E g G and
// %%), with numbers always in the C locale's form. "l" on an integer conversion means ViInt32.
// A newline in the format, written as the character or as the two characters "\n", ends a message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "format_arguments.h"
#include "visa.h"

namespace kqvisa {

struct FormattedText {
    std::string bytes;
    std::vector<std::size_t> messageEnds;  // offsets just past each message-ending newline
};

// VI_SUCCESS, VI_ERROR_INV_FMT, VI_ERROR_NSUP_FMT (VISA conversions this library lacks: arrays,
// binary blocks) or VI_ERROR_USER_BUF (a null text argument).
ViStatus formatText(std::string_view format, FormatArguments& arguments, FormattedText& output);

}  // namespace kqvisa
