// A message-based module of another maker: it shares the mainframe but is none of ours, so a
// chassis scan has to skip it. It answers "*IDN?" with its own identity and little else.
#pragma once

#include <mutex>
#include <string>

#include "kqsim/instrument.h"
#include "message_port.h"

namespace kqsim {

inline constexpr std::uint16_t kForeignManufacturerId = 0xF3A;
inline constexpr std::uint16_t kForeignModelCode = 0x201;
inline constexpr const char* kForeignIdnModel = "TW4410";

class ForeignModule final : public Instrument {
public:
    ForeignModule(std::uint16_t manufacturerId, std::uint16_t modelCode, std::string idnModel);

    void writeMessage(std::string_view bytes, bool end) override;
    bool replyPending() const override;
    ReplyChunk readReply(char* into, std::size_t max) override;
    void deviceClear() override;
    std::uint8_t statusByte() override;
    std::uint16_t readRegister(std::uint16_t offset) override;
    void writeRegister(std::uint16_t offset, std::uint16_t value) override;
    std::size_t writeRegisterBlock(std::uint16_t offset, const std::uint16_t* words, std::size_t count,
                                   bool increment) override;

private:
    void execute(const std::string& message);

    const std::uint16_t manufacturerId_;
    const std::uint16_t modelCode_;
    const std::string idnModel_;
    mutable std::mutex mutex_;
    MessagePort port_;
    std::uint8_t eventStatus_ = 0;
};

}  // namespace kqsim
