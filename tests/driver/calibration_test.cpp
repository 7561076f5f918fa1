// Calibration constants and the security protocol around every calibration write. The simulated
// modules start with security on and the factory code "KQ7120".
#include <gtest/gtest.h>

#include <algorithm>
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

constexpr const char* kFactoryCode = "KQ7120";

class Calibration : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        kq7120 = open(kqtest::kKq7120Descriptor);
        kq7110 = open(kqtest::kKq7110Descriptor);
    }

    void switchSecurityOff(ViSession session) {
        ASSERT_EQ(kq7120_enableDisableSecState(session, kFactoryCode, kq7120_SEC_STATE_DISABLE), VI_SUCCESS);
        kqvisa::clearTrace();
    }

    static ViInt16 securityState(ViSession session) {
        ViInt16 state = -1;
        ViInt32 count = 0;
        std::array<ViInt16, 65> data{};
        EXPECT_EQ(kq7120_calibrationQuery(session, &state, &count, data.data()), VI_SUCCESS);
        return state;
    }

    ViSession kq7120 = 0;
    ViSession kq7110 = 0;
};

TEST_F(Calibration, SecuritySwitch) {
    const std::string twelve = "abcdefghijkl";
    EXPECT_EQ(kq7120_enableDisableSecState(kq7120, kFactoryCode, 1013), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_enableDisableSecState(kq7120, kFactoryCode, 1016), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_enableDisableSecState(kq7120, "", kq7120_SEC_STATE_DISABLE), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_enableDisableSecState(kq7120, nullptr, kq7120_SEC_STATE_DISABLE), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_enableDisableSecState(kq7120, "abcdefghijklm", kq7120_SEC_STATE_DISABLE),
              VI_ERROR_PARAMETER2);
    EXPECT_TRUE(sent().empty());

    EXPECT_EQ(kq7120_enableDisableSecState(kq7120, twelve.c_str(), kq7120_SEC_STATE_DISABLE),
              kq7120_INSTRUMENT_ERROR)
        << "a wrong code is refused by the module";
    EXPECT_EQ(sent(), (Messages{"CAL:SEC:STAT 0,#212abcdefghijkl", "*ESR?"}));
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_enableDisableSecState(kq7120, kFactoryCode, kq7120_SEC_STATE_DISABLE), VI_SUCCESS);
    EXPECT_EQ(kq7120_enableDisableSecState(kq7120, nullptr, kq7120_SEC_STATE_ENABLE), VI_SUCCESS)
        << "switching on takes no code";
    EXPECT_EQ(sent(), (Messages{"CAL:SEC:STAT 0,#16KQ7120", "*ESR?", "CAL:SEC:STAT 1", "*ESR?"}));
}

TEST_F(Calibration, OffsetGainWithSecurityOff) {
    switchSecurityOff(kq7120);
    EXPECT_EQ(kq7120_calibrateOffsetGain(kq7120, kFactoryCode, 3, -5, 12), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"CAL:SEC:STAT?", "*ESR?", "CAL3:GAIN -5;ZERO 12", "*ESR?"}));
    EXPECT_EQ(securityState(kq7120), 0) << "left off";
}

TEST_F(Calibration, OffsetGainWithSecurityOn) {
    EXPECT_EQ(kq7120_calibrateOffsetGain(kq7120, kFactoryCode, 3, -5, 12), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"CAL:SEC:STAT?", "*ESR?", "CAL:SEC:STAT 0,#16KQ7120", "*ESR?",
                                "CAL3:GAIN -5;ZERO 12", "*ESR?", "CAL:SEC:STAT 1", "*ESR?"}));
    EXPECT_EQ(securityState(kq7120), 1) << "on again";
}

TEST_F(Calibration, WrongCodeStopsBeforeTheWork) {
    EXPECT_EQ(kq7120_calibrateOffsetGain(kq7120, "wrong", 3, -5, 12), kq7120_INSTRUMENT_ERROR);
    EXPECT_EQ(sent(), (Messages{"CAL:SEC:STAT?", "*ESR?", "CAL:SEC:STAT 0,#15wrong", "*ESR?"}));
}

TEST_F(Calibration, FailedWorkStillSwitchesSecurityOnAgain) {
    // Writes: state query, its check, switch-off, its check, then the work, which fails.
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_TMO, 5);
    EXPECT_EQ(kq7120_calibrateOffsetGain(kq7120, kFactoryCode, 3, -5, 12), VI_ERROR_TMO);
    const Messages traffic = sent();
    ASSERT_EQ(traffic.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(traffic.end() - 2, traffic.end()),
              (Messages{"CAL:SEC:STAT 1", "*ESR?"}));
    EXPECT_EQ(securityState(kq7120), 1);
}

TEST_F(Calibration, FinalSwitchOnFailureIsReported) {
    // Writes: state query, its check, switch-off, its check, work, its check, switch-on.
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_TMO, 7);
    EXPECT_EQ(kq7120_calibrateOffsetGain(kq7120, kFactoryCode, 1, 0, 0), VI_ERROR_TMO);
}

TEST_F(Calibration, OffsetGainChecks) {
    struct Case {
        ViSession* session;
        const char* code;
        ViInt16 channel;
        ViInt16 gain;
        ViInt16 offset;
        ViStatus status;
    };
    const Case cases[] = {
        {&kq7120, "", 1, 0, 0, VI_ERROR_PARAMETER2},
        {&kq7120, "abcdefghijklm", 1, 0, 0, VI_ERROR_PARAMETER2},
        {&kq7120, nullptr, 1, 0, 0, VI_ERROR_PARAMETER2},
        {&kq7120, kFactoryCode, 17, 0, 0, VI_ERROR_PARAMETER3},
        {&kq7120, kFactoryCode, 0, 0, 0, VI_ERROR_PARAMETER3},
        {&kq7110, kFactoryCode, 9, 0, 0, VI_ERROR_PARAMETER3},
        {&kq7120, kFactoryCode, 1, 128, 0, VI_ERROR_PARAMETER4},
        {&kq7120, kFactoryCode, 1, -129, 0, VI_ERROR_PARAMETER4},
        {&kq7120, kFactoryCode, 1, 0, 128, VI_ERROR_PARAMETER5},
        {&kq7120, kFactoryCode, 1, 0, -129, VI_ERROR_PARAMETER5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kq7120_calibrateOffsetGain(*c.session, c.code, c.channel, c.gain, c.offset), c.status);
    }
    EXPECT_TRUE(sent().empty());
}

TEST_F(Calibration, DataBlockGoesOutAsSixtyFourBytes) {
    const std::string path = newFolder() + "/scpi.log";
    ASSERT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, path.c_str()), VI_SUCCESS);
    std::array<ViInt16, 64> block{};
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<ViInt16>(static_cast<int>(i) - 32);
    block[0] = -1;
    block[1] = 127;
    block[2] = -128;
    EXPECT_EQ(kq7120_calibrationDataBlock(kq7120, kFactoryCode, block.data()), VI_SUCCESS);
    const Messages traffic = sent();
    ASSERT_EQ(traffic.size(), 8u);
    const std::string& command = traffic[4];
    ASSERT_EQ(command.size(), 76u);
    EXPECT_EQ(command.substr(0, 12), "CAL:DATA#264");
    EXPECT_EQ(static_cast<unsigned char>(command[12]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(command[13]), 0x7F);
    EXPECT_EQ(static_cast<unsigned char>(command[14]), 0x80);
    EXPECT_EQ(command[12 + 32], '\0') << "zero bytes go out too";

    ViInt16 state = 0;
    ViInt32 count = 0;
    std::array<ViInt16, 66> readBack{};
    readBack.fill(-7);
    EXPECT_EQ(kq7120_calibrationQuery(kq7120, &state, &count, readBack.data()), VI_SUCCESS);
    EXPECT_EQ(std::vector<ViInt16>(readBack.begin(), readBack.begin() + 64),
              std::vector<ViInt16>(block.begin(), block.end()));
    EXPECT_EQ(readBack[64], 10000);
    EXPECT_EQ(readBack[65], -7);

    const std::string log = kqtest::fileContents(path);
    EXPECT_NE(log.find("\nCAL:DATA#264\xFF\x7F\x80"), std::string::npos);
    EXPECT_EQ(log.find("KQ7120"), std::string::npos) << "the code is not in the log";
}

TEST_F(Calibration, DataBlockChecks) {
    std::array<ViInt16, 64> block{};
    EXPECT_EQ(kq7120_calibrationDataBlock(kq7120, "", block.data()), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_calibrationDataBlock(kq7120, kFactoryCode, nullptr), VI_ERROR_PARAMETER3);
    block[63] = 128;
    EXPECT_EQ(kq7120_calibrationDataBlock(kq7120, kFactoryCode, block.data()), VI_ERROR_PARAMETER3);
    block[63] = -129;
    EXPECT_EQ(kq7120_calibrationDataBlock(kq7120, kFactoryCode, block.data()), VI_ERROR_PARAMETER3);
    EXPECT_TRUE(sent().empty());
}

TEST_F(Calibration, StoreReadsTheCount) {
    ViInt32 count = -1;
    EXPECT_EQ(kq7120_storeCalibrationData(kq7120, kFactoryCode, &count), VI_SUCCESS);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(sent(), (Messages{"CAL:SEC:STAT?", "*ESR?", "CAL:SEC:STAT 0,#16KQ7120", "*ESR?", "CAL:STOR",
                                "*ESR?", "CAL:COUNT?", "*ESR?", "CAL:SEC:STAT 1", "*ESR?"}));
    EXPECT_EQ(kq7120_storeCalibrationData(kq7120, kFactoryCode, &count), VI_SUCCESS);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(kq7120_storeCalibrationData(kq7120, "", &count), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_storeCalibrationData(kq7120, kFactoryCode, nullptr), VI_ERROR_PARAMETER3);
}

TEST_F(Calibration, AutoStore) {
    EXPECT_EQ(kq7120_enableDisableAutoStore(kq7120, kFactoryCode, kq7120_AUTO_SAVE_MODE_ON), VI_SUCCESS);
    const Messages traffic = sent();
    ASSERT_EQ(traffic.size(), 8u);
    EXPECT_EQ(traffic[4], "CAL:STOR:AUTO 1");
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_enableDisableAutoStore(kq7120, kFactoryCode, kq7120_AUTO_SAVE_MODE_OFF), VI_SUCCESS);
    EXPECT_EQ(sent()[4], "CAL:STOR:AUTO 0");
    EXPECT_EQ(kq7120_enableDisableAutoStore(kq7120, "", 1), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_enableDisableAutoStore(kq7120, kFactoryCode, 2), VI_ERROR_PARAMETER3);
}

// Two readings of "security on": exactly 1, or anything but 0.
TEST_F(Calibration, WhatCountsAsSecurityOn) {
    kqvisa::scriptReply("CAL:SEC:STAT?", "2\n");
    ViInt32 count = 0;
    EXPECT_EQ(kq7120_storeCalibrationData(kq7120, kFactoryCode, &count), VI_SUCCESS);
    EXPECT_EQ(sent()[2], "CAL:SEC:STAT 0,#16KQ7120") << "2 is on for the store";

    switchSecurityOff(kq7120);
    kqvisa::scriptReply("CAL:SEC:STAT?", "2\n");
    EXPECT_EQ(kq7120_calibrateOffsetGain(kq7120, kFactoryCode, 1, 1, 1), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"CAL:SEC:STAT?", "*ESR?", "CAL1:GAIN 1;ZERO 1", "*ESR?"}))
        << "2 is not on for a calibration write";
}

TEST_F(Calibration, ChangeSecurityCode) {
    const std::string path = newFolder() + "/scpi.log";
    ASSERT_EQ(kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, path.c_str()), VI_SUCCESS);
    EXPECT_EQ(kq7120_changeSecurityCode(kq7120, kFactoryCode, "newcode"), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"CAL:SEC:STAT?", "*ESR?", "CAL:SEC:STAT 0,#16KQ7120", "*ESR?",
                                "CAL:SEC:CODE #17newcode;STAT ON", "*ESR?"}));
    EXPECT_EQ(
        kqtest::fileContents(path),
        "CAL:SEC:STAT?\n*ESR?\nCAL:SEC:STAT 0,#16******\n*ESR?\nCAL:SEC:CODE #17*******;STAT ON\n*ESR?\n");
    EXPECT_EQ(securityState(kq7120), 1);
    EXPECT_EQ(kq7120_calibrateOffsetGain(kq7120, kFactoryCode, 1, 0, 0), kq7120_INSTRUMENT_ERROR)
        << "the old code no longer opens the module";
    EXPECT_EQ(kq7120_calibrateOffsetGain(kq7120, "newcode", 1, 0, 0), VI_SUCCESS);

    // Security off before: the change still leaves it on.
    ASSERT_EQ(kq7120_enableDisableSecState(kq7120, "newcode", kq7120_SEC_STATE_DISABLE), VI_SUCCESS);
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_changeSecurityCode(kq7120, "ignored", "abcdefghijkl"), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"CAL:SEC:STAT?", "*ESR?", "CAL:SEC:CODE #212abcdefghijkl;STAT ON", "*ESR?"}));
    EXPECT_EQ(securityState(kq7120), 1);

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_changeSecurityCode(kq7120, "", "x"), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_changeSecurityCode(kq7120, "x", "abcdefghijklm"), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_changeSecurityCode(kq7120, "x", nullptr), VI_ERROR_PARAMETER3);
    EXPECT_TRUE(sent().empty());
}

TEST_F(Calibration, QueryReadsStateCountAndBlock) {
    ViInt16 state = -1;
    ViInt32 count = -1;
    std::array<ViInt16, 66> data{};
    EXPECT_EQ(kq7120_calibrationQuery(kq7120, &state, &count, data.data()), VI_SUCCESS);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(data[64], 10000);
    EXPECT_EQ(sent(), (Messages{"CAL:SEC:STAT?", "*ESR?", "CAL:COUNT?", "*ESR?", "CAL:DATA?", "*ESR?"}));

    EXPECT_EQ(kq7120_calibrationQuery(kq7120, nullptr, &count, data.data()), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_calibrationQuery(kq7120, &state, nullptr, data.data()), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_calibrationQuery(kq7120, &state, &count, nullptr), VI_ERROR_PARAMETER4);
}

TEST_F(Calibration, QueryBlockIsBounded) {
    struct Case {
        std::string reply;
        ViStatus status;
        std::size_t marker;  // index of the end marker, when it succeeds
    };
    const Case cases[] = {
        {std::string("#15\x01\x02\x03\x04\x05\n"), VI_SUCCESS, 5},
        {"#265" + std::string(65, '\x01') + "\n", VI_ERROR_INV_RESPONSE, 0},
        {"#264" + std::string(10, '\x01') + "\n", VI_ERROR_INV_RESPONSE, 0},
        {"garbled\n", VI_ERROR_INV_RESPONSE, 0},
    };
    for (const auto& c : cases) {
        kqvisa::scriptReply("CAL:DATA?", c.reply);
        ViInt16 state = 0;
        ViInt32 count = 0;
        std::array<ViInt16, 70> data{};
        data.fill(-7);
        EXPECT_EQ(kq7120_calibrationQuery(kq7120, &state, &count, data.data()), c.status)
            << c.reply.substr(0, 4);
        if (c.status == VI_SUCCESS) {
            EXPECT_EQ(data[c.marker], 10000);
            EXPECT_EQ(data[c.marker + 1], -7);
        }
        EXPECT_EQ(data[65], -7) << "nothing past the caller's 65 entries";
        EXPECT_EQ(state, 1) << "earlier outputs stay filled";
    }
}

TEST_F(Calibration, OneCallCalibration) {
    ViInt32 count = -1;
    EXPECT_EQ(kq7120_calibrateInstrument(kq7120, 2, 4, -4, kFactoryCode, kq7120_DONT_STORE, &count),
              VI_SUCCESS);
    EXPECT_EQ(count, -1) << "not stored, count not written";
    Messages traffic = sent();
    EXPECT_EQ(std::vector<std::string>(traffic.begin(), traffic.begin() + 2), (Messages{"*IDN?", "*ESR?"}));
    EXPECT_EQ(std::count(traffic.begin(), traffic.end(), "CAL:STOR"), 0);

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_calibrateInstrument(kq7120, 2, 4, -4, kFactoryCode, kq7120_STORE, &count), VI_SUCCESS);
    EXPECT_EQ(count, 1);
    traffic = sent();
    EXPECT_EQ(std::count(traffic.begin(), traffic.end(), "CAL:STOR"), 1);

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_calibrateInstrument(kq7120, 2, 4, -4, kFactoryCode, 2, &count), VI_ERROR_PARAMETER6);
    EXPECT_EQ(sent(), (Messages{"*IDN?", "*ESR?"})) << "only the identification before the checks";
}

TEST_F(Calibration, OneCallCalibrationChecksAndStepCodes) {
    ViInt32 count = 0;
    struct Case {
        ViSession* session;
        ViInt16 channel;
        ViInt16 gain;
        ViInt16 offset;
        const char* code;
        ViUInt16 save;
        ViInt32* count;
        ViStatus status;
    };
    const Case cases[] = {
        {&kq7110, 9, 0, 0, kFactoryCode, 0, &count, VI_ERROR_PARAMETER2},
        {&kq7120, 17, 0, 0, kFactoryCode, 0, &count, VI_ERROR_PARAMETER2},
        {&kq7120, 1, 128, 0, kFactoryCode, 0, &count, VI_ERROR_PARAMETER3},
        {&kq7120, 1, 0, -129, kFactoryCode, 0, &count, VI_ERROR_PARAMETER4},
        {&kq7120, 1, 0, 0, nullptr, 0, &count, VI_ERROR_PARAMETER5},
        {&kq7120, 1, 0, 0, kFactoryCode, 1, nullptr, VI_ERROR_PARAMETER7},
        {&kq7120, 1, 0, 0, "", 0, &count, kq7120_ERROR_CALIBRATE_OFFSET_GAIN},
        {&kq7120, 1, 0, 0, "wrong", 1, &count, kq7120_ERROR_CALIBRATE_OFFSET_GAIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            kq7120_calibrateInstrument(*c.session, c.channel, c.gain, c.offset, c.code, c.save, c.count),
            c.status);
    }
    // The fifteenth write is the store: identification (2), calibration under security (8), then the
    // store's state query, check, switch-off and check.
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_TMO, 15);
    EXPECT_EQ(kq7120_calibrateInstrument(kq7120, 1, 0, 0, kFactoryCode, 1, &count),
              kq7120_ERROR_STORING_CAL_DATA);
}

}  // namespace
