// Queries made with VISA's formatted I/O (viQueryf). They bypass the driver's transport: no SCPI log
// record and no error check. Every read format ends in "%*t", so the rest of the reply (its "\n") is
// taken and nothing is left for the next message. Each returns the query's own status, a completion
// or warning code included.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "reply_text.h"
#include "status_check.h"
#include "visa_binding.h"

namespace kq7120 {

inline constexpr std::size_t kReplyWordCapacity = 256;

// One word of the reply, at most 255 characters, into `word`.
template <typename... WriteArguments>
ViStatus queryWord(ViSession instHndl, ViConstString writeFormat, std::string& word,
                   WriteArguments... arguments) {
    std::array<char, kReplyWordCapacity> text{};
    const ViStatus status =
        visa::formattedQuery(instHndl, writeFormat, "%255s%*t", arguments..., text.data());
    text.back() = '\0';
    word.assign(text.data());
    return status;
}

// One word of the reply that has to be one of `words`: its position goes to `code`.
// VI_ERROR_INV_RESPONSE for any other word; `code` is left alone on failure.
template <typename Code, typename... WriteArguments>
ViStatus queryFormattedWordCode(ViSession instHndl, ViConstString writeFormat,
                                std::span<const std::string_view> words, Code& code,
                                WriteArguments... arguments) {
    std::string word;
    const ViStatus status = queryWord(instHndl, writeFormat, word, arguments...);
    if (failed(status)) return status;
    const auto index = exactWordIndex(words, word);
    if (!index) return VI_ERROR_INV_RESPONSE;
    code = static_cast<Code>(*index);
    return status;
}

// One number of the reply, read with `readFormat` into a `Read`, the type its conversion names (int
// for %d, ViInt32 for %ld, ViInt16 for %hd, double for %lg), then stored in `value`; `value` is
// left alone on failure.
template <typename Read, typename Value, typename... WriteArguments>
ViStatus queryFormattedNumber(ViSession instHndl, ViConstString writeFormat, ViConstString readFormat,
                              Value& value, WriteArguments... arguments) {
    Read number{};
    const ViStatus status = visa::formattedQuery(instHndl, writeFormat, readFormat, arguments..., &number);
    if (failed(status)) return status;
    value = static_cast<Value>(number);
    return status;
}

}  // namespace kq7120
