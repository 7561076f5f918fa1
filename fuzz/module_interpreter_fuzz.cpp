// The simulated module's message interpreter, through its public interface: a fresh KQ7120 or KQ7110
// (first byte) per input takes the rest as a script. Lines are messages written with END, whose
// replies are read back; a line starting with 0xFF is an action instead: a register write, a block
// write or read, or the simulated clock advancing, so that scans, ARB sequences and the FIFO play.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "kqsim/kq_module.h"
#include "kqsim/sim_clock.h"

namespace {

constexpr char kActionMark = '\xff';
// The longest clock step: playback catches up sample by sample, so a step stays a fraction of a second.
constexpr auto kLongestStep = std::chrono::microseconds(200000);

std::uint16_t wordAt(std::string_view line, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return i < line.size() ? static_cast<std::uint16_t>(static_cast<unsigned char>(line[i]))
                               : std::uint16_t{0};
    };
    return static_cast<std::uint16_t>(byte(at) | (byte(at + 1) << 8));
}

void drainReply(kqsim::KqModule& module) {
    char buffer[512];
    while (module.replyPending()) {
        if (module.readReply(buffer, sizeof buffer).count == 0) break;
    }
}

void act(kqsim::KqModule& module, std::string_view line) {
    if (line.size() < 2) return;
    // Offsets within the module's A16 window, on word boundaries.
    const auto offset = static_cast<std::uint16_t>((static_cast<unsigned char>(line[1]) & 0x1F) * 2);
    switch (static_cast<unsigned char>(line[0]) % 5) {
        case 0:
            module.writeRegister(offset, wordAt(line, 2));
            break;
        case 1:
            module.readRegister(offset);
            break;
        case 2: {
            std::vector<std::uint16_t> words;
            for (std::size_t at = 2; at + 1 < line.size(); at += 2) words.push_back(wordAt(line, at));
            module.writeRegisterBlock(offset, words.data(), words.size(), (line[1] & 0x40) != 0);
            break;
        }
        case 3:
            kqsim::SimClock::advance(std::min<std::chrono::microseconds>(
                std::chrono::microseconds(wordAt(line, 2)) * 4, kLongestStep));
            break;
        default:
            module.deviceClear();
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kqsim::SimClock::setMode(kqsim::ClockMode::Manual);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    kqsim::KqModuleOptions options;
    options.kind = (data[0] & 1) != 0 ? kqsim::ModuleKind::KQ7110 : kqsim::ModuleKind::KQ7120;
    kqsim::KqModule module(options);
    std::string_view script(reinterpret_cast<const char*>(data) + 1, size - 1);
    while (!script.empty()) {
        const std::size_t end = std::min(script.find('\n'), script.size());
        const std::string_view line = script.substr(0, end);
        script.remove_prefix(std::min(end + 1, script.size()));
        if (!line.empty() && line.front() == kActionMark) {
            act(module, line.substr(1));
        } else {
            module.writeMessage(line, true);
            drainReply(module);
        }
        module.statusByte();
    }
    // The accessors bring playback up to now as well.
    for (int channel = 1; channel <= module.channelCount(); ++channel) module.dacCode(channel);
    module.fifoFill();
    return 0;
}
