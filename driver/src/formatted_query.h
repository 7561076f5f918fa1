// Queries made with VISA's formatted I/O (viQueryf). They bypass the driver's transport: no SCPI log
// record and no error check. Every read format ends in "%*t", so the rest of the reply (its "\n") is
// taken and nothing is left for the next message.
#pragma once

#include <array>
#include <string>

#include "visa_binding.h"

namespace kq7120 {

inline constexpr std::size_t kReplyWordCapacity = 256;

// One word of the reply, at most 255 characters, into `word`.
template <typename... WriteArguments>
ViStatus queryWord(ViSession instHndl, ViConstString writeFormat, std::string& word,
                   WriteArguments... arguments) {
    std::array<char, kReplyWordCapacity> text{};
    const ViStatus status = visa::formattedQuery(instHndl, writeFormat, "%255s%*t", arguments..., text.data());
    text.back() = '\0';
    word.assign(text.data());
    return status;
}

}  // namespace kq7120
