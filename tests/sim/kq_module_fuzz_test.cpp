// Random sequences of valid-looking commands with random parameters, and random register traffic:
// the module must neither crash nor hang, must keep its limits, and must still answer afterwards.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "kq_module_test_support.h"

namespace kqsim::testing {
namespace {

// Headers the module knows, in the forms the driver sends and some it does not.
const char* const kHeaders[] = {
    "SOUR:VOLT:LEV",
    "SOUR:VOLT:LEV?",
    "VOLT:RANG",
    "volt:rang?",
    "SOUR:VOLT:SET",
    "VOLT:FORM",
    "VOLT:FORM ?",
    "MEM:SET",
    "MEM:SET?",
    "SCAN",
    "SCAN?",
    "SCAN:LIM",
    "SCAN:LIM?",
    "SCAN:TABL",
    "SCAN:TABL?",
    "SCAN:TABL 3 :LOC",
    "SCAN:TABL 3:LOC?",
    "TRIG:SOUR",
    "TRIG:SOUR?",
    "TRIG:SLOP",
    "TRIG:SLOP?",
    "ROSC:SOUR",
    "rosc:sour?",
    "ROSC:SLOP",
    "tim",
    "tim?",
    "MARK:SYNC:STAT",
    "MARK:SYNC:STAT?",
    "mark:sync:slop",
    "outp:ttlt:sour",
    "outp:ttlt",
    "outp:ttlt?",
    "INIT",
    "ABOR",
    "*TRG",
    "*RST",
    "*IDN?",
    "*TST?",
    "*ESR?",
    "*CLS",
    "SYST:ERR?",
    "trac:def",
    "trac:poin",
    "trac:poin?",
    "trac:del:all",
    "trac:data",
    "trac:data?",
    "trac:data:poin",
    "trac:data:poin?",
    "trac:free?",
    "mem:size?",
    "seq:leng",
    "seq:list",
    "seq:list?",
    "seq:star",
    "seq:star?",
    "seq:adv",
    "seq:adv?",
    "seq:dwel",
    "seq:dwel?",
    "sour:mark:trig",
    "mark:trig?",
    "CAL3:GAIN",
    "CAL:GAIN?",
    "CAL16:ZERO",
    "CAL:DATA",
    "CAL:DATA?",
    "CAL:COUNT?",
    "CAL:STOR",
    "CAL:STOR:AUTO",
    "CAL:SEC:STAT",
    "CAL:SEC:STAT?",
    "CAL:SEC:CODE",
};

const char* const kWords[] = {"ON",    "OFF",  "LOOP", "ARB",  "FIFO", "POS",  "NEG",  "TTLT3", "TTLT9",
                              "INT12", "INT0", "EXT",  "EXTC", "TIM",  "NONE", "AUTO", "TRIG",  "SYNC",
                              "ASYNC", "MARK", "20V",  "10V",  "MAX",  "MIN",  "BOGUS"};

class Fuzzer {
public:
    explicit Fuzzer(unsigned seed) : random_(seed) {}

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

    std::string number() {
        switch (pick(6)) {
            case 0:
                return std::to_string(pick(20) - 2);
            case 1:
                return std::to_string(pick(70000) - 35000);
            case 2:
                return std::to_string(std::uniform_real_distribution<double>(-40.0, 40.0)(random_));
            case 3:
                return "9e999";
            case 4:
                return std::to_string(pick(5000));
            default:
                return "-1e-05";
        }
    }

    std::string block() {
        std::string bytes(static_cast<std::size_t>(pick(80)), '\0');
        for (char& c : bytes) c = static_cast<char>(pick(256));
        if (pick(3) == 0) return "#0" + bytes;
        const std::string length = std::to_string(bytes.size());
        return "#" + std::to_string(length.size()) + length + bytes;
    }

    std::string parameter() {
        switch (pick(5)) {
            case 0:
                return kWords[pick(std::size(kWords))];
            case 1: {
                std::string list = "(@";
                const int entries = pick(4) + 1;
                for (int i = 0; i < entries; ++i) list += (i ? "," : "") + std::to_string(pick(20));
                return list + ")";
            }
            case 2:
                return block();
            default:
                return number();
        }
    }

    std::string message() {
        std::string text;
        const int units = pick(3) + 1;
        for (int u = 0; u < units; ++u) {
            if (u > 0) text += pick(2) ? ";:" : ";";
            text += kHeaders[pick(std::size(kHeaders))];
            const int parameters = pick(5);
            for (int p = 0; p < parameters; ++p) text += (p == 0 ? " " : ",") + parameter();
        }
        if (pick(4) == 0) text += "\n";
        return text;
    }

private:
    std::mt19937 random_;
};

class KqModuleFuzz : public ModuleTest {};

TEST_F(KqModuleFuzz, RandomCommandSequencesLeaveAWorkingModule) {
    Fuzzer fuzzer(20240611);
    send("CAL:SEC:STAT 0,#16KQ7120");
    for (int i = 0; i < 4000; ++i) {
        const std::string message = fuzzer.message();
        // Sometimes split the message, sometimes leave a reply unread.
        const std::size_t cut = static_cast<std::size_t>(fuzzer.pick(static_cast<int>(message.size()) + 1));
        module().writeMessage(std::string_view(message).substr(0, cut), false);
        module().writeMessage(std::string_view(message).substr(cut), true);
        if (fuzzer.pick(3) != 0) bus().readAll();
        if (fuzzer.pick(50) == 0) module().deviceClear();
    }
    bus().readAll();
    EXPECT_EQ(query("*IDN?"), "Harlowfen Instruments,KQ7120,0,A.02.05\n");
    for (int channel = 1; channel <= module().channelCount(); ++channel) {
        const double volts = module().programmedVoltage(channel);
        EXPECT_GE(volts, -20.0);
        EXPECT_LT(volts, 20.0);
    }
    EXPECT_LE(module().waveformMemoryUsed(), kWaveformMemoryPoints);
    EXPECT_LE(module().fifoFill(), kFifoDepthWords);
}

TEST_F(KqModuleFuzz, RandomRegisterTrafficLeaveAWorkingModule) {
    Fuzzer fuzzer(77);
    std::vector<std::uint16_t> words(2048);
    for (int i = 0; i < 3000; ++i) {
        const auto offset = static_cast<std::uint16_t>(fuzzer.pick(0x44));
        switch (fuzzer.pick(4)) {
            case 0:
                module().readRegister(offset);
                break;
            case 1:
                module().writeRegister(offset, static_cast<std::uint16_t>(fuzzer.pick(65536)));
                break;
            default: {
                const std::size_t count =
                    static_cast<std::size_t>(fuzzer.pick(static_cast<int>(words.size())));
                for (std::size_t w = 0; w < count; ++w)
                    words[w] = static_cast<std::uint16_t>(fuzzer.pick(65536));
                module().writeRegisterBlock(offset, words.data(), count, fuzzer.pick(2) == 0);
            }
        }
    }
    EXPECT_EQ(module().writeRegisterBlock(0x26, nullptr, 5, false), 0u);
    EXPECT_EQ(query("*IDN?"), "Harlowfen Instruments,KQ7120,0,A.02.05\n");
    EXPECT_LE(module().waveformMemoryUsed(), kWaveformMemoryPoints);
}

}  // namespace
}  // namespace kqsim::testing
