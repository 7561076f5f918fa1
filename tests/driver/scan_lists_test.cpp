// Channel modes, scan limits and scan tables.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "driver_test_support.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"

namespace {

using kqtest::DriverTest;
using Messages = std::vector<std::string>;

class ScanLists : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        kq7120 = open(kqtest::kKq7120Descriptor);
        kq7110 = open(kqtest::kKq7110Descriptor);
    }
    ViSession kq7120 = 0;
    ViSession kq7110 = 0;
};

TEST_F(ScanLists, ModeCommands) {
    const ViInt16 channels[] = {1, 3};
    const ViInt16 nine[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    struct Case {
        ViSession* session;
        ViInt16 mode;
        const ViInt16* list;
        ViInt16 count;
        ViStatus status;
        const char* command;
    };
    const Case cases[] = {
        {&kq7110, kq7120_SCAN_MODE_ALL_OFF, nullptr, 0, VI_SUCCESS, "SCAN OFF"},
        {&kq7120, kq7120_SCAN_MODE_LOOP, channels, 2, VI_SUCCESS, "SCAN LOOP, (@1,3)"},
        {&kq7120, kq7120_SCAN_MODE_ON, nine + 8, 1, VI_SUCCESS, "SCAN ON, (@9)"},
        {&kq7120, kq7120_SCAN_MODE_OFF, channels, 1, VI_SUCCESS, "SCAN OFF, (@1)"},
        {&kq7120, kq7120_SCAN_MODE_ARB, channels, 2, VI_SUCCESS, "SCAN ARB, (@1,3)"},
        {&kq7120, kq7120_SCAN_MODE_FIFO, channels, 2, VI_SUCCESS, "SCAN FIFO, (@1,3)"},
        {&kq7120, 6, channels, 2, VI_ERROR_PARAMETER2, nullptr},
        {&kq7120, -1, channels, 2, VI_ERROR_PARAMETER2, nullptr},
        {&kq7110, kq7120_SCAN_MODE_ON, nine + 8, 1, VI_ERROR_PARAMETER3, nullptr},
        {&kq7110, kq7120_SCAN_MODE_ON, nine, 9, VI_ERROR_PARAMETER4, nullptr},
        {&kq7120, kq7120_SCAN_MODE_ON, channels, 0, VI_ERROR_PARAMETER4, nullptr},
        {&kq7120, kq7120_SCAN_MODE_ON, nullptr, 1, VI_ERROR_PARAMETER3, nullptr},
    };
    for (const auto& c : cases) {
        kqvisa::clearTrace();
        EXPECT_EQ(kq7120_setupScanMode(*c.session, c.mode, c.list, c.count), c.status) << c.mode;
        EXPECT_EQ(sent(), (c.command ? Messages{c.command, "*ESR?"} : Messages{})) << c.mode;
    }
}

TEST_F(ScanLists, ModeReadBack) {
    const ViInt16 four[] = {4};
    ASSERT_EQ(kq7120_setupScanMode(kq7120, kq7120_SCAN_MODE_LOOP, four, 1), VI_SUCCESS);
    kqvisa::clearTrace();
    ViInt16 mode = -1;
    EXPECT_EQ(kq7120_queryScanMode(kq7120, 4, &mode), VI_SUCCESS);
    EXPECT_EQ(mode, kq7120_SCAN_MODE_LOOP);
    EXPECT_EQ(sent(), (Messages{"SCAN? 4", "*ESR?"}));

    struct Case {
        const char* reply;
        ViStatus status;
        ViInt16 mode;
    };
    const Case cases[] = {
        {"0\n", VI_SUCCESS, 0},
        {"1\n", VI_SUCCESS, 1},
        {"LOOP\n", VI_SUCCESS, 2},
        {"ARB\n", VI_SUCCESS, 3},
        {"FIFO\n", VI_SUCCESS, 4},
        {"ON\n", VI_ERROR_INV_RESPONSE, 9},
        {"loop\n", VI_ERROR_INV_RESPONSE, 9},
        {"1 \n", VI_ERROR_INV_RESPONSE, 9},
        {"\n", VI_ERROR_INV_RESPONSE, 9},
    };
    for (const auto& c : cases) {
        kqvisa::scriptReply("SCAN? 4", c.reply);
        mode = 9;
        EXPECT_EQ(kq7120_queryScanMode(kq7120, 4, &mode), c.status) << c.reply;
        EXPECT_EQ(mode, c.mode) << c.reply;
    }
    EXPECT_EQ(kq7120_queryScanMode(kq7110, 9, &mode), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryScanMode(kq7120, 1, nullptr), VI_ERROR_PARAMETER3);
}

TEST_F(ScanLists, LimitRoundTripAndChecks) {
    EXPECT_EQ(kq7120_setupScanLimit(kq7120, 3, 10), VI_SUCCESS);
    ViInt16 limit = 0;
    EXPECT_EQ(kq7120_queryScanLimit(kq7120, 3, &limit), VI_SUCCESS);
    EXPECT_EQ(limit, 10);
    EXPECT_EQ(sent(), (Messages{"SCAN:LIM 3, 10", "*ESR?", "SCAN:LIM? 3", "*ESR?"}));
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_setupScanLimit(kq7120, 17, 10), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_setupScanLimit(kq7110, 9, 10), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_setupScanLimit(kq7120, 3, 0), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_setupScanLimit(kq7120, 3, 513), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_queryScanLimit(kq7120, 0, &limit), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryScanLimit(kq7120, 3, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_TRUE(sent().empty());
}

TEST_F(ScanLists, TableWriteText) {
    const ViReal32 two[] = {1.5f, -2.0f};
    EXPECT_EQ(kq7120_setupScanList(kq7120, 4, two, 2), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"SCAN:TABL 4,1.500000,-2.000000", "*ESR?"}));

    // The longest table: 512 values of 11 characters with their commas, less the last comma.
    std::vector<ViReal32> full(512, -20.0f);
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_setupScanList(kq7120, 16, full.data(), 512), VI_SUCCESS);
    ASSERT_EQ(sent().size(), 2u);
    EXPECT_EQ(sent()[0].size(), 5644u);
    EXPECT_EQ(sent()[0].substr(0, 24), "SCAN:TABL 16,-20.000000,");

    std::vector<ViReal32> readBack(512, 0.0f);
    EXPECT_EQ(kq7120_queryScanList(kq7120, 16, 512, 1, readBack.data()), VI_SUCCESS);
    EXPECT_EQ(readBack, full);
}

TEST_F(ScanLists, TableWriteChecks) {
    std::vector<ViReal32> values(513, 0.0f);
    EXPECT_EQ(kq7120_setupScanList(kq7110, 9, values.data(), 1), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_setupScanList(kq7120, 1, values.data(), 0), VI_ERROR_PARAMETER4);
    EXPECT_EQ(kq7120_setupScanList(kq7120, 1, values.data(), 513), VI_ERROR_PARAMETER4);
    EXPECT_EQ(kq7120_setupScanList(kq7120, 1, nullptr, 1), VI_ERROR_PARAMETER3);
    values[511] = 20.0f;
    EXPECT_EQ(kq7120_setupScanList(kq7120, 1, values.data(), 512), VI_ERROR_PARAMETER3);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(kq7120_setupScanList(kq7120, 1, values.data(), 511), VI_SUCCESS);
}

TEST_F(ScanLists, SingleEntries) {
    EXPECT_EQ(kq7120_setupScanListAtIndex(kq7120, 3, 10, 1.25f), VI_SUCCESS);
    ViReal32 volts = 0.0f;
    EXPECT_EQ(kq7120_queryScanListAtIndex(kq7120, 3, 10, &volts), VI_SUCCESS);
    EXPECT_FLOAT_EQ(volts, 1.25f);
    EXPECT_EQ(sent(), (Messages{"SCAN:TABL 3 :LOC 10, 1.250000", "*ESR?", "SCAN:TABL 3:LOC? 10", "*ESR?"}));

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_setupScanListAtIndex(kq7120, 17, 1, 0.0f), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_setupScanListAtIndex(kq7120, 3, 0, 0.0f), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_setupScanListAtIndex(kq7120, 3, 513, 0.0f), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_setupScanListAtIndex(kq7120, 3, 1, 21.0f), VI_ERROR_PARAMETER4);
    EXPECT_EQ(kq7120_queryScanListAtIndex(kq7110, 9, 1, &volts), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryScanListAtIndex(kq7120, 3, 513, &volts), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_queryScanListAtIndex(kq7120, 3, 1, nullptr), VI_ERROR_PARAMETER4);
    EXPECT_TRUE(sent().empty());
}

TEST_F(ScanLists, TableReadWindow) {
    std::vector<ViReal32> values(13);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<ViReal32>(i) * 0.5f;
    std::vector<ViReal32> table(512, 0.0f);
    std::copy(values.begin(), values.end(), table.begin() + 499);
    ASSERT_EQ(kq7120_setupScanList(kq7120, 2, table.data(), 512), VI_SUCCESS);
    kqvisa::clearTrace();

    std::vector<ViReal32> readBack(14, -99.0f);
    EXPECT_EQ(kq7120_queryScanList(kq7120, 2, 13, 500, readBack.data()), VI_SUCCESS);
    EXPECT_EQ(std::vector<ViReal32>(readBack.begin(), readBack.begin() + 13), values);
    EXPECT_EQ(sent(), (Messages{"SCAN:TABL? 2 13,500", "*ESR?"}));

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_queryScanList(kq7120, 2, 14, 500, readBack.data()), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_queryScanList(kq7120, 2, 0, 1, readBack.data()), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_queryScanList(kq7120, 2, 1, 0, readBack.data()), VI_ERROR_PARAMETER4);
    EXPECT_EQ(kq7120_queryScanList(kq7120, 2, 1, 513, readBack.data()), VI_ERROR_PARAMETER4);
    EXPECT_EQ(kq7120_queryScanList(kq7120, 2, 1, 1, nullptr), VI_ERROR_PARAMETER5);
    EXPECT_EQ(kq7120_queryScanList(kq7110, 9, 1, 1, readBack.data()), VI_ERROR_PARAMETER2);
    EXPECT_TRUE(sent().empty());

    // A reply with more values than asked for fills only the caller's numOfVolts entries.
    kqvisa::scriptReply("SCAN:TABL? 2 3,1", "1.0,2.0,3.0,4.0,5.0\n");
    readBack.assign(14, -99.0f);
    EXPECT_EQ(kq7120_queryScanList(kq7120, 2, 3, 1, readBack.data()), VI_SUCCESS);
    EXPECT_EQ(std::vector<ViReal32>(readBack.begin(), readBack.begin() + 4),
              (std::vector<ViReal32>{1.0f, 2.0f, 3.0f, -99.0f}));
    // 15 bytes per value asked for, then the reply must have ended.
    kqvisa::scriptReply("SCAN:TABL? 2 1,1", std::string(20, '1') + "\n");
    EXPECT_EQ(kq7120_queryScanList(kq7120, 2, 1, 1, readBack.data()), kq7120_READ_BUFFER_FULL);
}

TEST_F(ScanLists, OneCallSetUpStepsAndTheirCodes) {
    const ViReal32 volts[] = {1.0f, 2.0f, 3.0f};
    EXPECT_EQ(kq7120_setupScanListParams(kq7120, 3, kq7120_SCAN_MODE_ON, 3, volts, 3), VI_SUCCESS);
    EXPECT_EQ(sent(),
              (Messages{"*RST", "*ESR?", "TRIG:SOUR TTLT0;SLOP POS", "*ESR?", "SCAN ON, (@3)", "*ESR?",
                        "SCAN:LIM 3, 3", "*ESR?", "SCAN:TABL 3,1.000000,2.000000,3.000000", "*ESR?"}));

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_setupScanListParams(kq7120, 3, kq7120_SCAN_MODE_ON, 0, volts, 3),
              kq7120_ERROR_SETTING_SCAN_LIMIT);
    EXPECT_EQ(sent(),
              (Messages{"*RST", "*ESR?", "TRIG:SOUR TTLT0;SLOP POS", "*ESR?", "SCAN ON, (@3)", "*ESR?"}));

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_setupScanListParams(kq7120, 3, 7, 3, volts, 3), kq7120_ERROR_SETTING_SCAN_MODE);
    EXPECT_EQ(sent(), (Messages{"*RST", "*ESR?", "TRIG:SOUR TTLT0;SLOP POS", "*ESR?"}))
        << "reset and trigger done";

    EXPECT_EQ(kq7120_setupScanListParams(kq7120, 3, kq7120_SCAN_MODE_LOOP, 3, volts, 0),
              kq7120_ERROR_SETTING_SCAN_LIST);
    kqvisa::scriptReply("*ESR?", "16\n");
    EXPECT_EQ(kq7120_setupScanListParams(kq7120, 3, kq7120_SCAN_MODE_LOOP, 3, volts, 3),
              kq7120_INSTRUMENT_ERROR)
        << "the reset's failure is returned unchanged";
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_TMO, 3);
    EXPECT_EQ(kq7120_setupScanListParams(kq7120, 3, kq7120_SCAN_MODE_LOOP, 3, volts, 3),
              kq7120_ERROR_SETTING_TRIGGER_PARAMS);
}

}  // namespace
