// Finds where a program message ends in a stream of bytes: at a "\n" that is not block data.
// Definite blocks are skipped by their length, and an indefinite block runs to END, so binary data
// may hold any byte. A "\n" inside a quoted string still ends the message (the string is then
// unterminated), so stray quotes cannot hold a message open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kqsim::scpi {

class MessageFramer {
public:
    static constexpr std::size_t noTerminator = static_cast<std::size_t>(-1);

    // Scans the next bytes of the current message; returns the index in `bytes` of the "\n" that
    // ends it, or noTerminator. Call reset() once a message has ended (terminator or END).
    std::size_t scan(std::string_view bytes);
    void reset();

private:
    enum class State { code, quoted, hash, lengthDigits, definiteData, indefiniteData };

    State state_ = State::code;
    char quote_ = '"';
    int lengthDigitsLeft_ = 0;
    std::uint64_t blockLength_ = 0;
};

}  // namespace kqsim::scpi
