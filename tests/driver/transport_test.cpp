// The send, read and error-check operations, the typed queries, pass-through commands, and the SCPI log.
#include "transport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver_test_support.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"

namespace {

using kqtest::DriverTest;
using Messages = std::vector<std::string>;

class Transport : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        session = open(kqtest::kKq7120Descriptor);
    }
    ViSession session = 0;
};

TEST_F(Transport, SendChecksItsArgumentsAndWritesExactlyTheCount) {
    EXPECT_EQ(kq7120_sendWSCmd(0, "*RST", 4), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(kq7120_sendWSCmd(session, "", 4), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_sendWSCmd(session, nullptr, 4), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_sendWSCmd(session, "*RST", 0), VI_ERROR_PARAMETER3);
    EXPECT_TRUE(sent().empty());

    // A binary block goes out whole, zero bytes included.
    const char block[] = "CAL:DATA#14\x01\x00\x02\x03";
    ASSERT_EQ(kq7120_sendWSCmd(session, block, 15), VI_SUCCESS);
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0], std::string(block, 15));
}

TEST_F(Transport, ShortOrFailedWritesAreReported) {
    kqvisa::shortWrite(2);
    EXPECT_EQ(kq7120_sendWSCmd(session, "*CLS", 4), kq7120_WRITE_ERROR);
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_TMO);
    EXPECT_EQ(kq7120_sendWSCmd(session, "*CLS", 4), VI_ERROR_TMO);
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_TMO, 2);
    EXPECT_EQ(kq7120_clearStatusRegister(session), VI_ERROR_TMO) << "the error check's own failure";
}

TEST_F(Transport, ReplyOfExactlyTheCountNeedsItsNewline) {
    ViChar buffer[16];
    kqvisa::scriptReply("*IDN?", "ABCD\n");
    ASSERT_EQ(kq7120_sendWSCmd(session, "*IDN?", 5), VI_SUCCESS);
    EXPECT_EQ(kq7120_readData(session, buffer, 5), VI_SUCCESS);
    EXPECT_STREQ(buffer, "ABCD\n");

    kqvisa::scriptReply("*IDN?", "ABCDE\n");
    ASSERT_EQ(kq7120_sendWSCmd(session, "*IDN?", 5), VI_SUCCESS);
    EXPECT_EQ(kq7120_readData(session, buffer, 5), kq7120_READ_BUFFER_FULL);
    EXPECT_STREQ(buffer, "ABCDE") << "terminated after the bytes read";

    kqvisa::scriptReply("*IDN?", "AB");
    ASSERT_EQ(kq7120_sendWSCmd(session, "*IDN?", 5), VI_SUCCESS);
    EXPECT_EQ(kq7120_readData(session, buffer, 15), kq7120_READ_BUFFER_FULL) << "a reply without newline";

    EXPECT_EQ(kq7120_readData(0, buffer, 5), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(kq7120_readData(session, nullptr, 5), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_readData(session, buffer, 0), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_readData(session, buffer, -1), VI_ERROR_PARAMETER3);
    kqvisa::failCall(kqvisa::Op::Read, VI_ERROR_TMO);
    EXPECT_EQ(kq7120_readData(session, buffer, 15), VI_ERROR_TMO);
}

TEST_F(Transport, EventStatusBitsThatMeanARefusal) {
    struct Case {
        const char* reply;
        ViStatus status;
    };
    const Case cases[] = {
        {"0\n", VI_SUCCESS},
        {"1\n", VI_SUCCESS},                 // operation complete
        {"8\n", VI_SUCCESS},                 // device-dependent error
        {"128\n", VI_SUCCESS},               // power on
        {"4\n", kq7120_INSTRUMENT_ERROR},    // query error
        {"16\n", kq7120_INSTRUMENT_ERROR},   // execution error
        {"32\n", kq7120_INSTRUMENT_ERROR},   // command error
        {"260\n", kq7120_INSTRUMENT_ERROR},  // read as 4
        {"256\n", VI_SUCCESS},               // read as 0
        {"garbled\n", VI_SUCCESS},
        {"4", kq7120_READ_BUFFER_FULL},
    };
    for (const auto& c : cases) {
        kqvisa::clearTrace();
        kqvisa::scriptReply("*ESR?", c.reply);
        EXPECT_EQ(kq7120_check_instr_error(session), c.status) << c.reply;
        EXPECT_EQ(sent(), (Messages{"*ESR?"}));
    }
}

TEST_F(Transport, DirectIoReadsARepliesOnlyForQueries) {
    ViChar response[1025] = "untouched";
    EXPECT_EQ(kq7120_directIO(session, "*RST", response), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"*RST", "*ESR?"}));
    EXPECT_STREQ(response, "untouched");
    EXPECT_EQ(kq7120_directIO(session, "*CLS", nullptr), VI_SUCCESS) << "a command needs no reply buffer";

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_directIO(session, "*IDN?", response), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"*IDN?", "*ESR?"}));
    const auto reads = calls(kqvisa::Op::Read);
    ASSERT_FALSE(reads.empty());
    EXPECT_EQ(std::string(response), reads[0].data) << "the whole reply, newline included";
    EXPECT_EQ(std::string(response).back(), '\n');

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_directIO(session, nullptr, response), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_directIO(session, "", response), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_directIO(session, "*IDN?", nullptr), VI_ERROR_PARAMETER3);
    EXPECT_TRUE(sent().empty()) << "a query whose reply has nowhere to go is not sent";
}

TEST_F(Transport, DirectIoReportsTheModulesRefusal) {
    ViChar response[1025] = "untouched";
    EXPECT_EQ(kq7120_directIO(session, "NO:SUCH:COMMAND", response), kq7120_INSTRUMENT_ERROR);
    kqvisa::scriptReply("*ESR?", "4\n");
    EXPECT_EQ(kq7120_directIO(session, "*IDN?", response), kq7120_INSTRUMENT_ERROR);
    EXPECT_STREQ(response, "") << "no reply handed out after a refusal";
}

// The typed queries read every reply the module gives, garbled ones too, as the functions built on
// them always have; only a failed exchange leaves the value as it was.
TEST_F(Transport, IntegerQueryReadsTheLeadingNumber) {
    constexpr std::size_t kLimit = 16;
    struct Case {
        std::string reply;
        ViStatus status;
        ViInt32 wide;
        ViInt16 narrow;
    };
    const Case cases[] = {
        {"42\n", VI_SUCCESS, 42, 42},
        {" -7 V\n", VI_SUCCESS, -7, -7},
        {"+3\n", VI_SUCCESS, 3, 3},
        {"40960\n", VI_SUCCESS, 40960, -24576},
        {"2147483648\n", VI_SUCCESS, 0, 0},
        {"garbled\n", VI_SUCCESS, 0, 0},
        {"42", kq7120_READ_BUFFER_FULL, 5, 5},
        {std::string(kLimit, '1') + "\n", kq7120_READ_BUFFER_FULL, 5, 5},
    };
    for (const auto& c : cases) {
        kqvisa::clearTrace();
        kqvisa::scriptReply("*OPC?", c.reply, "", 2);
        ViInt32 wide = 5;
        ViInt16 narrow = 5;
        EXPECT_EQ(kq7120::queryInteger(session, "*OPC?", kLimit, wide), c.status) << c.reply;
        EXPECT_EQ(kq7120::queryInteger(session, "*OPC?", kLimit, narrow), c.status) << c.reply;
        EXPECT_EQ(wide, c.wide) << c.reply;
        EXPECT_EQ(narrow, c.narrow) << c.reply;
        const Messages expected = c.status == VI_SUCCESS ? Messages{"*OPC?", "*ESR?", "*OPC?", "*ESR?"}
                                                         : Messages{"*OPC?", "*OPC?"};
        EXPECT_EQ(sent(), expected) << c.reply;
    }
    kqvisa::scriptReply("*ESR?", "16\n");
    ViInt32 value = 5;
    EXPECT_EQ(kq7120::queryInteger(session, "*OPC?", kLimit, value), kq7120_INSTRUMENT_ERROR);
    EXPECT_EQ(value, 5) << "a refused query stores nothing";
}

TEST_F(Transport, RealQueryReadsTheLeadingNumber) {
    constexpr std::size_t kLimit = 16;
    struct Case {
        std::string reply;
        ViStatus status;
        ViReal32 value;
    };
    const Case cases[] = {
        {"1.25\n", VI_SUCCESS, 1.25f},
        {"-2.5E-3 V\n", VI_SUCCESS, -0.0025f},
        {"1e39\n", VI_SUCCESS, 0.0f},
        {"garbled\n", VI_SUCCESS, 0.0f},
        {"1.25", kq7120_READ_BUFFER_FULL, 9.0f},
        {std::string(kLimit, '1') + "\n", kq7120_READ_BUFFER_FULL, 9.0f},
    };
    for (const auto& c : cases) {
        kqvisa::scriptReply("*OPC?", c.reply);
        ViReal32 value = 9.0f;
        EXPECT_EQ(kq7120::queryReal(session, "*OPC?", kLimit, value), c.status) << c.reply;
        EXPECT_FLOAT_EQ(value, c.value) << c.reply;
    }
}

TEST_F(Transport, WordQueryTakesTheFirstLineOrTheWholeReply) {
    constexpr std::array<std::string_view, 2> kWords = {"OFF", "ON"};
    constexpr std::size_t kUntouched = 9;
    struct Case {
        const char* reply;
        std::size_t firstLine;  // the index read, kUntouched for a refused reply
        std::size_t wholeReply;
    };
    const Case cases[] = {
        {"ON\n", 1, 1},
        {"OFF\n", 0, 0},
        {"ON\nX", 1, kUntouched},
        {"ON\n\n", 1, kUntouched},
        {"on\n", kUntouched, kUntouched},
        {"ON \n", kUntouched, kUntouched},
        {"\n", kUntouched, kUntouched},
    };
    for (const auto& c : cases) {
        for (const auto& [extent, expected] : {std::pair{kq7120::WordExtent::FirstLine, c.firstLine},
                                               std::pair{kq7120::WordExtent::WholeReply, c.wholeReply}}) {
            kqvisa::scriptReply("*OPC?", c.reply);
            std::size_t index = kUntouched;
            EXPECT_EQ(kq7120::queryWordIndex(session, "*OPC?", kq7120_READ_BUFF_SIZE, kWords, extent, index),
                      expected == kUntouched ? VI_ERROR_INV_RESPONSE : VI_SUCCESS)
                << c.reply;
            EXPECT_EQ(index, expected) << c.reply;
        }
    }
}

class ScpiLog : public Transport {
protected:
    void SetUp() override {
        Transport::SetUp();
        path = newFolder() + "/scpi.log";
    }
    std::string path;
};

TEST_F(ScpiLog, RecordsEveryCommandAsItGoes) {
    ASSERT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, path.c_str()), VI_SUCCESS);
    EXPECT_EQ(kqtest::fileContents(path), "");
    ASSERT_EQ(kq7120_reset(session), VI_SUCCESS);
    EXPECT_EQ(kqtest::fileContents(path), "*RST\n*ESR?\n") << "complete on disk after each command";
    ViChar response[1025];
    ASSERT_EQ(kq7120_directIO(session, "*IDN?", response), VI_SUCCESS);
    EXPECT_EQ(kqtest::fileContents(path), "*RST\n*ESR?\n*IDN?\n*ESR?\n") << "replies are not logged";

    // Each record opens the file anew: one removed between commands comes back with the next record.
    std::remove(path.c_str());
    ASSERT_EQ(kq7120_clearStatusRegister(session), VI_SUCCESS);
    EXPECT_EQ(kqtest::fileContents(path), "*CLS\n*ESR?\n");

    // Switching on again empties the file; switching off leaves it.
    ASSERT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, path.c_str()), VI_SUCCESS);
    EXPECT_EQ(kqtest::fileContents(path), "");
    ASSERT_EQ(kq7120_triggerEvent(session), VI_SUCCESS);
    ASSERT_EQ(kq7120_enableDisableSCPILog(kq7120_NO_SCPI_LOG, nullptr), VI_SUCCESS);
    ASSERT_EQ(kq7120_reset(session), VI_SUCCESS);
    EXPECT_EQ(kqtest::fileContents(path), "*TRG\n*ESR?\n");
}

TEST_F(ScpiLog, RecordEndsAtTheFirstZeroByte) {
    ASSERT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, path.c_str()), VI_SUCCESS);
    ASSERT_EQ(kq7120_sendWSCmd(session, "ABC\0DEF", 7), VI_SUCCESS);
    EXPECT_EQ(kqtest::fileContents(path), "ABC\n");
}

TEST_F(ScpiLog, BadOptionOrNameChangesNothing) {
    const std::string longest = newFolder() + "/";
    const std::string name120 = longest + std::string(120 - longest.size(), 'n');
    const std::string name121 = name120 + "n";
    ASSERT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, path.c_str()), VI_SUCCESS);
    EXPECT_EQ(kq7120_enableDisableSCPILog(1046, path.c_str()), VI_ERROR_PARAMETER1);
    EXPECT_EQ(kq7120_enableDisableSCPILog(1049, path.c_str()), VI_ERROR_PARAMETER1);
    EXPECT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, nullptr), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, ""), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, name121.c_str()), VI_ERROR_PARAMETER2);
    ASSERT_EQ(kq7120_reset(session), VI_SUCCESS);
    EXPECT_EQ(kqtest::fileContents(path), "*RST\n*ESR?\n") << "still logging to the first file";

    ASSERT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, name120.c_str()), VI_SUCCESS);
    ASSERT_EQ(kq7120_reset(session), VI_SUCCESS);
    EXPECT_EQ(kqtest::fileContents(name120), "*RST\n*ESR?\n");
}

TEST_F(ScpiLog, FileThatCannotBeCreatedKeepsLoggingOn) {
    const std::string unreachable = newFolder() + "/missing/scpi.log";
    EXPECT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, unreachable.c_str()), kq7120_LOG_FILE_OPEN_ERROR);
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_reset(session), kq7120_LOG_FILE_OPEN_ERROR);
    EXPECT_EQ(sent(), (Messages{"*RST"})) << "the command went to the module before the log failed";
    ASSERT_EQ(kq7120_enableDisableSCPILog(kq7120_NO_SCPI_LOG, nullptr), VI_SUCCESS);
    EXPECT_EQ(kq7120_reset(session), VI_SUCCESS);
}

TEST_F(ScpiLog, WriteAndCloseFailuresAreReported) {
    ASSERT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, "/dev/full"), VI_SUCCESS);
    // A short record sits in the stream's buffer until the close, which fails.
    EXPECT_EQ(kq7120_sendWSCmd(session, "*CLS", 4), kq7120_LOG_FILE_CLOSE_ERROR);
    // A record larger than the buffer is written at once, and that write fails.
    const std::string longCommand = "*CLS;" + std::string(16384, ' ');
    EXPECT_EQ(kq7120_sendWSCmd(session, longCommand.c_str(), static_cast<ViUInt32>(longCommand.size())),
              kq7120_LOG_FILE_WRITE_ERROR);
    EXPECT_EQ(sent().size(), 2u) << "both commands reached the module";
}

TEST_F(ScpiLog, SecurityCodeNeverReachesTheFile) {
    ASSERT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, path.c_str()), VI_SUCCESS);
    kq7120_enableDisableSecState(session, "KQ7120", kq7120_SEC_STATE_DISABLE);
    EXPECT_EQ(sent().front(), "CAL:SEC:STAT 0,#16KQ7120") << "the module gets the code";
    EXPECT_EQ(kqtest::fileContents(path), "CAL:SEC:STAT 0,#16******\n*ESR?\n");
}

// Calibration constants that happen to spell ":SEC" are data, not a code: the log shows what the
// bus carries.
TEST_F(ScpiLog, CalibrationDataIsLoggedAsSentEvenWhenItSpellsSec) {
    std::array<ViInt16, kq7120_CAL_DATA_SIZE> constants{};
    constants.fill(1);
    const ViInt16 sec[] = {':', 'S', 'E', 'C'};
    std::copy(std::begin(sec), std::end(sec), constants.begin() + 20);
    ASSERT_EQ(kq7120_enableDisableSecState(session, "KQ7120", kq7120_SEC_STATE_DISABLE), VI_SUCCESS);
    ASSERT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, path.c_str()), VI_SUCCESS);
    kqvisa::clearTrace();
    ASSERT_EQ(kq7120_calibrationDataBlock(session, "KQ7120", constants.data()), VI_SUCCESS);
    const std::string block = "CAL:DATA#264" + std::string(20, '\x01') + ":SEC" + std::string(40, '\x01');
    EXPECT_EQ(sent(), (Messages{"CAL:SEC:STAT?", "*ESR?", block, "*ESR?"}));
    EXPECT_EQ(kqtest::fileContents(path), "CAL:SEC:STAT?\n*ESR?\n" + block + "\n*ESR?\n");
}

}  // namespace
