// The one-call ARB demonstration and its line sender, in a program with a user interface: this
// executable exports its own MessagePopup, as the front panel does, and the driver finds it there.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "driver_test_support.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"

namespace {

std::vector<std::pair<std::string, std::string>>& popups() {
    static std::vector<std::pair<std::string, std::string>> shown;
    return shown;
}

}  // namespace

extern "C" int MessagePopup(const char* title, const char* text) {
    popups().emplace_back(title, text);
    return 0;
}

namespace {

using kqtest::DriverTest;
using Lines = std::vector<std::string>;

class ArbDemonstration : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        session = open(kqtest::kKq7120Descriptor);
        popups().clear();
    }
    ViSession session = 0;
};

// A line and the error query that follows it.
Lines line(const std::string& text) {
    return {"write " + text + "\n", "write SYST:ERR?", "read", "write *ESR?", "read"};
}

Lines join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST_F(ArbDemonstration, LineSenderShowsTheModulesComplaint) {
    const std::string log = newFolder() + "/scpi.log";
    ASSERT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, log.c_str()), VI_SUCCESS);
    EXPECT_EQ(txCmdBuff(session, "*CLS"), VI_SUCCESS);
    EXPECT_EQ(busLog(), line("*CLS"));
    EXPECT_EQ(kqtest::fileContents(log), "SYST:ERR?\n*ESR?\n") << "the line itself is not logged";
    EXPECT_TRUE(popups().empty()) << "nothing to complain about";
    const auto writes = calls(kqvisa::Op::Write);
    EXPECT_FALSE(writes.front().formatted) << "written with viWrite";

    EXPECT_EQ(txCmdBuff(session, "NO:SUCH:COMMAND"), VI_SUCCESS) << "the write's status, not the module's";
    ASSERT_EQ(popups().size(), 1u);
    EXPECT_EQ(popups()[0].first, "ERROR");
    EXPECT_NE(popups()[0].second.find("Undefined header"), std::string::npos) << popups()[0].second;
}

TEST_F(ArbDemonstration, LineSenderBoundsAndFailures) {
    const std::string longest(254, ' ');
    EXPECT_EQ(txCmdBuff(session, longest.c_str()), VI_SUCCESS);
    ASSERT_FALSE(sent().empty());
    EXPECT_EQ(sent().front(), longest + "\n");

    kqvisa::clearTrace();
    EXPECT_EQ(txCmdBuff(session, (longest + " ").c_str()), VI_ERROR_PARAMETER2);
    EXPECT_EQ(txCmdBuff(session, nullptr), VI_ERROR_PARAMETER2);
    EXPECT_TRUE(kqvisa::trace().empty());

    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_TMO);
    EXPECT_EQ(txCmdBuff(session, "*CLS"), VI_ERROR_TMO);
    EXPECT_EQ(calls(kqvisa::Op::Write).size(), 1u) << "no error query after a failed write";
    EXPECT_TRUE(popups().empty());
}

TEST_F(ArbDemonstration, OneCallSetUpAndStart) {
    const std::vector<ViInt16> samples = {0, 16384, -32768, 32767};
    ASSERT_EQ(kq7120_arbScpi(session, 4, samples.data(), 0.001), VI_SUCCESS);
    const Lines expected = join({
        line("*RST"),
        {"write ROSC:SOUR TIM;SLOP POS", "write *ESR?", "read", "write tim 0.0010000", "write *ESR?", "read"},
        line("TRIG:SOUR NONE;SLOP POS"),
        line("VOLT:FORM 0"),
        line("SCAN ARB,(@1)"),
        {"out16 0x20 0", "out16 0x22 1", "out16 0x24 0", "dest increment 0", "move 0x26 4 words"},
        line("SEQ:LIST (@0)"),
        line("SEQ:STAR TRIG,(@0)"),
        line("SEQ:ADV SYNC,(@0)"),
        line("SEQ:DWEL 0,(@0)"),
        line("SOUR:MARK:SYNC:STAT ON;SLOP POS"),
        line("SOUR:MARK:TRIG ON,(@0)"),
        line("INIT"),
    });
    EXPECT_EQ(busLog(), expected) << "the increment is left off";
    EXPECT_TRUE(popups().empty());
    auto& module = kqtest::kqModule(24);
    EXPECT_EQ(module.segmentCodes(0, 1), (std::vector<std::uint16_t>{0x8000, 0xC000, 0x0000, 0xFFFF}));
    EXPECT_EQ(module.runState(), kqsim::RunState::ArbRunning);
    EXPECT_DOUBLE_EQ(module.timerPeriod(), 0.001);
    EXPECT_TRUE(module.markerOn());
}

TEST_F(ArbDemonstration, LaterStepsRunToTheEndWhateverHappens) {
    // A register write fails and segment 0 stays empty: the module's refusal of "INIT" reaches the
    // operator, and the result is still that of the last line's write.
    kqvisa::failCall(kqvisa::Op::MoveOut16, VI_ERROR_BERR);
    const std::vector<ViInt16> samples = {1, 2};
    ASSERT_EQ(kq7120_arbDeleteAllSegments(session), VI_SUCCESS);
    EXPECT_EQ(kq7120_arbScpi(session, 2, samples.data(), 0.001), VI_SUCCESS);
    const auto messages = sent();
    EXPECT_NE(std::find(messages.begin(), messages.end(), "INIT\n"), messages.end()) << "ran to its end";
    ASSERT_FALSE(popups().empty());
    EXPECT_EQ(popups().back().first, "ERROR");
    EXPECT_EQ(kqtest::kqModule(24).runState(), kqsim::RunState::Idle);

    // A failing clock or timer set-up ends the call with its status.
    kqvisa::clearTrace();
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_TMO, 4);
    EXPECT_EQ(kq7120_arbScpi(session, 2, samples.data(), 0.001), VI_ERROR_TMO);
    EXPECT_EQ(sent().back(), "*ESR?") << "nothing after the failed clock command";
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_arbScpi(session, 2, samples.data(), 0.0), kq7120_INSTRUMENT_ERROR)
        << "timer 0 is refused";
    EXPECT_EQ(sent().back(), "*ESR?");

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_arbScpi(session, -1, samples.data(), 0.001), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_arbScpi(session, 2, nullptr, 0.001), VI_ERROR_PARAMETER3);
    EXPECT_TRUE(kqvisa::trace().empty());
}

}  // namespace
