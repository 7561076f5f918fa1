// Sample clock, timer, marker, output trigger and data format: the exact texts, the checks made
// before anything is sent, and the reading of replies against the word tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver_test_support.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"

namespace {

using kqtest::DriverTest;
using Messages = std::vector<std::string>;

class WaveformSettings : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        session = open(kqtest::kKq7120Descriptor);
    }
    ViSession session = 0;
};

TEST_F(WaveformSettings, SettingTextsAndTheirChecks) {
    struct Case {
        const char* name;
        ViStatus (*call)(ViSession);
        ViStatus status;
        Messages sent;
    };
    const Case cases[] = {
        {"timer clock",
         [](ViSession s) { return kq7120_setupClock(s, kq7120_ROSC_TIMER, kq7120_POSITIVE); },
         VI_SUCCESS,
         {"ROSC:SOUR TIM;SLOP POS", "*ESR?"}},
        {"TTL line 7",
         [](ViSession s) { return kq7120_setupClock(s, kq7120_ROSC_TTLTRG7, kq7120_NEGATIVE); },
         VI_SUCCESS,
         {"ROSC:SOUR TTLT7;SLOP NEG", "*ESR?"}},
        {"external clock",
         [](ViSession s) { return kq7120_setupClock(s, kq7120_ROSC_EXTCLK, 1); },
         VI_SUCCESS,
         {"ROSC:SOUR EXTC;SLOP POS", "*ESR?"}},
        {"clock 12", [](ViSession s) { return kq7120_setupClock(s, 12, 0); }, VI_ERROR_PARAMETER2, {}},
        {"clock -1", [](ViSession s) { return kq7120_setupClock(s, -1, 0); }, VI_ERROR_PARAMETER2, {}},
        {"clock slope 2", [](ViSession s) { return kq7120_setupClock(s, 0, 2); }, VI_ERROR_PARAMETER3, {}},
        {"marker on",
         [](ViSession s) { return kq7120_setupMarker(s, kq7120_ON, kq7120_NEGATIVE); },
         VI_SUCCESS,
         {"MARK:SYNC:STAT ON;SLOP NEG", "*ESR?"}},
        {"marker off",
         [](ViSession s) { return kq7120_setupMarker(s, kq7120_OFF, kq7120_POSITIVE); },
         VI_SUCCESS,
         {"MARK:SYNC:STAT OFF;SLOP POS", "*ESR?"}},
        {"marker 2", [](ViSession s) { return kq7120_setupMarker(s, 2, 0); }, VI_ERROR_PARAMETER2, {}},
        {"marker slope 2", [](ViSession s) { return kq7120_setupMarker(s, 1, 2); }, VI_ERROR_PARAMETER3, {}},
        {"timer minimum",
         [](ViSession s) { return kq7120_setupTimer(s, 0.00001); },
         VI_SUCCESS,
         {"tim 0.0000100", "*ESR?"}},
        {"timer maximum",
         [](ViSession s) { return kq7120_setupTimer(s, 429.49); },
         VI_SUCCESS,
         {"tim 429.4900000", "*ESR?"}},
        {"timer default",
         [](ViSession s) { return kq7120_setupTimer(s, kq7120_DEFAUFT_TIMER_VALUE); },
         VI_SUCCESS,
         {"tim 0.0100000", "*ESR?"}},
        // No range test in the driver: the module refuses what it cannot time.
        {"timer 0",
         [](ViSession s) { return kq7120_setupTimer(s, 0.0); },
         kq7120_INSTRUMENT_ERROR,
         {"tim 0.0000000", "*ESR?"}},
        {"timer 1000",
         [](ViSession s) { return kq7120_setupTimer(s, 1000.0); },
         kq7120_INSTRUMENT_ERROR,
         {"tim 1000.0000000", "*ESR?"}},
        {"format signed",
         [](ViSession s) { return kq7120_setupDataFormat(s, kq7120_FORMAT_SIGNED); },
         VI_SUCCESS,
         {"VOLT:FORM 0", "*ESR?"}},
        {"format 5",
         [](ViSession s) { return kq7120_setupDataFormat(s, 5); },
         kq7120_INSTRUMENT_ERROR,
         {"VOLT:FORM 5", "*ESR?"}},
    };
    for (const auto& c : cases) {
        kqvisa::clearTrace();
        EXPECT_EQ(c.call(session), c.status) << c.name;
        EXPECT_EQ(sent(), c.sent) << c.name;
    }
    EXPECT_EQ(kq7120_setupClock(0, 0, 0), VI_ERROR_INV_OBJECT);
}

TEST_F(WaveformSettings, OutputTriggerIsThreeFormattedLinesWithoutErrorCheck) {
    ASSERT_EQ(kq7120_setupOutput(session, kq7120_OUT_TRIG_MARKER, 5, kq7120_NEGATIVE), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"outp:ttlt:sour MARK\n", "mark:sync:slop NEG\n", "outp:ttlt5\n"}));
    for (const auto& write : calls(kqvisa::Op::Write)) EXPECT_TRUE(write.formatted) << write.data;
    EXPECT_EQ(kqtest::kqModule(24).outputTriggerLine(), 5);
    EXPECT_EQ(kqtest::kqModule(24).outputTriggerSource(), kqsim::OutputTriggerSource::Marker);

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_setupOutput(session, 3, 0, 0), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_setupOutput(session, -1, 0, 0), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_setupOutput(session, 0, 8, 0), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_setupOutput(session, 0, -1, 0), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_setupOutput(session, 0, 0, 2), VI_ERROR_PARAMETER4);
    EXPECT_TRUE(kqvisa::trace().empty());

    // A failing line ends the call there.
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_TMO, 2);
    EXPECT_EQ(kq7120_setupOutput(session, kq7120_OUT_TRIG_TRIGGER, 1, kq7120_POSITIVE), VI_ERROR_TMO);
    EXPECT_EQ(sent(), (Messages{"outp:ttlt:sour TRIG\n"}));
}

TEST_F(WaveformSettings, ClockAndMarkerReadBack) {
    ASSERT_EQ(kq7120_setupClock(session, kq7120_ROSC_EXTCLK, kq7120_NEGATIVE), VI_SUCCESS);
    ASSERT_EQ(kq7120_setupMarker(session, kq7120_ON, kq7120_NEGATIVE), VI_SUCCESS);
    kqvisa::clearTrace();
    ViInt16 source = -1;
    ViUInt16 slope = 9;
    ASSERT_EQ(kq7120_queryClockParms(session, &source, &slope), VI_SUCCESS);
    EXPECT_EQ(source, kq7120_ROSC_EXTCLK);
    EXPECT_EQ(slope, kq7120_NEGATIVE);
    ViInt16 state = -1;
    ASSERT_EQ(kq7120_queryMarkerParms(session, &state, &slope), VI_SUCCESS);
    EXPECT_EQ(state, kq7120_ON);
    EXPECT_EQ(slope, kq7120_NEGATIVE);
    EXPECT_EQ(sent(), (Messages{"rosc:sour?", "*ESR?", "rosc:slop?", "*ESR?", "MARK:SYNC:STAT?", "*ESR?",
                                "MARK:SYNC:slop?", "*ESR?"}));

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_queryClockParms(session, nullptr, &slope), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryClockParms(session, &source, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_queryMarkerParms(session, nullptr, &slope), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryMarkerParms(session, &state, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_TRUE(sent().empty());
}

TEST_F(WaveformSettings, ClockRepliesMatchWholeWordsExactly) {
    struct Case {
        const char* reply;
        ViStatus status;
        ViInt16 source;
    };
    const Case cases[] = {
        {"EXTC\n", VI_SUCCESS, kq7120_ROSC_EXTCLK},
        {"EXT\n", VI_SUCCESS, kq7120_ROSC_EXT},
        {"TTLT0\n", VI_SUCCESS, kq7120_ROSC_TTLTRG0},
        {"INT\n", VI_SUCCESS, kq7120_ROSC_INTERNAL},
        {"TIM\n", VI_SUCCESS, kq7120_ROSC_TIMER},
        {"tim\n", VI_ERROR_INV_RESPONSE, -1},
        {"TTLT8\n", VI_ERROR_INV_RESPONSE, -1},
        {"TIM \n", VI_ERROR_INV_RESPONSE, -1},
        {"\n", VI_ERROR_INV_RESPONSE, -1},
    };
    for (const auto& c : cases) {
        kqvisa::scriptReply("rosc:sour?", c.reply);
        ViInt16 source = -1;
        ViUInt16 slope = 9;
        EXPECT_EQ(kq7120_queryClockParms(session, &source, &slope), c.status) << c.reply;
        EXPECT_EQ(source, c.source) << c.reply;
    }
    kqvisa::scriptReply("rosc:slop?", "pos\n");
    ViInt16 source = -1;
    ViUInt16 slope = 9;
    EXPECT_EQ(kq7120_queryClockParms(session, &source, &slope), VI_ERROR_INV_RESPONSE);
    EXPECT_EQ(slope, 9) << "a slope in the wrong case is not read";
    kqvisa::scriptReply("MARK:SYNC:slop?", "POSITIVE\n");
    ViInt16 state = -1;
    EXPECT_EQ(kq7120_queryMarkerParms(session, &state, &slope), VI_ERROR_INV_RESPONSE);
    EXPECT_EQ(state, 0) << "the state was read before the slope failed";
}

TEST_F(WaveformSettings, TimerIsReadWithFormattedIo) {
    ASSERT_EQ(kq7120_setupTimer(session, 0.25), VI_SUCCESS);
    kqvisa::clearTrace();
    ViReal64 period = 0.0;
    ASSERT_EQ(kq7120_queryTimer(session, &period), VI_SUCCESS);
    EXPECT_DOUBLE_EQ(period, 0.25);
    const auto writes = calls(kqvisa::Op::Write);
    ASSERT_EQ(writes.size(), 1u) << "no error check follows";
    EXPECT_EQ(writes[0].data, "tim?\n");
    EXPECT_TRUE(writes[0].formatted);

    kqvisa::scriptReply("tim?", "1.5E-05\n");
    ASSERT_EQ(kq7120_queryTimer(session, &period), VI_SUCCESS);
    EXPECT_DOUBLE_EQ(period, 1.5e-05);
    EXPECT_EQ(kq7120_queryTimer(session, nullptr), VI_ERROR_PARAMETER2);
    kqvisa::failCall(kqvisa::Op::Read, VI_ERROR_TMO);
    period = 7.0;
    EXPECT_EQ(kq7120_queryTimer(session, &period), VI_ERROR_TMO);
    EXPECT_DOUBLE_EQ(period, 7.0);
}

TEST_F(WaveformSettings, DataFormatReadBack) {
    ViInt16 format = -1;
    ASSERT_EQ(kq7120_queryDataFormat(session, &format), VI_SUCCESS);
    EXPECT_EQ(format, kq7120_FORMAT_UNSIGNED) << "the reset state";
    ASSERT_EQ(kq7120_setupDataFormat(session, kq7120_FORMAT_SIGNED), VI_SUCCESS);
    kqvisa::clearTrace();
    ASSERT_EQ(kq7120_queryDataFormat(session, &format), VI_SUCCESS);
    EXPECT_EQ(format, kq7120_FORMAT_SIGNED);
    EXPECT_EQ(sent(), (Messages{"VOLT:FORM ?", "*ESR?"}));
    EXPECT_EQ(kq7120_queryDataFormat(session, nullptr), VI_ERROR_PARAMETER2);
}

TEST_F(WaveformSettings, OutputTriggerReadBack) {
    ASSERT_EQ(kq7120_setupOutput(session, kq7120_OUT_TRIG_TRIGGER, 7, kq7120_NEGATIVE), VI_SUCCESS);
    kqvisa::clearTrace();
    ViInt16 source = -1;
    ViInt16 line = -1;
    ViUInt16 slope = 9;
    ASSERT_EQ(kq7120_queryOutput(session, &source, &line, &slope), VI_SUCCESS);
    EXPECT_EQ(source, kq7120_OUT_TRIG_TRIGGER);
    EXPECT_EQ(line, 7);
    EXPECT_EQ(slope, kq7120_NEGATIVE);
    EXPECT_EQ(sent(), (Messages{"outp:ttlt:sour?\n", "mark:sync:slop?\n", "outp:ttlt?\n"}));

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_queryOutput(0, &source, &line, &slope), VI_ERROR_PARAMETER1);
    EXPECT_EQ(kq7120_queryOutput(session, nullptr, &line, &slope), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryOutput(session, &source, nullptr, &slope), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_queryOutput(session, &source, &line, nullptr), VI_ERROR_PARAMETER4);
    EXPECT_TRUE(kqvisa::trace().empty());
}

TEST_F(WaveformSettings, OutputTriggerRepliesOutsideTheTablesAreRefused) {
    struct Case {
        const char* query;
        const char* reply;
        ViInt16 source;
        ViInt16 line;
    };
    // Each failure keeps what was read before it.
    const Case cases[] = {
        {"outp:ttlt:sour?", "Mark\n", -1, -1},
        {"mark:sync:slop?", "neg\n", kq7120_OUT_TRIG_NONE, -1},
        {"outp:ttlt?", "TTLT\n", kq7120_OUT_TRIG_NONE, -1},
        {"outp:ttlt?", "LINE3\n", kq7120_OUT_TRIG_NONE, -1},
    };
    for (const auto& c : cases) {
        kqvisa::scriptReply(c.query, c.reply);
        ViInt16 source = -1;
        ViInt16 line = -1;
        ViUInt16 slope = 9;
        EXPECT_EQ(kq7120_queryOutput(session, &source, &line, &slope), VI_ERROR_INV_RESPONSE) << c.reply;
        EXPECT_EQ(source, c.source) << c.reply;
        EXPECT_EQ(line, c.line) << c.reply;
    }
    kqvisa::scriptReply("outp:ttlt?", "TTLT12\n");
    ViInt16 source = -1;
    ViInt16 line = -1;
    ViUInt16 slope = 9;
    EXPECT_EQ(kq7120_queryOutput(session, &source, &line, &slope), VI_SUCCESS);
    EXPECT_EQ(line, 12) << "the number after the prefix, as the module gives it";
    // A reply word longer than the driver keeps is cut, never written past.
    kqvisa::scriptReply("outp:ttlt:sour?", std::string(600, 'N') + "\n");
    EXPECT_EQ(kq7120_queryOutput(session, &source, &line, &slope), VI_ERROR_INV_RESPONSE);
}

}  // namespace
