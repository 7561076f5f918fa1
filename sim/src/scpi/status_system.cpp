#include "scpi/status_system.h"

namespace kqsim::scpi {
namespace {
// Bit 15 of a SCPI status register is never used, so values stay positive as 16-bit integers.
constexpr std::uint16_t operationRegisterBits = 0x7FFF;
}  // namespace

void StatusSystem::setEvents(std::uint8_t bits) {
    events_ |= bits;
    update();
}

std::uint8_t StatusSystem::readEvents() {
    const std::uint8_t value = events_;
    events_ = 0;
    update();
    return value;
}

void StatusSystem::setEventEnable(std::uint8_t mask) {
    eventEnable_ = mask;
    update();
}

void StatusSystem::setServiceRequestEnable(std::uint8_t mask) {
    serviceRequestEnable_ = mask & static_cast<std::uint8_t>(~stb::masterSummary);
    update();
}

void StatusSystem::setOperationCondition(std::uint16_t bits, bool on) {
    bits &= operationRegisterBits;
    const std::uint16_t rising = on ? static_cast<std::uint16_t>(bits & ~operationCondition_) : 0;
    if (on) {
        operationCondition_ |= bits;
    } else {
        operationCondition_ &= static_cast<std::uint16_t>(~bits);
    }
    operationEvents_ |= rising;
    update();
}

std::uint16_t StatusSystem::readOperationEvents() {
    const std::uint16_t value = operationEvents_;
    operationEvents_ = 0;
    update();
    return value;
}

void StatusSystem::setOperationEnable(std::uint16_t mask) {
    operationEnable_ = mask & operationRegisterBits;
    update();
}

void StatusSystem::setMessageAvailable(bool available) {
    messageAvailable_ = available;
    update();
}

void StatusSystem::clearEvents() {
    events_ = 0;
    operationEvents_ = 0;
    update();
}

void StatusSystem::preset() {
    operationEnable_ = 0;
    update();
}

std::uint8_t StatusSystem::statusByte() const {
    std::uint8_t value = 0;
    if (messageAvailable_) value |= stb::messageAvailable;
    if (events_ & eventEnable_) value |= stb::eventSummary;
    if (operationEvents_ & operationEnable_) value |= stb::operationSummary;
    if (value & serviceRequestEnable_) value |= stb::masterSummary;
    return value;
}

std::uint8_t StatusSystem::serialPoll() {
    std::uint8_t value = statusByte() & static_cast<std::uint8_t>(~stb::masterSummary);
    if (requestService_) value |= stb::masterSummary;
    requestService_ = false;
    return value;
}

void StatusSystem::update() {
    const bool summary = (statusByte() & stb::masterSummary) != 0;
    if (summary && !summaryWasSet_) requestService_ = true;
    summaryWasSet_ = summary;
}

}  // namespace kqsim::scpi
