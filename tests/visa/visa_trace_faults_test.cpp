// The bus trace and the injected faults: failing calls, short writes, scripted replies, and
// chassis set-ups that differ from the default.
#include <functional>
#include <string>
#include <vector>

#include "kqsim/chassis_config.h"
#include "visa_test_support.h"

namespace kqvisatest {
namespace {

using kqvisa::Op;

class TraceFaultsTest : public VisaTest {
protected:
    void SetUp() override {
        VisaTest::SetUp();
        first_ = open("VXI0::24::INSTR");
        second_ = open("VXI0::32::INSTR");
        kqvisa::clearTrace();
    }

    std::string query(ViSession session, const std::string& command) {
        EXPECT_EQ(writeBytes(session, command), VI_SUCCESS);
        ViStatus status = VI_SUCCESS;
        return readBytes(session, 1024, status);
    }

    ViSession first_ = VI_NULL;
    ViSession second_ = VI_NULL;
};

TEST_F(TraceFaultsTest, TraceRecordsEveryOperationInOrderAcrossSessions) {
    instruments_[0]->answer("*IDN?", "ID\n");
    ASSERT_EQ(writeBytes(first_, "*IDN?"), VI_SUCCESS);
    ASSERT_EQ(viOut16(second_, VI_A16_SPACE, 0x28, 7), VI_SUCCESS);
    ASSERT_EQ(viSetAttribute(first_, VI_ATTR_DEST_INCREMENT, 0), VI_SUCCESS);
    std::vector<ViUInt16> words = {5, 6, 7};
    ASSERT_EQ(viMoveOut16(first_, VI_A16_SPACE, 0x26, words.size(), words.data()), VI_SUCCESS);
    ViStatus status = VI_SUCCESS;
    ASSERT_EQ(readBytes(first_, 100, status), "ID\n");
    ASSERT_EQ(viPrintf(second_, "VOLT %d\n", 5), VI_SUCCESS);
    ViInt16 slot = 0;
    ASSERT_EQ(viGetAttribute(second_, VI_ATTR_SLOT, &slot), VI_SUCCESS);
    EXPECT_EQ(viClose(0xBAD), VI_ERROR_INV_OBJECT);

    const std::vector<kqvisa::TraceRecord> trace = kqvisa::trace();
    ASSERT_EQ(trace.size(), 8u);
    const Op ops[] = {Op::Write, Op::Out16, Op::SetAttribute, Op::MoveOut16,
                      Op::Read,  Op::Write, Op::GetAttribute, Op::Close};
    for (std::size_t i = 0; i < trace.size(); ++i)
        EXPECT_EQ(trace[i].op, ops[i]) << kqvisa::opName(trace[i].op);

    EXPECT_EQ(trace[0].session, first_);
    EXPECT_EQ(trace[0].resource, "VXI0::24::INSTR");
    EXPECT_EQ(trace[0].data, "*IDN?");
    EXPECT_FALSE(trace[0].formatted);
    EXPECT_EQ(trace[1].resource, "VXI0::32::INSTR");
    EXPECT_EQ(trace[1].offset, 0x28u);
    EXPECT_EQ(trace[1].value, 7u);
    EXPECT_EQ(trace[2].attribute, VI_ATTR_DEST_INCREMENT);
    EXPECT_EQ(trace[2].value, 0u);
    EXPECT_EQ(trace[3].words, (std::vector<std::uint16_t>{5, 6, 7}));
    EXPECT_EQ(trace[3].space, VI_A16_SPACE);
    EXPECT_EQ(trace[4].data, "ID\n");
    EXPECT_EQ(trace[4].status, VI_SUCCESS);
    EXPECT_TRUE(trace[5].formatted);
    EXPECT_EQ(trace[5].data, "VOLT 5\n");
    EXPECT_EQ(trace[6].value, 3u);
    EXPECT_EQ(trace[7].status, VI_ERROR_INV_OBJECT);

    EXPECT_EQ(kqvisa::writtenMessages(), (std::vector<std::string>{"*IDN?", "VOLT 5\n"}));
    EXPECT_EQ(kqvisa::writtenMessages("vxi::32"), (std::vector<std::string>{"VOLT 5\n"}));
    kqvisa::clearTrace();
    EXPECT_TRUE(kqvisa::trace().empty());
}

// A client that streams blocks for hours must not grow the trace: the oldest records go once the
// data they hold passes its budget, and recording can be switched off altogether.
TEST_F(TraceFaultsTest, TraceKeepsItsSizeBoundedAndCanBeSwitchedOff) {
    ASSERT_EQ(viSetAttribute(first_, VI_ATTR_DEST_INCREMENT, 0), VI_SUCCESS);
    std::vector<ViUInt16> block(262144);
    constexpr int kMoves = 80;  // 40 MiB of words in all
    for (int move = 0; move < kMoves; ++move) {
        block.front() = static_cast<ViUInt16>(move);
        ASSERT_EQ(viMoveOut16(first_, VI_A16_SPACE, 0x28, block.size(), block.data()), VI_SUCCESS);
    }
    const std::vector<kqvisa::TraceRecord> kept = kqvisa::trace();
    ASSERT_FALSE(kept.empty());
    std::size_t keptBytes = 0;
    for (const kqvisa::TraceRecord& record : kept) keptBytes += record.words.size() * sizeof(ViUInt16);
    EXPECT_LE(keptBytes, std::size_t{32} << 20);
    EXPECT_LT(kept.size(), static_cast<std::size_t>(kMoves));
    EXPECT_EQ(kept.back().words.front(), kMoves - 1) << "the newest records stay";

    kqvisa::clearTrace();
    kqvisa::setTraceRecording(false);
    ASSERT_EQ(viMoveOut16(first_, VI_A16_SPACE, 0x28, block.size(), block.data()), VI_SUCCESS);
    ASSERT_EQ(viOut16(second_, VI_A16_SPACE, 0x28, 7), VI_SUCCESS);
    EXPECT_TRUE(kqvisa::trace().empty());
    kqvisa::setTraceRecording(true);
    ASSERT_EQ(viOut16(second_, VI_A16_SPACE, 0x28, 8), VI_SUCCESS);
    ASSERT_EQ(kqvisa::trace().size(), 1u);
    EXPECT_EQ(kqvisa::trace().front().value, 8u);
}

TEST_F(TraceFaultsTest, NthCallFailsWithoutEffect) {
    struct FailCase {
        Op op;
        std::function<ViStatus()> call;
    };
    ViUInt16 word = 0;
    ViAddr address = VI_NULL;
    const FailCase cases[] = {
        {Op::Write, [&] { return writeBytes(first_, "*RST"); }},
        {Op::Read,
         [&] {
             instruments_[0]->queueReply("1\n");
             ViStatus status = VI_SUCCESS;
             readBytes(first_, 10, status);
             return status;
         }},
        {Op::Out16, [&] { return viOut16(first_, VI_A16_SPACE, 0x28, 1); }},
        {Op::In16, [&] { return viIn16(first_, VI_A16_SPACE, 0x28, &word); }},
        {Op::MoveOut16, [&] { return viMoveOut16(first_, VI_A16_SPACE, 0x28, 1, &word); }},
        {Op::SetAttribute, [&] { return viSetAttribute(first_, VI_ATTR_TMO_VALUE, 100); }},
        {Op::GetAttribute, [&] { return viGetAttribute(first_, VI_ATTR_SLOT, &word); }},
        {Op::Clear, [&] { return viClear(first_); }},
        {Op::ReadSTB, [&] { return viReadSTB(first_, &word); }},
        {Op::MapAddress,
         [&] {
             const ViStatus status =
                 viMapAddress(first_, VI_A16_SPACE, 0x20, 0x20, VI_FALSE, VI_NULL, &address);
             viUnmapAddress(first_);
             return status;
         }},
        {Op::OpenDefaultRM,
         [&] {
             ViSession rm = VI_NULL;
             const ViStatus status = viOpenDefaultRM(&rm);
             viClose(rm);
             return status;
         }},
        {Op::Open,
         [&] {
             ViSession session = VI_NULL;
             const ViStatus status = viOpen(rm_, "VXI0::24::INSTR", VI_NULL, 0, &session);
             viClose(session);
             return status;
         }},
        {Op::FindRsrc,
         [&] {
             ViChar descriptor[VI_FIND_BUFLEN];
             return viFindRsrc(rm_, "?*", VI_NULL, VI_NULL, descriptor);
         }},
        {Op::StatusDesc,
         [&] {
             ViChar text[VI_FIND_BUFLEN];
             return viStatusDesc(first_, VI_SUCCESS, text);
         }},
    };
    for (const FailCase& c : cases) {
        SCOPED_TRACE(kqvisa::opName(c.op));
        kqvisa::failCall(c.op, VI_ERROR_SYSTEM_ERROR, 2);
        EXPECT_EQ(c.call(), VI_SUCCESS);
        EXPECT_EQ(c.call(), VI_ERROR_SYSTEM_ERROR);
        EXPECT_EQ(c.call(), VI_SUCCESS);
    }

    instruments_[0]->queueReply("");
    const std::size_t before = instruments_[0]->writes().size();
    kqvisa::failCall(Op::Write, VI_ERROR_IO);
    EXPECT_EQ(viPrintf(first_, "VOLT 1\n"), VI_ERROR_IO);
    EXPECT_EQ(instruments_[0]->writes().size(), before);
    EXPECT_EQ(records(Op::Write).back().status, VI_ERROR_IO);
    EXPECT_TRUE(records(Op::Write).back().formatted);

    instruments_[0]->queueReply("5\n");
    kqvisa::failCall(Op::Read, VI_ERROR_TMO);
    int value = 0;
    EXPECT_EQ(viScanf(first_, "%d", &value), VI_ERROR_TMO);
    EXPECT_EQ(viScanf(first_, "%d", &value), VI_SUCCESS);
    EXPECT_EQ(value, 5);
}

TEST_F(TraceFaultsTest, ShortWriteHandsOverPartOfTheMessage) {
    kqvisa::shortWrite(3);
    ViUInt32 count = 0;
    EXPECT_EQ(writeBytes(first_, "*IDN?", &count), VI_SUCCESS);
    EXPECT_EQ(count, 3u);
    std::vector<ReceivedWrite> writes = instruments_[0]->writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].bytes, "*ID");
    EXPECT_FALSE(writes[0].end);
    EXPECT_EQ(records(Op::Write).back().data, "*ID");

    kqvisa::shortWrite(2, 2);
    EXPECT_EQ(writeBytes(first_, "N?", &count), VI_SUCCESS);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(viPrintf(first_, "VOLT 1\n"), VI_SUCCESS);
    writes = instruments_[0]->writes();
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(writes[2].bytes, "VO");
    EXPECT_FALSE(writes[2].end);
    EXPECT_EQ(writes[3].bytes, "LT 1\n");
    EXPECT_TRUE(writes[3].end);
    EXPECT_EQ(instruments_[0]->messages(), (std::vector<std::string>{"*IDN?", "VOLT 1\n"}));
}

TEST_F(TraceFaultsTest, ScriptedRepliesReplaceTheModules) {
    instruments_[0]->answer("*ESR?", "0\n");
    kqvisa::scriptReply("*ESR?", "260\n");
    EXPECT_EQ(query(first_, "*ESR?"), "260\n");
    EXPECT_EQ(instruments_[0]->messages().back(), "*ESR?");
    EXPECT_EQ(query(first_, "*ESR?"), "0\n");

    kqvisa::scriptReply("*IDN?", "X,KQ7130,1,A\n", "VXI0::32::INSTR");
    instruments_[0]->answer("*IDN?", "real\n");
    instruments_[1]->answer("*IDN?", "real\n");
    EXPECT_EQ(query(first_, "*IDN?"), "real\n");
    EXPECT_EQ(query(second_, "*IDN?"), "X,KQ7130,1,A\n");

    kqvisa::scriptReply("*IDN?", "no newline");
    ViStatus status = VI_ERROR_TMO;
    ASSERT_EQ(writeBytes(first_, "*IDN?"), VI_SUCCESS);
    EXPECT_EQ(readBytes(first_, 1024, status), "no newline");
    EXPECT_EQ(status, VI_SUCCESS);

    const std::string longReply = std::string(2000, 'L') + "\n";
    kqvisa::scriptReply("*IDN?", longReply);
    ASSERT_EQ(writeBytes(first_, "*IDN?"), VI_SUCCESS);
    EXPECT_EQ(readBytes(first_, 1024, status), longReply.substr(0, 1024));
    EXPECT_EQ(status, VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(readBytes(first_, 1024, status), longReply.substr(1024));
    EXPECT_EQ(status, VI_SUCCESS);

    // A formatted query ends its message with "\n"; an unread scripted reply goes with the next message.
    kqvisa::scriptReply("*ESR?", "4\n", "", 2);
    ViInt32 esr = 0;
    EXPECT_EQ(viQueryf(first_, "*ESR?\n", "%ld", &esr), VI_SUCCESS);
    EXPECT_EQ(esr, 4);
    ASSERT_EQ(writeBytes(first_, "*ESR?"), VI_SUCCESS);
    ASSERT_EQ(writeBytes(first_, "*RST"), VI_SUCCESS);
    EXPECT_EQ(readBytes(first_, 1024, status), "");
    EXPECT_EQ(query(first_, "*ESR?"), "0\n");

    kqvisa::scriptReply("*ESR?", "32\n", "", -1);
    EXPECT_EQ(query(first_, "*ESR?"), "32\n");
    EXPECT_EQ(query(second_, "*ESR?"), "32\n");
    kqvisa::resetFaults();
    EXPECT_EQ(query(first_, "*ESR?"), "0\n");
}

class ChassisConfigTest : public VisaTest {};

TEST_F(ChassisConfigTest, ChassisWithoutResources) {
    kqsim::installChassis(kqsim::ChassisConfig{});
    ViChar descriptor[VI_FIND_BUFLEN];
    ViUInt32 count = 99;
    EXPECT_EQ(viFindRsrc(rm_, "?*VXI?*INSTR", VI_NULL, &count, descriptor), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(count, 0u);
}

TEST_F(ChassisConfigTest, ModulesWithAnotherIdentity) {
    kqsim::installChassis(
        {.interface = kqsim::Interface::GpibVxi,
         .modules = {{.logicalAddress = 8, .slot = 5, .manufacturerId = 0xFFF, .modelCode = 0x200}}});

    ViSession session = VI_NULL;
    ASSERT_EQ(viOpen(rm_, "GPIB-VXI0::8::INSTR", VI_NULL, 0, &session), VI_SUCCESS);
    ViUInt16 manufacturer = 0;
    ViUInt16 model = 0;
    ViInt16 slot = 0;
    EXPECT_EQ(viGetAttribute(session, VI_ATTR_MANF_ID, &manufacturer), VI_SUCCESS);
    EXPECT_EQ(viGetAttribute(session, VI_ATTR_MODEL_CODE, &model), VI_SUCCESS);
    EXPECT_EQ(viGetAttribute(session, VI_ATTR_SLOT, &slot), VI_SUCCESS);
    EXPECT_EQ(manufacturer, 0xFFF);
    EXPECT_EQ(model, 0x200);
    EXPECT_EQ(slot, 5);
}

}  // namespace
}  // namespace kqvisatest
