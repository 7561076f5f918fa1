// Status registers, error queue and reply handling of the engine, seen through its message interface.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scpi/error_queue.h"
#include "scpi/status_system.h"
#include "scpi_test_support.h"

namespace kqsim::scpi {
namespace {

using testing::RecordingTable;
using testing::Session;

class StatusTest : public ::testing::Test {
protected:
    StatusTest() : session(table.table()) { session.send("*CLS"); }

    std::string ask(std::string_view query) { return session.send(query); }

    RecordingTable table;
    Session session;
};

TEST(PowerOn, FirstEventReadShowsPowerOnOnly) {
    RecordingTable table;
    Session session(table.table());
    EXPECT_EQ(session.send("*ESR?"), "128\n");
    EXPECT_EQ(session.send("*ESR?"), "0\n");
}

TEST_F(StatusTest, EachErrorClassSetsItsEventBitAndReadingClears) {
    struct Case {
        std::string_view what;
        std::function<void(Session&)> cause;
        std::string esr;
    };
    const std::vector<Case> cases{
        {"command error", [](Session& s) { s.send("FOO"); }, "32\n"},
        {"execution error", [](Session& s) { s.send("TEST:EXEC"); }, "16\n"},
        {"device error", [](Session& s) { s.interpreter.reportError(err::selfTestFailed); }, "8\n"},
        {"positive device error", [](Session& s) { s.interpreter.reportError(42); }, "8\n"},
        {"query error",
         [](Session& s) {
             s.interpreter.writeMessage("*IDN?", true);
             s.send("*RST");
         },
         "4\n"},
        {"operation complete", [](Session& s) { s.send("*OPC"); }, "1\n"},
        {"two classes", [](Session& s) { s.send("TEST:EXEC;FOO"); }, "48\n"},
    };
    for (const auto& c : cases) {
        c.cause(session);
        EXPECT_EQ(ask("*ESR?"), c.esr) << c.what;
        EXPECT_EQ(ask("*ESR?"), "0\n") << c.what;
        session.send("*CLS");
    }
}

TEST(ErrorClasses, EventBits) {
    struct Case {
        int code;
        std::uint8_t bits;
    };
    for (const auto& c :
         {Case{0, 0}, Case{-100, esr::commandError}, Case{-199, esr::commandError},
          Case{-200, esr::executionError}, Case{-299, esr::executionError}, Case{-300, esr::deviceError},
          Case{-399, esr::deviceError}, Case{1, esr::deviceError}, Case{-400, esr::queryError},
          Case{-499, esr::queryError}, Case{-500, esr::powerOn}, Case{-600, esr::userRequest},
          Case{-700, esr::requestControl}, Case{-800, esr::operationComplete}}) {
        EXPECT_EQ(eventBitsForError(c.code), c.bits) << c.code;
    }
}

TEST(ErrorTexts, StandardNumbersAndClassFallback) {
    struct Case {
        int code;
        std::string_view text;
    };
    for (const auto& c : {Case{0, "No error"},
                          Case{-100, "Command error"},
                          Case{-101, "Invalid character"},
                          Case{-102, "Syntax error"},
                          Case{-103, "Invalid separator"},
                          Case{-104, "Data type error"},
                          Case{-108, "Parameter not allowed"},
                          Case{-109, "Missing parameter"},
                          Case{-112, "Program mnemonic too long"},
                          Case{-113, "Undefined header"},
                          Case{-114, "Header suffix out of range"},
                          Case{-120, "Numeric data error"},
                          Case{-121, "Invalid character in number"},
                          Case{-123, "Exponent too large"},
                          Case{-128, "Numeric data not allowed"},
                          Case{-131, "Invalid suffix"},
                          Case{-141, "Invalid character data"},
                          Case{-148, "Character data not allowed"},
                          Case{-150, "String data error"},
                          Case{-151, "Invalid string data"},
                          Case{-158, "String data not allowed"},
                          Case{-160, "Block data error"},
                          Case{-161, "Invalid block data"},
                          Case{-168, "Block data not allowed"},
                          Case{-200, "Execution error"},
                          Case{-221, "Settings conflict"},
                          Case{-222, "Data out of range"},
                          Case{-223, "Too much data"},
                          Case{-224, "Illegal parameter value"},
                          Case{-225, "Out of memory"},
                          Case{-240, "Hardware error"},
                          Case{-241, "Hardware missing"},
                          Case{-300, "Device-specific error"},
                          Case{-310, "System error"},
                          Case{-311, "Memory error"},
                          Case{-315, "Configuration memory lost"},
                          Case{-330, "Self-test failed"},
                          Case{-350, "Queue overflow"},
                          Case{-360, "Communication error"},
                          Case{-363, "Input buffer overrun"},
                          Case{-400, "Query error"},
                          Case{-410, "Query INTERRUPTED"},
                          Case{-420, "Query UNTERMINATED"},
                          Case{-430, "Query DEADLOCKED"},
                          Case{-440, "Query UNTERMINATED after indefinite response"},
                          Case{-199, "Command error"},
                          Case{-299, "Execution error"},
                          Case{-399, "Device-specific error"},
                          Case{17, "Device-specific error"},
                          Case{-499, "Query error"}}) {
        EXPECT_EQ(standardErrorText(c.code), c.text) << c.code;
    }
}

TEST_F(StatusTest, DeviceErrorsCarryTheirOwnText) {
    session.interpreter.defineError(101, "Scan list \"A\" too long");
    session.interpreter.defineError(err::selfTestFailed, "Pattern RAM test failed");
    session.interpreter.reportError(101);
    session.interpreter.reportError(err::selfTestFailed);
    EXPECT_EQ(session.drainErrors(), (std::vector<std::string>{"101,\"Scan list \"\"A\"\" too long\"",
                                                               "-330,\"Pattern RAM test failed\""}));
    EXPECT_EQ(ask("*ESR?"), "8\n");
}

TEST_F(StatusTest, QueueKeepsOrderAndOverflowReplacesNewest) {
    for (int i = 0; i < 25; ++i) session.send(i % 2 ? "FOO" : "VOLT 1,,2");
    const auto errors = session.drainErrors();
    ASSERT_EQ(errors.size(), ErrorQueue::defaultCapacity);
    EXPECT_EQ(errors[0], "-109,\"Missing parameter\"");
    EXPECT_EQ(errors[1], "-113,\"Undefined header\"");
    EXPECT_EQ(errors.back(), "-350,\"Queue overflow\"");
    EXPECT_EQ(ask("*ESR?"), "40\n");  // CME and DDE of the overflow
    EXPECT_EQ(ask("SYST:ERR?"), "0,\"No error\"\n");
}

TEST_F(StatusTest, ClearStatusEmptiesEventsAndQueueButKeepsEnables) {
    session.send("*ESE 60;*SRE 48;STAT:OPER:ENAB 16");
    session.interpreter.status().setOperationCondition(16, true);
    session.send("FOO");
    EXPECT_EQ(ask("*STB?"), "228\n");  // ESB, MSS, operation summary, error queue not empty
    session.send("*CLS");
    EXPECT_EQ(ask("*STB?"), "0\n");
    EXPECT_EQ(ask("SYST:ERR?"), "0,\"No error\"\n");
    EXPECT_EQ(ask("*ESE?;*SRE?;STAT:OPER:ENAB?;COND?"), "60;48;16;16\n");
}

TEST_F(StatusTest, StatusByteSummariesAndServiceRequest) {
    session.send("*ESE 32;*SRE 32");
    EXPECT_EQ(session.interpreter.statusByte(), 0);
    session.send("FOO");
    EXPECT_TRUE(session.interpreter.status().serviceRequested());
    EXPECT_EQ(session.interpreter.statusByte(), 0x04 | 0x20 | 0x40);  // error queue, ESB with RQS
    EXPECT_EQ(session.interpreter.statusByte(), 0x04 | 0x20);         // RQS cleared by the poll
    EXPECT_EQ(ask("*STB?"), "100\n");                                 // MSS stays while the cause stays
    session.interpreter.writeMessage("*OPC?", true);
    EXPECT_EQ(session.interpreter.statusByte() & 0x10, 0x10);  // MAV
    EXPECT_EQ(session.readAll(), "1\n");
    EXPECT_EQ(session.interpreter.statusByte() & 0x10, 0);
    EXPECT_EQ(ask("*ESR?"), "32\n");
    EXPECT_EQ(ask("*STB?"), "4\n");
    EXPECT_EQ(ask("SYST:ERR?"), "-113,\"Undefined header\"\n");
    EXPECT_EQ(ask("*STB?"), "0\n");
}

// A request whose cause is cleared before the controller polls is withdrawn, whichever summary
// raised it: the event summary (cleared by *CLS or *ESR?) or the error queue (SYST:ERR?, *CLS).
TEST_F(StatusTest, ServiceRequestGoesAwayWithItsCause) {
    struct Case {
        std::string_view enable;
        std::string_view clear;
    };
    const Case cases[] = {
        {"*ESE 32;*SRE 32", "*CLS"},
        {"*ESE 32;*SRE 32", "*ESR?"},
        {"*SRE 4", "SYST:ERR?"},
        {"*SRE 4", "*CLS"},
    };
    for (const Case& c : cases) {
        session.send(c.enable);
        session.send("FOO");
        EXPECT_TRUE(session.interpreter.status().serviceRequested()) << c.enable;
        session.send(c.clear);
        EXPECT_FALSE(session.interpreter.status().serviceRequested()) << c.clear;
        EXPECT_EQ(session.interpreter.statusByte() & 0x40, 0) << c.enable << " then " << c.clear;
        session.send("*CLS;*ESE 0;*SRE 0");
    }
}

TEST_F(StatusTest, EnableRegistersTakeBytesOnly) {
    session.send("*SRE 255");
    EXPECT_EQ(ask("*SRE?"), "191\n");  // bit 6 cannot be enabled
    session.send("*ESE 256");
    EXPECT_EQ(session.drainErrors(), std::vector<std::string>{"-222,\"Data out of range\""});
    session.send("*ESE");
    EXPECT_EQ(session.drainErrors(), std::vector<std::string>{"-109,\"Missing parameter\""});
    session.send("*CLS 1");
    EXPECT_EQ(session.drainErrors(), std::vector<std::string>{"-108,\"Parameter not allowed\""});
}

TEST_F(StatusTest, OperationAndQuestionableGroupsLatchRisingConditions) {
    StatusSystem& status = session.interpreter.status();
    struct Group {
        std::string_view node;  // as sent
        std::string_view longNode;
        std::function<void(std::uint16_t, bool)> setCondition;
        std::string summary;  // *STB? with the group's summary bit
    };
    const Group groups[] = {
        {"OPER", "OPERATION", [&](std::uint16_t bits, bool on) { status.setOperationCondition(bits, on); },
         "128\n"},
        {"QUES", "QUESTIONABLE",
         [&](std::uint16_t bits, bool on) { status.setQuestionableCondition(bits, on); }, "8\n"},
    };
    for (const Group& group : groups) {
        const std::string node = "STAT:" + std::string(group.node);
        session.send(node + ":ENAB 1");
        group.setCondition(0x11, true);
        EXPECT_EQ(ask(node + ":COND?"), "17\n") << node;
        EXPECT_EQ(ask("*STB?"), group.summary) << node;
        EXPECT_EQ(ask(node + "?"), "17\n") << node;
        EXPECT_EQ(ask("STATUS:" + std::string(group.longNode) + ":EVENT?"), "0\n") << node;
        group.setCondition(0x01, false);
        group.setCondition(0x10, true);  // already set: no new event
        EXPECT_EQ(ask(node + ":EVEN?;COND?"), "0;16\n") << node;
        session.send(node + ":ENAB 32767");
        EXPECT_EQ(ask(node + ":ENAB?"), "32767\n") << node;
        session.send("STAT:PRES");
        EXPECT_EQ(ask(node + ":ENAB?"), "0\n") << node;
        group.setCondition(0x10, false);
    }
    EXPECT_EQ(session.drainErrors(), std::vector<std::string>{});
}

TEST_F(StatusTest, OperationCompleteAndQuery) {
    EXPECT_EQ(ask("*OPC?"), "1\n");
    session.send("*OPC;*WAI");
    EXPECT_EQ(ask("*ESR?"), "1\n");
}

TEST_F(StatusTest, RepliesOfOneMessageAreJoined) {
    EXPECT_EQ(ask("*IDN?;*OPC?;SYST:ERR?"), "Q1;1;0,\"No error\"\n");
    EXPECT_EQ(ask("*OPC?;FOO;*OPC?"), "1\n");  // replies before a command error are kept
    EXPECT_EQ(session.drainErrors(), std::vector<std::string>{"-113,\"Undefined header\""});
    EXPECT_EQ(ask("*RST"), "");
    EXPECT_FALSE(session.interpreter.replyPending());
}

TEST_F(StatusTest, NewMessageInterruptsUnreadReply) {
    session.interpreter.writeMessage("*IDN?", true);
    session.interpreter.writeMessage("*RST", true);
    EXPECT_FALSE(session.interpreter.replyPending());
    EXPECT_EQ(session.drainErrors(), std::vector<std::string>{"-410,\"Query INTERRUPTED\""});

    session.interpreter.writeMessage("*IDN?", true);
    char first[2];
    EXPECT_EQ(session.interpreter.readReply(first, sizeof first).count, 2u);
    EXPECT_EQ(ask("*OPC?"), "1\n");  // the rest of the old reply is gone
    EXPECT_EQ(session.drainErrors(), std::vector<std::string>{"-410,\"Query INTERRUPTED\""});

    EXPECT_EQ(ask("*OPC?\n*IDN?\n"), "Q4\n");  // two messages in one write
    EXPECT_EQ(session.drainErrors(), std::vector<std::string>{"-410,\"Query INTERRUPTED\""});
    EXPECT_EQ(ask("*ESR?"), "4\n");
}

TEST_F(StatusTest, ReplyIsReadInChunks) {
    session.interpreter.writeMessage("SYST:ERR?", true);
    char buffer[8] = {};
    std::string reply;
    ReplyChunk chunk;
    do {
        chunk = session.interpreter.readReply(buffer, 5);
        reply.append(buffer, chunk.count);
        EXPECT_EQ(chunk.end, !session.interpreter.replyPending());
    } while (chunk.count == 5 && !chunk.end);
    EXPECT_EQ(reply, "0,\"No error\"\n");
    EXPECT_TRUE(chunk.end);
    const ReplyChunk none = session.interpreter.readReply(buffer, sizeof buffer);
    EXPECT_EQ(none.count, 0u);
    EXPECT_FALSE(none.end);
    EXPECT_EQ(session.drainErrors(), std::vector<std::string>{"-420,\"Query UNTERMINATED\""});

    session.interpreter.writeMessage("*OPC?", true);
    EXPECT_EQ(session.interpreter.readReply(buffer, 0).count, 0u);
    EXPECT_EQ(session.interpreter.readReply(nullptr, 8).count, 0u);
    const ReplyChunk exact = session.interpreter.readReply(buffer, 2);
    EXPECT_EQ(exact.count, 2u);
    EXPECT_TRUE(exact.end);
}

TEST_F(StatusTest, DeviceClearDropsBuffersKeepsStatus) {
    session.send("TEST:EXEC");
    session.interpreter.writeMessage("*IDN?", true);
    session.interpreter.deviceClear();
    EXPECT_FALSE(session.interpreter.replyPending());
    session.interpreter.writeMessage("VOLT 1,#0abc", false);  // half a message
    session.interpreter.deviceClear();
    EXPECT_EQ(ask("*OPC?"), "1\n");
    EXPECT_EQ(session.drainErrors(), std::vector<std::string>{"-222,\"Data out of range\""});
    EXPECT_EQ(ask("*ESR?"), "16\n");
    EXPECT_EQ(table.log.size(), 2u);  // TEST:EXEC and *IDN?, nothing of the dropped input
}

TEST(InputBounds, OverlongMessageIsDroppedUpToEnd) {
    RecordingTable table;
    Session session(table.table(), InterpreterLimits{.maxInputBytes = 1000});
    session.send("*CLS");
    session.send("VOLT " + std::string(2000, '1'));
    session.interpreter.writeMessage("VOLT 1," + std::string(600, '2'), false);
    session.interpreter.writeMessage(std::string(600, '3'), false);
    session.interpreter.writeMessage(";*RST\n*RST", true);  // still the overlong message
    EXPECT_EQ(session.send("*OPC?"), "1\n");
    EXPECT_EQ(session.drainErrors(),
              (std::vector<std::string>{"-363,\"Input buffer overrun\"", "-363,\"Input buffer overrun\""}));
    EXPECT_EQ(session.send("*ESR?"), "8\n");
    EXPECT_TRUE(table.log.empty());
}

// IEEE 488.2 resolves the deadlock by clearing the output queue and parsing on: every command of
// the message runs, and the message leaves nothing to read.
TEST(ReplyBounds, OverlongRepliesAreDroppedAndTheMessageRunsOn) {
    RecordingTable table;
    Session session(table.table(), InterpreterLimits{.maxReplyBytes = 40});
    std::string queries;
    for (int i = 0; i < 25; ++i) queries += "*IDN?;";
    EXPECT_EQ(session.send(queries + "*RST;*IDN?"), "");
    EXPECT_FALSE(session.interpreter.replyPending());
    EXPECT_EQ(session.drainErrors(), std::vector<std::string>{"-430,\"Query DEADLOCKED\""});
    EXPECT_EQ(table.log.size(), 27u);
    EXPECT_EQ(session.send("*IDN?"), "Q28\n");
}

}  // namespace
}  // namespace kqsim::scpi
