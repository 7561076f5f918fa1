// One module in the simulated mainframe, as the VXI bus sees it: a word-serial message interface
// and a block of 16-bit device registers in A16 space.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kqsim {

struct ReplyChunk {
    std::size_t count = 0;  // bytes copied
    bool end = false;       // the last byte copied was the last byte of the reply (END)
};

class Instrument {
public:
    virtual ~Instrument() = default;

    // Bytes from the controller. `end` marks the last byte of a message (END); the module executes
    // a message once it is complete and queues any reply at once.
    virtual void writeMessage(std::string_view bytes, bool end) = 0;

    // Pending reply bytes. readReply copies at most `max` bytes and keeps the rest for the next call;
    // with no reply pending it copies nothing and returns {0, false} at once. A bus calls readReply
    // for every read the controller makes, also with nothing pending: an IEEE 488.2 module takes that
    // as a read with nothing to answer and logs -420 Query UNTERMINATED. Check replyPending instead
    // where no controller is reading.
    virtual bool replyPending() const = 0;
    virtual ReplyChunk readReply(char* into, std::size_t max) = 0;

    // Device clear: input and output buffers emptied, status registers kept.
    virtual void deviceClear() = 0;
    // Status byte as a serial poll reads it.
    virtual std::uint8_t statusByte() = 0;

    // A16 registers; offsets are bytes relative to the module's A16 base (0x00-0x3E).
    virtual std::uint16_t readRegister(std::uint16_t offset) = 0;
    virtual void writeRegister(std::uint16_t offset, std::uint16_t value) = 0;
    // Block write; with `increment` false every word goes to the same offset. Returns the number of
    // words taken: fewer than `count` when the destination (a full FIFO) takes no more for now.
    virtual std::size_t writeRegisterBlock(std::uint16_t offset, const std::uint16_t* words,
                                           std::size_t count, bool increment) = 0;
    // After a block write to `offset` took fewer words: how long, in simulated time, until it can
    // take `words` more (as far as the destination ever holds). Nothing when no room comes by
    // itself, as for a FIFO that is not playing; a bus waiting for room then polls.
    virtual std::optional<std::chrono::nanoseconds> timeUntilRoom(std::uint16_t offset, std::size_t words) {
        static_cast<void>(offset);
        static_cast<void>(words);
        return std::nullopt;
    }
};

}  // namespace kqsim
