#include "module_port.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "fault_plan.h"

namespace kqvisa {

namespace {

// Scripted commands are short SCPI texts; longer messages (binary blocks) are never compared.
constexpr std::size_t kMaxComparedMessage = 64 * 1024;

struct PortRegistry {
    std::mutex mutex;
    std::map<const kqsim::Instrument*, std::weak_ptr<ModulePort>> ports;
};

PortRegistry& portRegistry() {
    // Never destroyed: a client may still call in from its own static destructors at exit.
    static PortRegistry* const registry = new PortRegistry;
    return *registry;
}

}  // namespace

ModulePort::ModulePort(std::shared_ptr<kqsim::Instrument> instrument) : instrument_(std::move(instrument)) {}

std::shared_ptr<ModulePort> ModulePort::of(const std::shared_ptr<kqsim::Instrument>& instrument) {
    PortRegistry& registry = portRegistry();
    std::lock_guard lock(registry.mutex);
    std::erase_if(registry.ports, [](const auto& entry) { return entry.second.expired(); });
    std::weak_ptr<ModulePort>& slot = registry.ports[instrument.get()];
    std::shared_ptr<ModulePort> port = slot.lock();
    if (!port) {
        port = std::make_shared<ModulePort>(instrument);
        slot = port;
    }
    return port;
}

void ModulePort::write(std::string_view bytes, bool end, std::string_view resource) {
    std::lock_guard lock(mutex_);
    scriptedReply_.clear();
    if (!messageTooLong_) {
        if (message_.size() + bytes.size() > kMaxComparedMessage) {
            messageTooLong_ = true;
            message_.clear();
        } else {
            message_.append(bytes);
        }
    }
    instrument_->writeMessage(bytes, end);
    if (!end) return;

    std::optional<std::string> scripted;
    if (!messageTooLong_) scripted = takeScriptedReply(message_, resource);
    message_.clear();
    messageTooLong_ = false;
    if (!scripted) return;
    drainModuleReply();
    scriptedReply_.set(std::move(*scripted));
}

void ModulePort::drainModuleReply() {
    std::array<char, 4096> discarded;
    while (instrument_->replyPending()) {
        if (instrument_->readReply(discarded.data(), discarded.size()).count == 0) break;
    }
}

kqsim::ReplyChunk ModulePort::read(char* into, std::size_t max) {
    std::lock_guard lock(mutex_);
    if (max == 0) return {};
    if (scriptedReply_.pending()) return scriptedReply_.read(into, max);
    // Asked even with nothing pending: a module notes a read it cannot answer (-420).
    const kqsim::ReplyChunk chunk = instrument_->readReply(into, max);
    return {std::min(chunk.count, max), chunk.end};
}

void ModulePort::deviceClear() {
    std::lock_guard lock(mutex_);
    message_.clear();
    messageTooLong_ = false;
    scriptedReply_.clear();
    instrument_->deviceClear();
}

std::uint8_t ModulePort::statusByte() {
    std::lock_guard lock(mutex_);
    return instrument_->statusByte();
}

std::uint16_t ModulePort::readRegister(std::uint16_t offset) {
    std::lock_guard lock(mutex_);
    return instrument_->readRegister(offset);
}

void ModulePort::writeRegister(std::uint16_t offset, std::uint16_t value) {
    std::lock_guard lock(mutex_);
    instrument_->writeRegister(offset, value);
}

std::size_t ModulePort::writeRegisterBlock(std::uint16_t offset, const std::uint16_t* words,
                                           std::size_t count, bool increment) {
    std::lock_guard lock(mutex_);
    return std::min(instrument_->writeRegisterBlock(offset, words, count, increment), count);
}

std::optional<std::chrono::nanoseconds> ModulePort::timeUntilRoom(std::uint16_t offset, std::size_t words) {
    std::lock_guard lock(mutex_);
    return instrument_->timeUntilRoom(offset, words);
}

}  // namespace kqvisa
