// A module whose replies come from the fuzzer's input: every complete message that holds a '?' is
// answered with the next reply of the list, in turn, and every register reads one given word. It
// carries our manufacturer and model code, so the driver's identity check passes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kqsim/chassis_config.h"
#include "kqsim/instrument.h"
#include "kqsim/mainframe.h"
#include "kqsim/pending_reply.h"

namespace kqfuzz {

class ScriptedInstrument final : public kqsim::Instrument {
public:
    ScriptedInstrument(std::vector<std::string> replies, std::uint16_t registerWord)
        : replies_(std::move(replies)), registerWord_(registerWord) {}

    void writeMessage(std::string_view bytes, bool end) override {
        message_.append(bytes);
        if (!end) return;
        if (message_.find('?') != std::string::npos && !replies_.empty()) {
            reply_.set(replies_[next_++ % replies_.size()]);
        }
        message_.clear();
    }
    bool replyPending() const override { return reply_.pending(); }
    kqsim::ReplyChunk readReply(char* into, std::size_t max) override { return reply_.read(into, max); }
    void deviceClear() override {
        message_.clear();
        reply_.clear();
    }
    std::uint8_t statusByte() override { return 0; }
    std::uint16_t readRegister(std::uint16_t) override { return registerWord_; }
    void writeRegister(std::uint16_t, std::uint16_t) override {}
    std::size_t writeRegisterBlock(std::uint16_t, const std::uint16_t*, std::size_t count, bool) override {
        return count;
    }

private:
    std::vector<std::string> replies_;
    std::uint16_t registerWord_;
    std::size_t next_ = 0;
    std::string message_;
    kqsim::PendingReply reply_;
};

// Mounts `instrument` alone in a VXI mainframe at logical address 24 ("VXI0::24::INSTR").
inline void mountAlone(std::shared_ptr<kqsim::Instrument> instrument) {
    kqsim::MountedModule module;
    module.config.kind = kqsim::ModuleKind::Foreign;
    module.config.logicalAddress = 24;
    module.config.slot = 2;
    module.manufacturerId = kqsim::kOurManufacturerId;
    module.modelCode = kqsim::kOurModelCode;
    module.instrument = std::move(instrument);
    std::vector<kqsim::MountedModule> modules;
    modules.push_back(std::move(module));
    kqsim::installMainframe(std::make_shared<kqsim::Mainframe>(kqsim::Interface::Vxi, std::move(modules)));
}

inline constexpr const char* kMountedDescriptor = "VXI0::24::INSTR";

// The input split at every `separator` byte (empty pieces included).
inline std::vector<std::string> splitInput(std::string_view input, char separator) {
    std::vector<std::string> pieces;
    for (std::size_t at = input.find(separator); at != std::string_view::npos; at = input.find(separator)) {
        pieces.emplace_back(input.substr(0, at));
        input.remove_prefix(at + 1);
    }
    pieces.emplace_back(input);
    return pieces;
}

}  // namespace kqfuzz
