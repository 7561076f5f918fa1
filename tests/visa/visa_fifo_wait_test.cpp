// A block move into the FIFO of a simulated KQ module waits for room in simulated time: on the
// manual clock a FIFO that is not playing times out after exactly the session's timeout, and one
// that plays takes the whole block as it drains.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "kqsim/kq_module.h"
#include "kqsim/sim_clock.h"
#include "visa_test_support.h"

namespace kqvisatest {
namespace {

using namespace std::chrono_literals;

constexpr ViBusAddress kFifoPort = 0x20;

class FifoWaitTest : public VisaTest {
protected:
    void SetUp() override {
        VisaTest::SetUp();
        kqsim::installChassis(kqsim::defaultChassis());
        session_ = open("VXI0::24::INSTR");
        module_ = dynamic_cast<kqsim::KqModule*>(kqsim::currentMainframe()->find(0, 24)->instrument.get());
        ASSERT_NE(module_, nullptr);
        ASSERT_EQ(viSetAttribute(session_, VI_ATTR_DEST_INCREMENT, 0), VI_SUCCESS);
        ASSERT_EQ(viSetAttribute(session_, VI_ATTR_TMO_VALUE, 2000), VI_SUCCESS);
        send("SCAN FIFO,(@1)");  // internal clock: one word every 10 us once started
        std::vector<ViUInt16> fill(kqsim::kFifoDepthWords, 0x8000);
        ASSERT_EQ(viMoveOut16(session_, VI_A16_SPACE, kFifoPort, fill.size(), fill.data()), VI_SUCCESS);
    }
    void TearDown() override {
        kqsim::installMainframe(nullptr);
        VisaTest::TearDown();
    }

    void send(const char* command) { ASSERT_EQ(writeBytes(session_, command), VI_SUCCESS); }

    kqsim::ManualClockScope clock_;
    ViSession session_ = VI_NULL;
    kqsim::KqModule* module_ = nullptr;
};

TEST_F(FifoWaitTest, FullFifoThatIsNotPlayingTimesOutAfterExactlyTheTimeout) {
    std::vector<ViUInt16> block(1000, 0x9000);
    const kqsim::SimClock::time_point start = kqsim::SimClock::now();
    EXPECT_EQ(viMoveOut16(session_, VI_A16_SPACE, kFifoPort, block.size(), block.data()), VI_ERROR_TMO);
    EXPECT_EQ(kqsim::SimClock::now() - start, 2000ms);
    EXPECT_EQ(module_->fifoFill(), kqsim::kFifoDepthWords);
}

TEST_F(FifoWaitTest, PlayingFifoTakesTheWholeBlockAsItDrains) {
    send("INIT");
    std::vector<ViUInt16> block(5000, 0x9000);
    const kqsim::SimClock::time_point start = kqsim::SimClock::now();
    EXPECT_EQ(viMoveOut16(session_, VI_A16_SPACE, kFifoPort, block.size(), block.data()), VI_SUCCESS);
    const auto waited = kqsim::SimClock::now() - start;
    // The first sample left at INIT; every further word needs one more 10 us sample clock.
    EXPECT_GE(waited, 10us * 4999);
    EXPECT_LE(waited, 10us * 4999 + 1ms);
    EXPECT_EQ(module_->fifoFill(), kqsim::kFifoDepthWords);
    EXPECT_EQ(records(kqvisa::Op::MoveOut16).back().words.size(), block.size());
}

}  // namespace
}  // namespace kqvisatest
