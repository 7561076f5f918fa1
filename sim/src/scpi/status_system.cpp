#include "scpi/status_system.h"

namespace kqsim::scpi {
namespace {
constexpr std::uint16_t kGroupRegisterBits = 0x7FFF;
}  // namespace

void StatusGroup::setCondition(std::uint16_t bits, bool on) {
    bits &= kGroupRegisterBits;
    if (on) {
        events_ |= static_cast<std::uint16_t>(bits & ~condition_);
        condition_ |= bits;
    } else {
        condition_ &= static_cast<std::uint16_t>(~bits);
    }
}

std::uint16_t StatusGroup::readEvents() {
    const std::uint16_t value = events_;
    events_ = 0;
    return value;
}

void StatusGroup::setEnable(std::uint16_t mask) { enable_ = mask & kGroupRegisterBits; }

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
    operation_.setCondition(bits, on);
    update();
}

std::uint16_t StatusSystem::readOperationEvents() {
    const std::uint16_t value = operation_.readEvents();
    update();
    return value;
}

void StatusSystem::setOperationEnable(std::uint16_t mask) {
    operation_.setEnable(mask);
    update();
}

void StatusSystem::setQuestionableCondition(std::uint16_t bits, bool on) {
    questionable_.setCondition(bits, on);
    update();
}

std::uint16_t StatusSystem::readQuestionableEvents() {
    const std::uint16_t value = questionable_.readEvents();
    update();
    return value;
}

void StatusSystem::setQuestionableEnable(std::uint16_t mask) {
    questionable_.setEnable(mask);
    update();
}

void StatusSystem::setMessageAvailable(bool available) {
    messageAvailable_ = available;
    update();
}

void StatusSystem::setErrorAvailable(bool available) {
    errorAvailable_ = available;
    update();
}

void StatusSystem::clearEvents() {
    events_ = 0;
    operation_.clearEvents();
    questionable_.clearEvents();
    update();
}

void StatusSystem::preset() {
    operation_.setEnable(0);
    questionable_.setEnable(0);
    update();
}

std::uint8_t StatusSystem::statusByte() const {
    std::uint8_t value = 0;
    if (errorAvailable_) value |= stb::errorAvailable;
    if (questionable_.summary()) value |= stb::questionableSummary;
    if (messageAvailable_) value |= stb::messageAvailable;
    if (events_ & eventEnable_) value |= stb::eventSummary;
    if (operation_.summary()) value |= stb::operationSummary;
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
    if (!summary) requestService_ = false;
    summaryWasSet_ = summary;
}

}  // namespace kqsim::scpi
