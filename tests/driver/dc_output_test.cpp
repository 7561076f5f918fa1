// Channel voltages, output ranges, trigger source and DAC memory arrays.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "driver_test_support.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"
#include "model_table.h"
#include "voltage_list.h"

namespace {

using kq7120::voltageListText;
using kqtest::DriverTest;
using Messages = std::vector<std::string>;

class DcOutput : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        kq7120 = open(kqtest::kKq7120Descriptor);
        kq7110 = open(kqtest::kKq7110Descriptor);
    }
    ViSession kq7120 = 0;
    ViSession kq7110 = 0;
};

TEST_F(DcOutput, VoltageTextIsPrintedAsPercentLg) {
    struct Case {
        ViReal32 volts;
        std::vector<ViInt16> channels;
        const char* command;
    };
    const Case cases[] = {
        {2.5f, {1, 2, 16}, "SOUR:VOLT:LEV 2.5,(@1,2,16)"},
        {-20.0f, {3}, "SOUR:VOLT:LEV -20,(@3)"},
        {0.00001f, {1}, "SOUR:VOLT:LEV 1e-05,(@1)"},
        {19.99969f, {16, 1, 16}, "SOUR:VOLT:LEV 19.9997,(@16,1,16)"},
        {0.0f, {5}, "SOUR:VOLT:LEV 0,(@5)"},
        {-0.125f, {10, 11}, "SOUR:VOLT:LEV -0.125,(@10,11)"},
    };
    for (const auto& c : cases) {
        kqvisa::clearTrace();
        EXPECT_EQ(
            kq7120_setupVoltage(kq7120, c.volts, c.channels.data(), static_cast<ViInt16>(c.channels.size())),
            VI_SUCCESS)
            << c.command;
        EXPECT_EQ(sent(), (Messages{c.command, "*ESR?"}));
    }
    ViReal32 readBack = 0.0f;
    ASSERT_EQ(kq7120_queryVoltage(kq7120, 11, &readBack), VI_SUCCESS);
    EXPECT_NEAR(readBack, -0.125f, 0.001f) << "the module rounds to its DAC step";
}

TEST_F(DcOutput, VoltageChecksInOrderVoltageCountChannels) {
    struct Case {
        ViSession* session;
        ViReal32 volts;
        std::vector<ViInt16> channels;
        ViInt16 count;
        ViStatus status;
    };
    const std::vector<ViInt16> nine = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const Case cases[] = {
        {&kq7110, 25.0f, nine, 9, VI_ERROR_PARAMETER2},  {&kq7110, 19.9997f, {1}, 1, VI_ERROR_PARAMETER2},
        {&kq7110, -20.01f, {1}, 1, VI_ERROR_PARAMETER2}, {&kq7110, 1.0f, nine, 9, VI_ERROR_PARAMETER4},
        {&kq7110, 1.0f, {9}, 1, VI_ERROR_PARAMETER3},    {&kq7110, 1.0f, {1, 0}, 2, VI_ERROR_PARAMETER3},
        {&kq7120, 1.0f, {17}, 1, VI_ERROR_PARAMETER3},   {&kq7120, 1.0f, {1}, 0, VI_ERROR_PARAMETER4},
        {&kq7120, 1.0f, {1}, 17, VI_ERROR_PARAMETER4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kq7120_setupVoltage(*c.session, c.volts, c.channels.data(), c.count), c.status);
    }
    EXPECT_EQ(kq7120_setupVoltage(kq7120, 1.0f, nullptr, 1), VI_ERROR_PARAMETER3);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(kq7120_setupVoltage(kq7110, 1.0f, nine.data(), 8), VI_SUCCESS);
}

TEST_F(DcOutput, QueryVoltage) {
    const ViInt16 three[] = {3};
    ASSERT_EQ(kq7120_setupVoltage(kq7110, 1.5f, three, 1), VI_SUCCESS);
    kqvisa::clearTrace();
    ViReal32 volts = 0.0f;
    EXPECT_EQ(kq7120_queryVoltage(kq7110, 3, &volts), VI_SUCCESS);
    EXPECT_NEAR(volts, 1.5f, 0.001f) << "the module rounds to its DAC step";
    EXPECT_EQ(sent(), (Messages{"SOUR:VOLT:LEV? 3", "*ESR?"}));

    EXPECT_EQ(kq7120_queryVoltage(kq7110, 9, &volts), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryVoltage(kq7110, 0, &volts), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryVoltage(kq7120, 17, &volts), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryVoltage(kq7120, 1, nullptr), VI_ERROR_PARAMETER3);

    // The value is stored before the error check, so a flagged error still delivers it.
    kqvisa::scriptReply("SOUR:VOLT:LEV? 3", "1.25\n");
    kqvisa::scriptReply("*ESR?", "4\n");
    EXPECT_EQ(kq7120_queryVoltage(kq7110, 3, &volts), kq7120_INSTRUMENT_ERROR);
    EXPECT_FLOAT_EQ(volts, 1.25f);
    kqvisa::scriptReply("SOUR:VOLT:LEV? 3", "garbled\n");
    EXPECT_EQ(kq7120_queryVoltage(kq7110, 3, &volts), VI_SUCCESS);
    EXPECT_FLOAT_EQ(volts, 0.0f);
    kqvisa::scriptReply("SOUR:VOLT:LEV? 3", std::string(120, '1'));
    EXPECT_EQ(kq7120_queryVoltage(kq7110, 3, &volts), kq7120_READ_BUFFER_FULL) << "100-byte limit";
}

TEST_F(DcOutput, OutputRangeRoundTrip) {
    const ViInt16 channels[] = {1, 2};
    EXPECT_EQ(kq7120_setupVoltageRange(kq7120, kq7120_10VOLT_RANGE, channels, 2), VI_SUCCESS);
    ViInt16 range = -1;
    EXPECT_EQ(kq7120_queryVoltageRange(kq7120, 2, &range), VI_SUCCESS);
    EXPECT_EQ(range, kq7120_10VOLT_RANGE);
    EXPECT_EQ(kq7120_queryVoltageRange(kq7120, 3, &range), VI_SUCCESS);
    EXPECT_EQ(range, kq7120_20VOLT_RANGE);
    EXPECT_EQ(sent(),
              (Messages{"VOLT:RANG 10V,(@1,2)", "*ESR?", "volt:rang?2", "*ESR?", "volt:rang?3", "*ESR?"}));
}

TEST_F(DcOutput, OutputRangeChecksAndRefusals) {
    const std::array<ViInt16, 17> many{};
    const ViInt16 forty[] = {40};
    EXPECT_EQ(kq7120_setupVoltageRange(kq7120, 2, forty, 1), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_setupVoltageRange(kq7120, -1, forty, 1), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_setupVoltageRange(kq7120, 0, many.data(), 0), VI_ERROR_PARAMETER4);
    EXPECT_EQ(kq7120_setupVoltageRange(kq7120, 0, many.data(), 17), VI_ERROR_PARAMETER4);
    EXPECT_EQ(kq7120_setupVoltageRange(kq7120, 0, nullptr, 1), VI_ERROR_PARAMETER3);
    EXPECT_TRUE(sent().empty());
    // Channel numbers go to the module as given; it refuses the ones it lacks.
    EXPECT_EQ(kq7120_setupVoltageRange(kq7120, 0, forty, 1), kq7120_INSTRUMENT_ERROR);
    EXPECT_EQ(sent().front(), "VOLT:RANG 20V,(@40)");
}

TEST_F(DcOutput, OutputRangeReplyMustMatchExactly) {
    struct Case {
        const char* reply;
        ViStatus status;
        ViInt16 range;
    };
    const Case cases[] = {
        {"20V\n", VI_SUCCESS, 0},
        {"10V\n", VI_SUCCESS, 1},
        {"20 V\n", VI_ERROR_INV_RESPONSE, 9},
        {"10v\n", VI_ERROR_INV_RESPONSE, 9},
        {"20V\r\n", VI_ERROR_INV_RESPONSE, 9},
        {"\n", VI_ERROR_INV_RESPONSE, 9},
    };
    for (const auto& c : cases) {
        kqvisa::scriptReply("volt:rang?1", c.reply);
        ViInt16 range = 9;
        EXPECT_EQ(kq7120_queryVoltageRange(kq7120, 1, &range), c.status) << c.reply;
        EXPECT_EQ(range, c.range) << c.reply;
    }
    EXPECT_EQ(kq7120_queryVoltageRange(kq7120, 1, nullptr), VI_ERROR_PARAMETER3);
}

TEST_F(DcOutput, SoftwareTrigger) {
    EXPECT_EQ(kq7120_triggerEvent(kq7120), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"*TRG", "*ESR?"}));
}

TEST_F(DcOutput, TriggerThenVoltageWithStepCodes) {
    const ViInt16 channels[] = {1, 2};
    EXPECT_EQ(kq7120_setupAndWriteToDAC(kq7120, 1017, 1, 2.5f, channels, 2),
              kq7120_ERROR_SETTING_TRIGGER_PARAMS);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(kq7120_setupAndWriteToDAC(kq7120, kq7120_TRIG_SRC_EXT, 1, 25.0f, channels, 2),
              kq7120_ERROR_SETTING_OUTPUT_VOLTAGE);
    EXPECT_EQ(sent(), (Messages{"TRIG:SOUR EXT;SLOP POS", "*ESR?"}));
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_setupAndWriteToDAC(kq7120, kq7120_TRIG_SRC_AUTO, 0, 2.5f, channels, 2), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"TRIG:SOUR AUTO", "*ESR?", "SOUR:VOLT:LEV 2.5,(@1,2)", "*ESR?"}))
        << "no *TRG";
}

TEST_F(DcOutput, TriggerSourceCommands) {
    struct Case {
        ViSession* session;
        ViInt16 source;
        ViUInt16 slope;
        ViStatus status;
        const char* command;  // nullptr: nothing sent
    };
    const Case cases[] = {
        {&kq7110, kq7120_TRIG_SRC_INT_CH9, 0, VI_ERROR_PARAMETER2, nullptr},
        {&kq7120, kq7120_TRIG_SRC_INT_CH9, 0, VI_SUCCESS, "TRIG:SOUR INT9"},
        {&kq7110, kq7120_TRIG_SRC_INT_CH8, 1, VI_SUCCESS, "TRIG:SOUR INT8"},
        {&kq7120, kq7120_TRIG_SRC_INT_CH12, 1, VI_SUCCESS, "TRIG:SOUR INT12"},
        {&kq7120, kq7120_TRIG_SRC_AUTO, 2, VI_ERROR_PARAMETER3, nullptr},
        {&kq7120, kq7120_TRIG_SRC_AUTO, 0xFFFF, VI_ERROR_PARAMETER3, nullptr},
        {&kq7120, kq7120_TRIG_SRC_AUTO, 1, VI_SUCCESS, "TRIG:SOUR AUTO"},
        {&kq7120, kq7120_TRIG_SRC_EXT, 0, VI_SUCCESS, "TRIG:SOUR EXT;SLOP NEG"},
        {&kq7120, kq7120_TRIG_SRC_TTLTRG3, 1, VI_SUCCESS, "TRIG:SOUR TTLT3;SLOP POS"},
        {&kq7120, kq7120_TRIG_SRC_TTLTRG7, 0, VI_SUCCESS, "TRIG:SOUR TTLT7;SLOP NEG"},
        {&kq7120, kq7120_TRIG_SRC_TIMER, 1, VI_SUCCESS, "TRIG:SOUR TIM"},
        {&kq7120, kq7120_TRIG_SRC_EXTCLK, 1, VI_SUCCESS, "TRIG:SOUR EXTC"},
        {&kq7120, kq7120_TRIG_SRC_NONE, 0, VI_SUCCESS, "TRIG:SOUR NONE"},
        {&kq7120, 1017, 0, VI_ERROR_PARAMETER2, nullptr},
        {&kq7120, 1047, 0, VI_ERROR_PARAMETER2, nullptr},
    };
    for (const auto& c : cases) {
        kqvisa::clearTrace();
        EXPECT_EQ(kq7120_configTriggerParams(*c.session, c.source, c.slope), c.status) << c.source;
        EXPECT_EQ(sent(), (c.command ? Messages{c.command, "*ESR?"} : Messages{})) << c.source;
    }
}

TEST_F(DcOutput, EveryTriggerSourceReadsBack) {
    for (ViInt16 source = kq7120_TRIG_SRC_AUTO; source <= kq7120_TRIG_SRC_NONE; ++source) {
        for (const ViUInt16 slope : {ViUInt16{0}, ViUInt16{1}}) {
            ASSERT_EQ(kq7120_configTriggerParams(kq7120, source, slope), VI_SUCCESS) << source;
            ViInt16 readSource = 0;
            ViUInt16 readSlope = 9;
            ASSERT_EQ(kq7120_queryTriggerParams(kq7120, &readSource, &readSlope), VI_SUCCESS) << source;
            EXPECT_EQ(readSource, source);
            if (source >= kq7120_TRIG_SRC_EXT && source <= kq7120_TRIG_SRC_TTLTRG7) {
                EXPECT_EQ(readSlope, slope);
            }
        }
    }
    kqvisa::clearTrace();
    ViInt16 source = 0;
    ViUInt16 slope = 0;
    ASSERT_EQ(kq7120_queryTriggerParams(kq7120, &source, &slope), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"TRIG:SOUR?", "*ESR?", "TRIG:SLOP?", "*ESR?"}));
}

TEST_F(DcOutput, TriggerReplyWordsAndTheirOrder) {
    struct Case {
        const char* sourceReply;
        const char* slopeReply;
        ViInt16 source;
        ViUInt16 slope;
    };
    const Case cases[] = {
        {"INT 12\n", "POS\n", kq7120_TRIG_SRC_INT_CH12, 1},
        {"INT 1\n", "NEG\n", kq7120_TRIG_SRC_INT_CH1, 0},
        {"ttlt5\n", "POS\n", kq7120_TRIG_SRC_TTLTRG5, 1},
        {"EXTC\n", "NEG\n", kq7120_TRIG_SRC_EXTCLK, 0},
        {"EXT\n", "pos\n", kq7120_TRIG_SRC_EXT, 777},
        {"Timer TIM\n", "NEGPOS\n", kq7120_TRIG_SRC_TIMER, 1},
        {"garbled\n", "garbled\n", 4242, 777},
    };
    for (const auto& c : cases) {
        kqvisa::scriptReply("TRIG:SOUR?", c.sourceReply);
        kqvisa::scriptReply("TRIG:SLOP?", c.slopeReply);
        ViInt16 source = 4242;
        ViUInt16 slope = 777;
        EXPECT_EQ(kq7120_queryTriggerParams(kq7120, &source, &slope), VI_SUCCESS) << c.sourceReply;
        EXPECT_EQ(source, c.source) << c.sourceReply;
        EXPECT_EQ(slope, c.slope) << c.slopeReply;
    }
    ViInt16 source = 0;
    ViUInt16 slope = 0;
    EXPECT_EQ(kq7120_queryTriggerParams(kq7120, nullptr, &slope), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryTriggerParams(kq7120, &source, nullptr), VI_ERROR_PARAMETER3);
}

TEST_F(DcOutput, MemoryArrayTextHasOneValuePerChannel) {
    const std::array<ViReal32, 16> ones = [] {
        std::array<ViReal32, 16> values{};
        values.fill(1.5f);
        return values;
    }();
    EXPECT_EQ(kq7120_memorySetup(kq7110, 5, ones.data()), VI_SUCCESS);
    EXPECT_EQ(sent().front(),
              "MEM:SET 5,1.500000,1.500000,1.500000,1.500000,1.500000,1.500000,1.500000,1.500000");

    std::array<ViReal32, 16> values{};
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = -20.0f + 2.5f * static_cast<ViReal32>(i);
    values[15] = 19.99969f;
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_memorySetup(kq7120, 512, values.data()), VI_SUCCESS);
    const std::string command = sent().front();
    EXPECT_EQ(command.substr(0, 30), "MEM:SET 512,-20.000000,-17.500");
    EXPECT_EQ(command.substr(command.size() - 10), ",19.999689");

    std::array<ViReal32, 16> readBack{};
    EXPECT_EQ(kq7120_queryDACMemoryArray(kq7120, 512, readBack.data()), VI_SUCCESS);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_NEAR(readBack[i], values[i], 1e-5) << i;
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_sourceVoltageSetup(kq7120, 512), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"SOUR:VOLT:SET 512", "*ESR?"}));
    ViReal32 volts = 0.0f;
    ASSERT_EQ(kq7120_queryVoltage(kq7120, 2, &volts), VI_SUCCESS);
    EXPECT_FLOAT_EQ(volts, -17.5f);
}

TEST_F(DcOutput, MemoryArrayChecks) {
    std::array<ViReal32, 16> values{};
    ViReal32* list = values.data();
    for (const ViInt16 index : {ViInt16{0}, ViInt16{513}}) {
        EXPECT_EQ(kq7120_memorySetup(kq7120, index, list), VI_ERROR_PARAMETER2);
        EXPECT_EQ(kq7120_queryDACMemoryArray(kq7120, index, list), VI_ERROR_PARAMETER2);
        EXPECT_EQ(kq7120_sourceVoltageSetup(kq7120, index), VI_ERROR_PARAMETER2);
    }
    EXPECT_EQ(kq7120_memorySetup(kq7120, 1, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_queryDACMemoryArray(kq7120, 1, nullptr), VI_ERROR_PARAMETER3);
    values[15] = 20.0f;
    EXPECT_EQ(kq7120_memorySetup(kq7120, 1, list), VI_ERROR_PARAMETER3);
    EXPECT_TRUE(sent().empty());
    // An 8-channel module reads and tests only the first 8 values.
    values[8] = 99.0f;
    EXPECT_EQ(kq7120_memorySetup(kq7110, 1, list), VI_SUCCESS);
}

// The read is bounded by the caller's 16-element list, not by the model table: the module answers
// with one value per channel, a longer reply is cut at 16 and a short one fills what it has.
TEST_F(DcOutput, MemoryArrayReadFillsOneValuePerChannelOfTheModule) {
    std::array<ViReal32, 16> stored{};
    for (std::size_t i = 0; i < stored.size(); ++i) stored[i] = 0.25f * static_cast<ViReal32>(i + 1);
    ASSERT_EQ(kq7120_memorySetup(kq7120, 9, stored.data()), VI_SUCCESS);
    ASSERT_EQ(kq7120_memorySetup(kq7110, 9, stored.data()), VI_SUCCESS);

    // A KQ7120 at an address the model table has never seen, opened with VISA directly; its array is
    // written as SCPI text so that nothing identifies the module.
    kqsim::ChassisConfig chassis = kqtest::twoModuleChassis();
    chassis.modules.push_back(kqtest::module(kqsim::ModuleKind::KQ7120, 56, 6));
    install(chassis);
    ViSession resourceManager = 0;
    ASSERT_EQ(viOpenDefaultRM(&resourceManager), VI_SUCCESS);
    ViSession unidentified = 0;
    ASSERT_EQ(viOpen(resourceManager, "VXI0::56::INSTR", VI_NULL, 0, &unidentified), VI_SUCCESS);
    ViChar noReply[1025] = {};
    ASSERT_EQ(kq7120_directIO(unidentified, ("MEM:SET 9," + voltageListText(stored)).c_str(), noReply),
              VI_SUCCESS);
    ViInt16 model = -1;
    ASSERT_EQ(getModelNum(unidentified, &model), VI_SUCCESS);
    ASSERT_EQ(model, 0);

    struct Case {
        const char* name;
        ViSession session;
        std::size_t filled;
    };
    const Case cases[] = {
        {"KQ7120", kq7120, 16}, {"KQ7110", kq7110, 8}, {"opened with VISA", unidentified, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::array<ViReal32, 16> values{};
        values.fill(-99.0f);
        kqvisa::clearTrace();
        EXPECT_EQ(kq7120_queryDACMemoryArray(c.session, 9, values.data()), VI_SUCCESS);
        EXPECT_EQ(busLog(), (Messages{"write MEM:SET? 9", "read", "write *ESR?", "read"}))
            << "no model look-up";
        for (std::size_t i = 0; i < values.size(); ++i) {
            EXPECT_FLOAT_EQ(values[i], i < c.filled ? stored[i] : -99.0f) << "element " << i;
        }
    }
    viClose(resourceManager);

    std::string twenty;
    for (int i = 1; i <= 20; ++i) twenty += (i > 1 ? "," : "") + std::to_string(i) + ".000000";
    std::array<ViReal32, 24> values{};
    values.fill(-99.0f);
    kqvisa::scriptReply("MEM:SET? 7", twenty + "\n");
    EXPECT_EQ(kq7120_queryDACMemoryArray(kq7110, 7, values.data()), VI_SUCCESS);
    EXPECT_FLOAT_EQ(values[15], 16.0f);
    EXPECT_FLOAT_EQ(values[16], -99.0f) << "never more than 16 values";
    kqvisa::scriptReply("MEM:SET? 7", "1.5,2.5\n");
    values.fill(-99.0f);
    EXPECT_EQ(kq7120_queryDACMemoryArray(kq7110, 7, values.data()), VI_SUCCESS);
    EXPECT_FLOAT_EQ(values[1], 2.5f);
    EXPECT_FLOAT_EQ(values[2], -99.0f);
}

}  // namespace
