// Register access: single words, block moves with and without address increment, a full FIFO,
// and the mapped window.
#include <chrono>
#include <thread>
#include <vector>

#include "visa_test_support.h"

namespace kqvisatest {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

class RegisterIoTest : public InstrumentTest {};

TEST_F(RegisterIoTest, WritesAndReadsSingleWords) {
    ASSERT_EQ(viOut16(session_, VI_A16_SPACE, 0x28, 0xBEEF), VI_SUCCESS);
    EXPECT_EQ(module_->registerValue(0x28), 0xBEEF);
    ViUInt16 value = 0;
    ASSERT_EQ(viIn16(session_, VI_A16_SPACE, 0x28, &value), VI_SUCCESS);
    EXPECT_EQ(value, 0xBEEF);
    ASSERT_EQ(viOut16(session_, VI_A16_SPACE, 0x3E, 1), VI_SUCCESS);

    struct AccessCase {
        ViUInt16 space;
        ViBusAddress offset;
        ViStatus status;
    };
    const AccessCase cases[] = {
        {VI_A24_SPACE, 0x20, VI_ERROR_INV_SPACE},
        {VI_A16_SPACE, 0x40, VI_ERROR_INV_OFFSET},
        {VI_A16_SPACE, ~ViBusAddress{0}, VI_ERROR_INV_OFFSET},
        {VI_A16_SPACE, 0x21, VI_ERROR_NSUP_ALIGN_OFFSET},
    };
    for (const AccessCase& c : cases) {
        EXPECT_EQ(viOut16(session_, c.space, c.offset, 1), c.status) << c.offset;
        EXPECT_EQ(viIn16(session_, c.space, c.offset, &value), c.status) << c.offset;
    }
    ViUInt8 byte = 0;
    EXPECT_EQ(viIn8(session_, VI_A16_SPACE, 0x28, &byte), VI_ERROR_NSUP_WIDTH);
    EXPECT_EQ(viOut8(session_, VI_A16_SPACE, 0x28, 1), VI_ERROR_NSUP_WIDTH);
}

TEST_F(RegisterIoTest, BlockMoveHonoursDestinationIncrement) {
    std::vector<ViUInt16> words = {1, 2, 3, 4};
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_DEST_INCREMENT, 0), VI_SUCCESS);
    ASSERT_EQ(viMoveOut16(session_, VI_A16_SPACE, 0x26, words.size(), words.data()), VI_SUCCESS);
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_DEST_INCREMENT, 1), VI_SUCCESS);
    ASSERT_EQ(viMoveOut16(session_, VI_A16_SPACE, 0x30, words.size(), words.data()), VI_SUCCESS);

    const std::vector<BlockWrite> blocks = module_->blockWrites();
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].offset, 0x26);
    EXPECT_FALSE(blocks[0].increment);
    EXPECT_EQ(blocks[0].words, words);
    EXPECT_EQ(module_->registerValue(0x26), 4);
    EXPECT_TRUE(blocks[1].increment);
    EXPECT_EQ(module_->registerValue(0x30), 1);
    EXPECT_EQ(module_->registerValue(0x36), 4);

    // With the increment the block must stay inside the module's registers; without it any length goes.
    EXPECT_EQ(viMoveOut16(session_, VI_A16_SPACE, 0x3C, 3, words.data()), VI_ERROR_INV_LENGTH);
    EXPECT_EQ(viMoveOut16(session_, VI_A16_SPACE, 0x20, ~ViBusSize{0}, words.data()), VI_ERROR_INV_LENGTH);
    EXPECT_EQ(viMoveOut16(session_, VI_A16_SPACE, 0x20, 0, nullptr), VI_SUCCESS);
    EXPECT_EQ(module_->blockWrites().size(), 2u);

    std::vector<ViUInt16> back(4);
    ASSERT_EQ(viMoveIn16(session_, VI_A16_SPACE, 0x30, back.size(), back.data()), VI_SUCCESS);
    EXPECT_EQ(back, words);
}

TEST_F(RegisterIoTest, FullFifoTimesOutAfterTheSessionTimeout) {
    module_->setFifoRoom(3);
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_DEST_INCREMENT, 0), VI_SUCCESS);
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_TMO_VALUE, 50), VI_SUCCESS);
    std::vector<ViUInt16> words = {10, 11, 12, 13, 14};
    const auto start = steady_clock::now();
    EXPECT_EQ(viMoveOut16(session_, VI_A16_SPACE, TestInstrument::kFifoPort, words.size(), words.data()),
              VI_ERROR_TMO);
    const auto elapsed = steady_clock::now() - start;
    EXPECT_GE(elapsed, milliseconds(50));
    EXPECT_LT(elapsed, milliseconds(1000));
    EXPECT_EQ(module_->fifoWords(), (std::vector<std::uint16_t>{10, 11, 12}));
    EXPECT_EQ(records(kqvisa::Op::MoveOut16).back().words, (std::vector<std::uint16_t>{10, 11, 12}));

    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_TMO_VALUE, VI_TMO_IMMEDIATE), VI_SUCCESS);
    EXPECT_EQ(viMoveOut16(session_, VI_A16_SPACE, TestInstrument::kFifoPort, 1, words.data()), VI_ERROR_TMO);
}

TEST_F(RegisterIoTest, FifoThatDrainsTakesTheWholeBlock) {
    module_->setFifoRoom(2);
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_DEST_INCREMENT, 0), VI_SUCCESS);
    std::thread drain([this] {
        std::this_thread::sleep_for(milliseconds(20));
        module_->setFifoRoom(100);
    });
    std::vector<ViUInt16> words = {1, 2, 3, 4, 5};
    EXPECT_EQ(viMoveOut16(session_, VI_A16_SPACE, TestInstrument::kFifoPort, words.size(), words.data()),
              VI_SUCCESS);
    drain.join();
    EXPECT_EQ(module_->fifoWords(), (std::vector<std::uint16_t>{1, 2, 3, 4, 5}));
}

TEST_F(RegisterIoTest, ClosingTheSessionEndsAWaitingMove) {
    module_->setFifoRoom(0);
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_DEST_INCREMENT, 0), VI_SUCCESS);
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_TMO_VALUE, VI_TMO_INFINITE), VI_SUCCESS);
    std::thread closer([this] {
        std::this_thread::sleep_for(milliseconds(20));
        viClose(rm_);
    });
    ViUInt16 word = 1;
    EXPECT_EQ(viMoveOut16(session_, VI_A16_SPACE, TestInstrument::kFifoPort, 1, &word), VI_ERROR_ABORT);
    closer.join();
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
}

TEST_F(RegisterIoTest, MappedWindowReadsThroughPeek) {
    ASSERT_EQ(viOut16(session_, VI_A16_SPACE, 0x20, 0x4000), VI_SUCCESS);
    ASSERT_EQ(viOut16(session_, VI_A16_SPACE, 0x22, 0x1234), VI_SUCCESS);
    ViAddr address = VI_NULL;
    ASSERT_EQ(viMapAddress(session_, VI_A16_SPACE, 0x20, 0x20, VI_FALSE, VI_NULL, &address), VI_SUCCESS);
    ASSERT_NE(address, nullptr);
    ViAddr again = VI_NULL;
    EXPECT_EQ(viMapAddress(session_, VI_A16_SPACE, 0x20, 0x20, VI_FALSE, VI_NULL, &again),
              VI_ERROR_WINDOW_MAPPED);
    ViUInt16 access = 0;
    ASSERT_EQ(viGetAttribute(session_, VI_ATTR_WIN_ACCESS, &access), VI_SUCCESS);
    EXPECT_EQ(access, VI_USE_OPERS);

    ViUInt16 value = 0;
    viPeek16(session_, address, &value);
    EXPECT_EQ(value, 0x4000);
    viPeek16(session_, static_cast<char*>(address) + 2, &value);
    EXPECT_EQ(value, 0x1234);
    viPoke16(session_, static_cast<char*>(address) + 4, 0x5555);
    EXPECT_EQ(module_->registerValue(0x24), 0x5555);
    viPeek16(session_, static_cast<char*>(address) + 0x20, &value);
    EXPECT_EQ(value, 0xFFFF);
    EXPECT_EQ(records(kqvisa::Op::Peek16).back().status, VI_ERROR_INV_OFFSET);

    ASSERT_EQ(viUnmapAddress(session_), VI_SUCCESS);
    EXPECT_EQ(viUnmapAddress(session_), VI_ERROR_WINDOW_NMAPPED);
    viPeek16(session_, address, &value);
    EXPECT_EQ(value, 0xFFFF);
    EXPECT_EQ(records(kqvisa::Op::Peek16).back().status, VI_ERROR_WINDOW_NMAPPED);

    EXPECT_EQ(viMapAddress(session_, VI_A24_SPACE, 0, 2, VI_FALSE, VI_NULL, &address), VI_ERROR_INV_SPACE);
    EXPECT_EQ(viMapAddress(session_, VI_A16_SPACE, 0x20, 0x21, VI_FALSE, VI_NULL, &address),
              VI_ERROR_INV_SIZE);
    EXPECT_EQ(viMapAddress(session_, VI_A16_SPACE, 0x20, 0, VI_FALSE, VI_NULL, &address), VI_ERROR_INV_SIZE);
    EXPECT_EQ(viMapAddress(session_, VI_A16_SPACE, 0x40, 2, VI_FALSE, VI_NULL, &address),
              VI_ERROR_INV_OFFSET);
}

}  // namespace
}  // namespace kqvisatest
