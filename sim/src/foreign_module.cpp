#include "foreign_module.h"

#include <algorithm>
#include <cctype>

#include "vxi_registers.h"

namespace kqsim {
namespace {

constexpr std::uint8_t kCommandErrorBit = 0x20;

std::string normalised(std::string_view message) {
    std::string text;
    for (char c : message) {
        if (std::isspace(static_cast<unsigned char>(c)) == 0) {
            text.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        }
    }
    return text;
}

}  // namespace

ForeignModule::ForeignModule(std::uint16_t manufacturerId, std::uint16_t modelCode, std::string idnModel)
    : manufacturerId_(manufacturerId), modelCode_(modelCode), idnModel_(std::move(idnModel)) {}

void ForeignModule::writeMessage(std::string_view bytes, bool end) {
    std::lock_guard lock(mutex_);
    if (auto message = port_.receive(bytes, end)) execute(*message);
}

void ForeignModule::execute(const std::string& message) {
    const std::string text = normalised(message);
    if (text == "*IDN?") {
        port_.setReply("Tarnwick Labs," + idnModel_ + ",0,1.4\n");
    } else if (text == "*ESR?") {
        port_.setReply(std::to_string(eventStatus_) + "\n");
        eventStatus_ = 0;
    } else if (text == "*RST" || text == "*CLS") {
        eventStatus_ = 0;
    } else {
        eventStatus_ |= kCommandErrorBit;
    }
}

bool ForeignModule::replyPending() const {
    std::lock_guard lock(mutex_);
    return port_.replyPending();
}

ReplyChunk ForeignModule::readReply(char* into, std::size_t max) {
    std::lock_guard lock(mutex_);
    return port_.read(into, max);
}

void ForeignModule::deviceClear() {
    std::lock_guard lock(mutex_);
    port_.clear();
}

std::uint8_t ForeignModule::statusByte() {
    std::lock_guard lock(mutex_);
    return port_.replyPending() ? kMessageAvailableBit : 0;
}

std::uint16_t ForeignModule::readRegister(std::uint16_t offset) {
    switch (offset) {
        case kIdRegister:
            return idRegisterValue(manufacturerId_);
        case kDeviceTypeRegister:
            return deviceTypeRegisterValue(modelCode_);
        default:
            return kUnusedRegisterValue;
    }
}

void ForeignModule::writeRegister(std::uint16_t, std::uint16_t) {}

std::size_t ForeignModule::writeRegisterBlock(std::uint16_t, const std::uint16_t*, std::size_t count, bool) {
    return count;
}

}  // namespace kqsim
