// The library's link to one module: every session on that module talks through the same port, which
// serialises access to the module and stands in for it where a test scripted a reply.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "kqsim/instrument.h"
#include "kqsim/pending_reply.h"

namespace kqvisa {

class ModulePort {
public:
    explicit ModulePort(std::shared_ptr<kqsim::Instrument> instrument);

    // The port of `instrument`, shared by all sessions open on it.
    static std::shared_ptr<ModulePort> of(const std::shared_ptr<kqsim::Instrument>& instrument);

    // Bytes for the module; `end` completes the message. `resource` is the writing session's
    // descriptor, for scripted replies.
    void write(std::string_view bytes, bool end, std::string_view resource);
    kqsim::ReplyChunk read(char* into, std::size_t max);
    void deviceClear();
    std::uint8_t statusByte();

    std::uint16_t readRegister(std::uint16_t offset);
    void writeRegister(std::uint16_t offset, std::uint16_t value);
    std::size_t writeRegisterBlock(std::uint16_t offset, const std::uint16_t* words, std::size_t count,
                                   bool increment);
    // When a destination that took fewer words expects room for `words` more (simulated time).
    std::optional<std::chrono::nanoseconds> timeUntilRoom(std::uint16_t offset, std::size_t words);

private:
    void drainModuleReply();

    std::mutex mutex_;
    std::shared_ptr<kqsim::Instrument> instrument_;
    // The message being written, kept only as long as a scripted command could still match it.
    std::string message_;
    bool messageTooLong_ = false;
    kqsim::PendingReply scriptedReply_;
};

}  // namespace kqvisa
