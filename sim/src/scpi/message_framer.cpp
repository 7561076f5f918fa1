#include "scpi/message_framer.h"

#include <algorithm>

namespace kqsim::scpi {

void MessageFramer::reset() {
    state_ = State::code;
    lengthDigitsLeft_ = 0;
    blockLength_ = 0;
}

std::size_t MessageFramer::scan(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        switch (state_) {
            case State::code:
                if (c == '\n') return i;
                if (c == '"' || c == '\'') {
                    state_ = State::quoted;
                    quote_ = c;
                } else if (c == '#') {
                    state_ = State::hash;
                }
                ++i;
                break;
            case State::quoted:
                if (c == '\n') return i;
                if (c == quote_) state_ = State::code;
                ++i;
                break;
            case State::hash:
                if (c == '0') {
                    state_ = State::indefiniteData;
                    ++i;
                } else if (c >= '1' && c <= '9') {
                    state_ = State::lengthDigits;
                    lengthDigitsLeft_ = c - '0';
                    blockLength_ = 0;
                    ++i;
                } else {
                    state_ = State::code;  // not a block; look at this byte again
                }
                break;
            case State::lengthDigits:
                if (c < '0' || c > '9') {
                    state_ = State::code;  // malformed header; the parser reports it
                    break;
                }
                blockLength_ = blockLength_ * 10 + static_cast<std::uint64_t>(c - '0');
                ++i;
                if (--lengthDigitsLeft_ == 0) state_ = blockLength_ == 0 ? State::code : State::definiteData;
                break;
            case State::definiteData: {
                const std::uint64_t skip = std::min<std::uint64_t>(blockLength_, bytes.size() - i);
                i += static_cast<std::size_t>(skip);
                blockLength_ -= skip;
                if (blockLength_ == 0) state_ = State::code;
                break;
            }
            case State::indefiniteData:
                return noTerminator;
        }
    }
    return noTerminator;
}

}  // namespace kqsim::scpi
