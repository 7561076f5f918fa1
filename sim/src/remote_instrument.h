// A module of the chassis server as the VISA library sees it: the same Instrument interface, each
// operation one request to the server. The server keeps a reply for the program whose query made
// it, so whether one is pending changes only by this program's own operations: it is known here,
// except after a message, which goes out without waiting for an answer.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "chassis_connection.h"
#include "kqsim/chassis_link.h"
#include "kqsim/instrument.h"

namespace kqsim {

class RemoteInstrument final : public Instrument {
public:
    RemoteInstrument(std::shared_ptr<ChassisConnection> connection, std::uint16_t index);

    void writeMessage(std::string_view bytes, bool end) override;
    bool replyPending() const override;
    ReplyChunk readReply(char* into, std::size_t max) override;
    void deviceClear() override;
    std::uint8_t statusByte() override;
    std::uint16_t readRegister(std::uint16_t offset) override;
    void writeRegister(std::uint16_t offset, std::uint16_t value) override;
    std::size_t writeRegisterBlock(std::uint16_t offset, const std::uint16_t* words, std::size_t count,
                                   bool increment) override;
    std::optional<std::chrono::nanoseconds> timeUntilRoom(std::uint16_t offset, std::size_t words) override;

    // As kqsim_readChannelOutput: the number of samples copied, or -1 when the module has no such
    // channel or is not a KQ module.
    int readChannelOutput(int channel, double* times, double* volts, int maxSamples);

private:
    std::vector<char> call(protocol::MessageType type, protocol::PayloadWriter& payload,
                           std::string_view extra = {}) const;

    std::shared_ptr<ChassisConnection> connection_;
    std::uint16_t index_;
    mutable std::mutex mutex_;
    std::optional<bool> replyPending_ = false;  // nothing: a message went out since the last answer
};

}  // namespace kqsim
