// viWrite and viRead: END, chunking, termination character, time-outs; viClear and viReadSTB.
#include <chrono>
#include <string>

#include "visa_test_support.h"

namespace kqvisatest {
namespace {

class MessageIoTest : public InstrumentTest {};

TEST_F(MessageIoTest, WriteSendsEndWithTheLastByteWhenEnabled) {
    ViUInt32 count = 0;
    EXPECT_EQ(writeBytes(session_, "*RST", &count), VI_SUCCESS);
    EXPECT_EQ(count, 4u);
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_SEND_END_EN, VI_FALSE), VI_SUCCESS);
    EXPECT_EQ(writeBytes(session_, "VOLT 1"), VI_SUCCESS);
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_SEND_END_EN, VI_TRUE), VI_SUCCESS);
    EXPECT_EQ(writeBytes(session_, ";VOLT 2"), VI_SUCCESS);
    EXPECT_EQ(writeBytes(session_, ""), VI_SUCCESS);

    const std::vector<ReceivedWrite> writes = module_->writes();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_TRUE(writes[0].end);
    EXPECT_FALSE(writes[1].end);
    EXPECT_TRUE(writes[2].end);
    EXPECT_EQ(module_->messages(), (std::vector<std::string>{"*RST", "VOLT 1;VOLT 2"}));
}

TEST_F(MessageIoTest, ReadEndsAtEndOrCountAndKeepsTheRest) {
    module_->answer("*IDN?", "HELLO WORLD\n");
    ASSERT_EQ(writeBytes(session_, "*IDN?"), VI_SUCCESS);
    ViStatus status = VI_SUCCESS;
    EXPECT_EQ(readBytes(session_, 5, status), "HELLO");
    EXPECT_EQ(status, VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(readBytes(session_, 7, status), " WORLD\n");
    EXPECT_EQ(status, VI_SUCCESS);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(readBytes(session_, 100, status), "");
    EXPECT_EQ(status, VI_ERROR_TMO);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));

    EXPECT_EQ(readBytes(session_, 0, status), "");
    EXPECT_EQ(status, VI_SUCCESS_MAX_CNT);
}

TEST_F(MessageIoTest, ReadCollectsAReplyTheModuleHandsOutInPieces) {
    module_->limitChunks(3);
    module_->queueReply("0123456789\n");
    ViStatus status = VI_SUCCESS;
    EXPECT_EQ(readBytes(session_, 1024, status), "0123456789\n");
    EXPECT_EQ(status, VI_SUCCESS);
}

TEST_F(MessageIoTest, HugeCountWritesOnlyTheReply) {
    module_->queueReply("42\n");
    std::string buffer(64, '\0');
    ViUInt32 got = 0;
    EXPECT_EQ(viRead(session_, reinterpret_cast<ViPBuf>(buffer.data()), 0xFFFFFFFF, &got), VI_SUCCESS);
    EXPECT_EQ(buffer.substr(0, got), "42\n");
}

TEST_F(MessageIoTest, TerminationCharacterEndsReadWhenEnabled) {
    module_->queueReply("1;2;3\n");
    ViStatus status = VI_SUCCESS;
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_TERMCHAR, ';'), VI_SUCCESS);
    EXPECT_EQ(readBytes(session_, 1, status), "1");
    EXPECT_EQ(status, VI_SUCCESS_MAX_CNT);
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
    EXPECT_EQ(readBytes(session_, 10, status), ";");
    EXPECT_EQ(status, VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(readBytes(session_, 10, status), "2;");
    EXPECT_EQ(status, VI_SUCCESS_TERM_CHAR);
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_TERMCHAR_EN, VI_FALSE), VI_SUCCESS);
    EXPECT_EQ(readBytes(session_, 10, status), "3\n");
    EXPECT_EQ(status, VI_SUCCESS);
}

TEST_F(MessageIoTest, SuppressedEndLeavesTheReadToCountOrTermination) {
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_SUPPRESS_END_EN, VI_TRUE), VI_SUCCESS);
    module_->queueReply("AB");
    ViStatus status = VI_SUCCESS;
    EXPECT_EQ(readBytes(session_, 10, status), "AB");
    EXPECT_EQ(status, VI_ERROR_TMO);
    module_->queueReply("AB\nCD");
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
    EXPECT_EQ(readBytes(session_, 10, status), "AB\n");
    EXPECT_EQ(status, VI_SUCCESS_TERM_CHAR);
}

TEST_F(MessageIoTest, ClearEmptiesModuleAndFormattedBuffers) {
    ASSERT_EQ(viPrintf(session_, "VOLT 1"), VI_SUCCESS);
    module_->queueReply("stale\n");
    ASSERT_EQ(viClear(session_), VI_SUCCESS);
    EXPECT_EQ(module_->deviceClears(), 1);
    ViStatus status = VI_SUCCESS;
    EXPECT_EQ(readBytes(session_, 10, status), "");
    EXPECT_EQ(status, VI_ERROR_TMO);
    ASSERT_EQ(viFlush(session_, VI_WRITE_BUF), VI_SUCCESS);
    EXPECT_TRUE(module_->writes().empty());
}

TEST_F(MessageIoTest, ReadsTheStatusByte) {
    module_->setStatusByte(0x50);
    ViUInt16 status = 0;
    ASSERT_EQ(viReadSTB(session_, &status), VI_SUCCESS);
    EXPECT_EQ(status, 0x50);
}

TEST_F(MessageIoTest, SessionsOnOneModuleShareItsMessages) {
    const ViSession other = open("VXI0::24::INSTR");
    module_->answer("Q?", "A\n");
    ASSERT_EQ(writeBytes(session_, "Q?"), VI_SUCCESS);
    ViUInt32 got = 0;
    char reply[8] = {};
    EXPECT_EQ(viRead(other, reinterpret_cast<ViPBuf>(reply), sizeof reply, &got), VI_SUCCESS);
    EXPECT_EQ(std::string(reply, got), "A\n");
}

TEST_F(MessageIoTest, TriggerAndEventsAreNotSupported) {
    EXPECT_EQ(viAssertTrigger(session_, VI_TRIG_PROT_DEFAULT), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viAssertTrigger(session_, 99), VI_ERROR_INV_PROT);
    EXPECT_EQ(viEnableEvent(session_, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viEnableEvent(session_, 0x1234, VI_QUEUE, VI_NULL), VI_ERROR_INV_EVENT);
    EXPECT_EQ(viDisableEvent(session_, VI_ALL_ENABLED_EVENTS, VI_ALL_MECH), VI_SUCCESS_EVENT_DIS);
    EXPECT_EQ(viDiscardEvents(session_, VI_EVENT_SERVICE_REQ, VI_QUEUE), VI_SUCCESS_QUEUE_EMPTY);
    EXPECT_EQ(viDisableEvent(session_, VI_EVENT_SERVICE_REQ, 0x80), VI_ERROR_INV_MECH);
}

}  // namespace
}  // namespace kqvisatest
