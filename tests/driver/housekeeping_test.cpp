// Self-test, revision, error queue, operation complete and the status registers.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "blocking_delay.h"
#include "driver_test_support.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"

namespace {

using kqtest::DriverTest;
using Messages = std::vector<std::string>;

class Housekeeping : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        session = open(kqtest::kKq7120Descriptor);
    }
    ViSession session = 0;
};

TEST_F(Housekeeping, SelfTestWaitsFiveSecondsWhateverTheModuleDoes) {
    kq7120::scaleWaitsForTests(1.0);
    ViInt16 result = -1;
    ViChar message[256] = {};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(kq7120_self_test(session, &result, message), VI_SUCCESS);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(message, "No Error");
    EXPECT_EQ(sent(), (Messages{"*TST?", "*ESR?"}));
    // The wait comes between the query and the read.
    const auto records = kqvisa::trace();
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records[0].op, kqvisa::Op::Write);
    EXPECT_EQ(records[1].op, kqvisa::Op::Read);
}

TEST_F(Housekeeping, SelfTestResultNamesTheFailedTests) {
    struct Case {
        const char* reply;
        ViInt16 result;
        const char* message;
    };
    const Case cases[] = {
        {"0\n", 0, "No Error"},
        {"32768\n", -32768, "Pattern RAM Flood Test Failed"},
        {"16384\n", 16384, "Pattern RAM Data Bus Test Failed"},
        {"8192\n", 8192, "Pattern RAM Address Bus Test Failed"},
        {"4096\n", 4096, "Interrupt Vector Register Test Failed"},
        {"-4096\n", -4096,
         "Pattern RAM Flood Test Failed,Pattern RAM Data Bus Test Failed,Pattern RAM Address Bus Test Failed,"
         "Interrupt Vector Register Test Failed"},
        {"40960\n", -24576, "Pattern RAM Flood Test Failed,Pattern RAM Address Bus Test Failed"},
        {"1\n", 1, ""},
    };
    for (const auto& c : cases) {
        kqvisa::scriptReply("*TST?", c.reply);
        ViInt16 result = 0;
        ViChar message[256] = "untouched";
        EXPECT_EQ(kq7120_selfTest(session, &result, message), VI_SUCCESS) << c.reply;
        EXPECT_EQ(result, c.result) << c.reply;
        EXPECT_STREQ(message, c.message) << c.reply;
    }
}

TEST_F(Housekeeping, SelfTestFailures) {
    ViInt16 result = 5;
    ViChar message[256] = "untouched";
    kqvisa::scriptReply("*TST?", std::string(30, '1'));
    EXPECT_EQ(kq7120_self_test(session, &result, message), kq7120_READ_BUFFER_FULL);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(kq7120_self_test(session, nullptr, message), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_self_test(session, &result, nullptr), VI_ERROR_PARAMETER3);
    kqvisa::scriptReply("*ESR?", "16\n");
    EXPECT_EQ(kq7120_self_test(session, &result, message), kq7120_INSTRUMENT_ERROR);
}

TEST_F(Housekeeping, RevisionTextsInEitherOrder) {
    ViChar first[256] = {};
    ViChar second[256] = {};
    kqvisa::scriptReply("*IDN?", "Maker,KQ7120,0,A.02.05\n", "", 2);
    EXPECT_EQ(kq7120_revision_query(session, first, second), VI_SUCCESS);
    EXPECT_STREQ(first, "2.78.00");
    EXPECT_STREQ(second, "A.02.05");
    EXPECT_EQ(kq7120_revisionQuery(session, first, second), VI_SUCCESS);
    EXPECT_STREQ(first, "A.02.05");
    EXPECT_STREQ(second, "2.78.00");
    EXPECT_EQ(sent(), (Messages{"*IDN?", "*ESR?", "*IDN?", "*ESR?"}));
}

TEST_F(Housekeeping, RevisionNeedsFourFields) {
    ViChar driver[256] = {};
    ViChar instrument[256] = "untouched";
    kqvisa::scriptReply("*IDN?", "Maker,KQ7120,0\n");
    EXPECT_EQ(kq7120_revision_query(session, driver, instrument), kq7120_INVALID_ID_RESPONSE);
    EXPECT_STREQ(instrument, "");
    kqvisa::scriptReply("*IDN?", "Maker,KQ7120,0," + std::string(80, 'r') + "\n");
    EXPECT_EQ(kq7120_revision_query(session, driver, instrument), kq7120_READ_BUFFER_FULL) << "75-byte limit";
    EXPECT_EQ(kq7120_revision_query(session, nullptr, instrument), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_revision_query(session, driver, nullptr), VI_ERROR_PARAMETER3);
}

TEST_F(Housekeeping, ErrorQueueEntryAfterARefusedCommand) {
    ViChar response[1025];
    ASSERT_EQ(kq7120_directIO(session, "NO:SUCH:COMMAND", response), kq7120_INSTRUMENT_ERROR);
    kqvisa::clearTrace();
    ViInt32 number = 0;
    ViChar text[256] = {};
    EXPECT_EQ(kq7120_error_query(session, &number, text), VI_SUCCESS);
    EXPECT_EQ(number, -113);
    EXPECT_EQ(std::string(text).back(), '\n') << "quotes and newline stay";
    EXPECT_EQ(text[0], '"');
    EXPECT_EQ(sent(), (Messages{"SYST:ERR?", "*ESR?"}));
    EXPECT_EQ(kq7120_errorQuery(session, &number, text), VI_SUCCESS);
    EXPECT_EQ(number, 0) << "the queue is empty now";
}

TEST_F(Housekeeping, ErrorReplySplitAtItsFirstComma) {
    struct Case {
        const char* reply;
        ViInt32 number;
        const char* text;
    };
    const Case cases[] = {
        {"-222,\"Data out of range, channel 9\"\n", -222, "\"Data out of range, channel 9\"\n"},
        {"0,\"No error\"\n", 0, "\"No error\"\n"},
        {"42\n", 42, "42\n"},
        {"x,y\n", 0, "y\n"},
    };
    for (const auto& c : cases) {
        kqvisa::scriptReply("SYST:ERR?", c.reply);
        ViInt32 number = 7;
        ViChar text[256] = {};
        EXPECT_EQ(kq7120_error_query(session, &number, text), VI_SUCCESS) << c.reply;
        EXPECT_EQ(number, c.number) << c.reply;
        EXPECT_STREQ(text, c.text);
    }
}

TEST_F(Housekeeping, ErrorTextIsBoundedAndTheCheckIgnored) {
    kqvisa::scriptReply("SYST:ERR?", "-100,\"" + std::string(600, 'e') + "\"\n");
    kqvisa::scriptReply("*ESR?", "4\n");
    ViInt32 number = 0;
    ViChar text[300];
    std::fill(std::begin(text), std::end(text), '#');
    EXPECT_EQ(kq7120_error_query(session, &number, text), VI_SUCCESS);
    EXPECT_EQ(number, -100);
    EXPECT_EQ(std::string(text).size(), 255u);
    EXPECT_EQ(text[256], '#') << "nothing written past 256 bytes";
    EXPECT_EQ(kq7120_error_query(session, nullptr, text), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_error_query(session, &number, nullptr), VI_ERROR_PARAMETER3);
}

TEST_F(Housekeeping, OperationCompleteAndClear) {
    EXPECT_EQ(kq7120_setOperComplete(session), VI_SUCCESS);
    ViInt16 complete = 0;
    EXPECT_EQ(kq7120_getOperComplete(session, &complete), VI_SUCCESS);
    EXPECT_EQ(complete, 1);
    EXPECT_EQ(kq7120_clearStatusRegister(session), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"*OPC", "*ESR?", "*OPC?", "*ESR?", "*CLS", "*ESR?"}));
    EXPECT_EQ(kq7120_getOperComplete(session, nullptr), VI_ERROR_PARAMETER2);
}

TEST_F(Housekeeping, StatusMasksCheckedFirstThenSentInOrder) {
    struct Case {
        ViInt16 service;
        ViInt16 event;
        ViInt16 operation;
        ViStatus status;
    };
    const Case refused[] = {
        {0, 256, 0, VI_ERROR_PARAMETER3},     {-1, 0, 0, VI_ERROR_PARAMETER2},
        {256, 256, 256, VI_ERROR_PARAMETER2}, {0, 0, 256, VI_ERROR_PARAMETER4},
        {255, 255, -1, VI_ERROR_PARAMETER4},
    };
    for (const auto& c : refused) {
        EXPECT_EQ(kq7120_setStatusMask(session, c.service, c.event, c.operation), c.status);
    }
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(kq7120_setStatusMask(session, 32, 60, 1), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"*SRE 32", "*ESR?", "*ESE 60", "*ESR?", "STAT:OPER:ENAB 1", "*ESR?"}));
    ViInt32 value = 0;
    EXPECT_EQ(kq7120_queryDeviceStatusReg(session, kq7120_EVENT_STATUS_ENABLE, &value), VI_SUCCESS);
    EXPECT_EQ(value, 60);

    kqvisa::clearTrace();
    kqvisa::scriptReply("*ESR?", "32\n");
    EXPECT_EQ(kq7120_setStatusMask(session, 1, 2, 3), kq7120_INSTRUMENT_ERROR);
    EXPECT_EQ(sent(), (Messages{"*SRE 1", "*ESR?"})) << "a failure stops the sequence";
}

TEST_F(Housekeeping, StatusRegisterQueries) {
    struct Case {
        ViInt16 selector;
        const char* query;
    };
    const Case cases[] = {
        {kq7120_STATUS_BYTE, "*STB?"},
        {kq7120_EVENT_REG, "*ESR?"},
        {kq7120_SERVICE_REQUEST_ENABLE, "*SRE?"},
        {kq7120_EVENT_STATUS_ENABLE, "*ESE?"},
        {kq7120_OPERATION_ENABLE, "STAT:OPER:ENAB?"},
        {kq7120_OPERATION_CONDITION, "STAT:OPER:COND?"},
    };
    for (const auto& c : cases) {
        kqvisa::clearTrace();
        ViInt32 value = -1;
        EXPECT_EQ(kq7120_queryDeviceStatusReg(session, c.selector, &value), VI_SUCCESS) << c.query;
        EXPECT_EQ(sent(), (Messages{c.query, "*ESR?"}));
    }
    kqvisa::clearTrace();
    ViInt32 value = 0;
    EXPECT_EQ(kq7120_queryDeviceStatusReg(session, 1006, &value), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryDeviceStatusReg(session, 1013, &value), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryDeviceStatusReg(session, kq7120_STATUS_BYTE, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_TRUE(sent().empty());
}

TEST_F(Housekeeping, EventRegisterReadIsNotTakenForAnError) {
    // A refused command leaves the command-error bit set; reading the register returns it and clears
    // it, so the check that follows finds nothing.
    ASSERT_EQ(kq7120_sendWSCmd(session, "NO:SUCH:COMMAND", 15), VI_SUCCESS);
    ViInt32 value = 0;
    EXPECT_EQ(kq7120_queryDeviceStatusReg(session, kq7120_EVENT_REG, &value), VI_SUCCESS);
    EXPECT_EQ(value & 0x20, 0x20);
}

}  // namespace
