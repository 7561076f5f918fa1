// ARB segments and sequences through SCPI: command texts, the binary text load, sequence steps and
// the formatted queries.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "driver_test_support.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"

namespace {

using kqtest::DriverTest;
using Messages = std::vector<std::string>;

class ArbSegments : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        session = open(kqtest::kKq7120Descriptor);
    }
    ViSession session = 0;
};

TEST_F(ArbSegments, CommandTextsAndWhatTheModuleMakesOfThem) {
    ASSERT_EQ(kq7120_arbDefineSegment(session, 1, 4), VI_SUCCESS);
    ASSERT_EQ(kq7120_arbResizeSegment(session, 1, 6), VI_SUCCESS);
    ASSERT_EQ(kq7120_arbSetDataPoint(session, 1, 2, 5, -2), VI_SUCCESS);
    ASSERT_EQ(kq7120_arbDefineSegment(session, 5, 6), VI_SUCCESS);
    ASSERT_EQ(kq7120_arbCopyWaveform(session, 1, 2, 5, 6), VI_SUCCESS);
    ASSERT_EQ(kq7120_arbResizeSequence(session, 3), VI_SUCCESS);
    EXPECT_EQ(sent(),
              (Messages{"trac:def 1,4", "*ESR?", "trac:poin 1,6", "*ESR?", "trac:data:poin 1,2,5,-2", "*ESR?",
                        "trac:def 5,6", "*ESR?", "trac:data 5,6,1,2", "*ESR?", "seq:leng 3", "*ESR?"}));
    auto& module = kqtest::kqModule(24);
    EXPECT_EQ(module.segmentSize(1), 6u);
    // The module keeps codes in offset binary; -2 in the unsigned format of the reset state is 0xFFFE.
    EXPECT_EQ(module.segmentCodes(5, 6).at(5), 0xFFFE) << "copied, destination first";

    // Numbers go out unchecked; the module's refusal comes back from the error check.
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_arbDefineSegment(session, 4096, 10), kq7120_INSTRUMENT_ERROR);
    EXPECT_EQ(kq7120_arbSetDataPoint(session, 1, 17, 0, 0), kq7120_INSTRUMENT_ERROR);
    EXPECT_EQ(sent(), (Messages{"trac:def 4096,10", "*ESR?", "trac:data:poin 1,17,0,0", "*ESR?"}));

    ASSERT_EQ(kq7120_arbDeleteAllSegments(session), VI_SUCCESS);
    EXPECT_EQ(module.segmentSize(1), 0u);
}

TEST_F(ArbSegments, SequenceListText) {
    struct Case {
        std::vector<ViInt16> list;
        const char* command;
    };
    const Case cases[] = {
        {{0}, "seq:list (@0)"},
        {{3, 0, 7}, "seq:list (@3,0,7)"},
        {{4095, 12}, "seq:list (@4095,12)"},
    };
    for (ViInt16 segment : {0, 3, 7, 12, 4095})
        ASSERT_EQ(kq7120_arbDefineSegment(session, segment, 2), VI_SUCCESS);
    for (const auto& c : cases) {
        kqvisa::clearTrace();
        EXPECT_EQ(kq7120_arbDefineSequence(session, c.list.data(), static_cast<ViInt16>(c.list.size())),
                  VI_SUCCESS);
        EXPECT_EQ(sent(), (Messages{c.command, "*ESR?"}));
    }
    // The longest list: 4096 steps.
    std::vector<ViInt16> longest(4096, 3);
    longest.back() = 4095;
    kqvisa::clearTrace();
    ASSERT_EQ(kq7120_arbDefineSequence(session, longest.data(), 4096), VI_SUCCESS);
    const std::string command = sent().at(0);
    EXPECT_EQ(command.size(), std::string("seq:list (@").size() + 4095 * 2 + 4 + 1);
    EXPECT_EQ(command.substr(command.size() - 8), ",3,4095)");
    EXPECT_EQ(kqtest::kqModule(24).sequence().size(), 4096u);

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_arbDefineSequence(session, longest.data(), 0), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_arbDefineSequence(session, longest.data(), -1), VI_ERROR_PARAMETER3);
    std::vector<ViInt16> tooLong(4097, 3);
    EXPECT_EQ(kq7120_arbDefineSequence(session, tooLong.data(), 4097), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_arbDefineSequence(session, nullptr, 1), VI_ERROR_PARAMETER2);
    EXPECT_TRUE(sent().empty());
}

TEST_F(ArbSegments, StepParameterTexts) {
    ASSERT_EQ(kq7120_arbSetSeqParms(session, 2, 1, 0, 10, 1), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"seq:star AUTO,(@2)", "*ESR?", "seq:adv SYNC,(@2)", "*ESR?",
                                "seq:dwel 10,(@2)", "*ESR?", "sour:mark:trig ON,(@2)", "*ESR?"}));
    const auto step = kqtest::kqModule(24).sequenceStep(2);
    EXPECT_EQ(step.start, kqsim::SequenceStart::Auto);
    EXPECT_EQ(step.advance, kqsim::SequenceAdvance::Sync);
    EXPECT_EQ(step.dwell, 10);
    EXPECT_TRUE(step.marker);

    kqvisa::clearTrace();
    ASSERT_EQ(kq7120_arbSetSeqParmsEx(session, 4095, kq7120_SEQ_TRIG_START, kq7120_SEQ_ASYNC_ADVANCE,
                                      kq7120_SEQ_REPEAT_MAX, kq7120_SEQ_MARKER_OFF),
              VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"seq:star TRIG,(@4095)", "*ESR?", "seq:adv ASYNC,(@4095)", "*ESR?",
                                "seq:dwel 1048575,(@4095)", "*ESR?", "sour:mark:trig OFF,(@4095)", "*ESR?"}));

    // Index and repeat count of the unchecked form go to the module as they are.
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_arbSetSeqParms(session, 1, 0, 0, -5, 0), kq7120_INSTRUMENT_ERROR);
    EXPECT_EQ(sent(), (Messages{"seq:star TRIG,(@1)", "*ESR?", "seq:adv SYNC,(@1)", "*ESR?",
                                "seq:dwel -5,(@1)", "*ESR?"}))
        << "the first refusal ends the call";
}

TEST_F(ArbSegments, StepParameterChecksSendNothing) {
    struct Case {
        const char* name;
        ViStatus status;
        ViStatus actual;
    };
    const Case cases[] = {
        {"start 2", VI_ERROR_PARAMETER3, kq7120_arbSetSeqParms(session, 0, 2, 0, 1, 0)},
        {"start -1", VI_ERROR_PARAMETER3, kq7120_arbSetSeqParms(session, 0, -1, 0, 1, 0)},
        {"advance 2", VI_ERROR_PARAMETER4, kq7120_arbSetSeqParms(session, 0, 0, 2, 1, 0)},
        {"marker 2", VI_ERROR_PARAMETER6, kq7120_arbSetSeqParms(session, 0, 0, 0, 1, 2)},
        {"Ex index 4096", VI_ERROR_PARAMETER2, kq7120_arbSetSeqParmsEx(session, 4096, 0, 0, 1, 0)},
        {"Ex index -1", VI_ERROR_PARAMETER2, kq7120_arbSetSeqParmsEx(session, -1, 0, 0, 1, 0)},
        {"Ex start 2", VI_ERROR_PARAMETER3, kq7120_arbSetSeqParmsEx(session, 0, 2, 0, 1, 0)},
        {"Ex advance 2", VI_ERROR_PARAMETER4, kq7120_arbSetSeqParmsEx(session, 0, 0, 2, 1, 0)},
        {"Ex repeat 1048576", VI_ERROR_PARAMETER5, kq7120_arbSetSeqParmsEx(session, 0, 0, 0, 1048576, 0)},
        {"Ex repeat -1", VI_ERROR_PARAMETER5, kq7120_arbSetSeqParmsEx(session, 0, 0, 0, -1, 0)},
        {"Ex marker 2", VI_ERROR_PARAMETER6, kq7120_arbSetSeqParmsEx(session, 0, 0, 0, 1, 2)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.status) << c.name;
    EXPECT_TRUE(sent().empty());
}

TEST_F(ArbSegments, TextLoadIsOneIndefiniteBlockWithoutErrorCheck) {
    const ViInt16 samples[] = {0x1234, -2};
    ASSERT_EQ(kq7120_arbLoadText(session, 3, 2, samples, 2), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{std::string("trac:data 3,2,#0\x12\x34\xFF\xFE", 20)}));
    EXPECT_EQ(kqtest::kqModule(24).segmentCodes(3, 2), (std::vector<std::uint16_t>{0x1234, 0xFFFE}));

    // The whole command stays within 32767 bytes: 16373 samples with the longest header (20 bytes),
    // 16374 with a header of 19.
    std::vector<ViInt16> longest(16374, 0x0101);
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_arbLoadText(session, 4095, 16, longest.data(), 16374), VI_ERROR_PARAMETER5);
    EXPECT_EQ(kq7120_arbLoadText(session, 1, 1, longest.data(), -1), VI_ERROR_PARAMETER5);
    EXPECT_EQ(kq7120_arbLoadText(session, 1, 1, nullptr, 1), VI_ERROR_PARAMETER4);
    EXPECT_TRUE(sent().empty());
    ASSERT_EQ(kq7120_arbLoadText(session, 4095, 16, longest.data(), 16373), VI_SUCCESS);
    ASSERT_EQ(kq7120_arbLoadText(session, 4095, 1, longest.data(), 16374), VI_SUCCESS);
    ASSERT_EQ(sent().size(), 2u);
    EXPECT_EQ(sent()[0].size(), 32766u);
    EXPECT_EQ(sent()[1].size(), 32767u);
    EXPECT_EQ(kqtest::kqModule(24).segmentSize(4095), 16374u);
}

TEST_F(ArbSegments, MemoryQueries) {
    ASSERT_EQ(kq7120_arbDefineSegment(session, 2, 1000), VI_SUCCESS);
    kqvisa::clearTrace();
    ViInt32 size = 0;
    ASSERT_EQ(kq7120_memorySize(session, &size), VI_SUCCESS);
    EXPECT_EQ(size, 524288);
    EXPECT_EQ(sent(), (Messages{"mem:size?", "*ESR?"}));

    kqvisa::clearTrace();
    ViInt32 available = 0;
    ViInt32 used = 0;
    ASSERT_EQ(kq7120_queryArbMemoryUsage(session, &available, &used), VI_SUCCESS);
    EXPECT_EQ(available, 524288 - 1000);
    EXPECT_EQ(used, 1000);
    ASSERT_EQ(kq7120_arbQuerySegmentSize(session, 2, &size), VI_SUCCESS);
    EXPECT_EQ(size, 1000);
    EXPECT_EQ(sent(), (Messages{"trac:free?\n", "trac:poin? 2\n"})) << "formatted queries, no error check";

    EXPECT_EQ(kq7120_memorySize(session, nullptr), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryArbMemoryUsage(session, nullptr, &used), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_queryArbMemoryUsage(session, &available, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_arbQuerySegmentSize(session, 2, nullptr), VI_ERROR_PARAMETER3);
}

TEST_F(ArbSegments, DataPointRoundTrip) {
    ASSERT_EQ(kq7120_setupDataFormat(session, kq7120_FORMAT_SIGNED), VI_SUCCESS);
    ASSERT_EQ(kq7120_arbDefineSegment(session, 7, 100), VI_SUCCESS);
    ASSERT_EQ(kq7120_arbSetDataPoint(session, 7, 16, 99, -32768), VI_SUCCESS);
    kqvisa::clearTrace();
    ViInt16 point = 0;
    ASSERT_EQ(kq7120_arbQueryDataPoint(session, 7, 16, 99, &point), VI_SUCCESS);
    EXPECT_EQ(point, -32768);
    EXPECT_EQ(sent(), (Messages{"trac:data:poin? 7,16,99\n"}));
    EXPECT_EQ(kq7120_arbQueryDataPoint(session, 7, 16, 99, nullptr), VI_ERROR_PARAMETER5);
}

TEST_F(ArbSegments, StepParameterReadBack) {
    ASSERT_EQ(kq7120_arbDefineSegment(session, 9, 10), VI_SUCCESS);
    const ViInt16 list[] = {0, 9};
    ASSERT_EQ(kq7120_arbDefineSegment(session, 0, 10), VI_SUCCESS);
    ASSERT_EQ(kq7120_arbDefineSequence(session, list, 2), VI_SUCCESS);
    ASSERT_EQ(kq7120_arbSetSeqParmsEx(session, 1, kq7120_SEQ_TRIG_START, kq7120_SEQ_SYNC_ADVANCE, 70000,
                                      kq7120_SEQ_MARKER_ON),
              VI_SUCCESS);
    kqvisa::clearTrace();
    ViInt16 segment = -1;
    ViInt32 repeat = -1;
    ViInt16 start = -1;
    ViInt16 advance = -1;
    ViInt16 marker = -1;
    ASSERT_EQ(kq7120_arbQuerySeqParms(session, 1, &segment, &repeat, &start, &advance, &marker), VI_SUCCESS);
    EXPECT_EQ(segment, 9);
    EXPECT_EQ(repeat, 70000);
    EXPECT_EQ(start, kq7120_SEQ_TRIG_START);
    EXPECT_EQ(advance, kq7120_SEQ_SYNC_ADVANCE);
    EXPECT_EQ(marker, kq7120_SEQ_MARKER_ON);
    EXPECT_EQ(sent(), (Messages{"seq:list? 1\n", "seq:dwel? 1\n", "seq:star? 1\n", "seq:adv? 1\n",
                                "mark:trig? 1\n"}));

    // A word in the wrong case is refused; what was read before stays read.
    kqvisa::scriptReply("seq:star? 1", "trig\n");
    segment = -1;
    start = -1;
    EXPECT_EQ(kq7120_arbQuerySeqParms(session, 1, &segment, &repeat, &start, &advance, &marker),
              VI_ERROR_INV_RESPONSE);
    EXPECT_EQ(segment, 9);
    EXPECT_EQ(start, -1);
    kqvisa::scriptReply("seq:adv? 1", "SYNCH\n");
    EXPECT_EQ(kq7120_arbQuerySeqParms(session, 1, &segment, &repeat, &start, &advance, &marker),
              VI_ERROR_INV_RESPONSE);
    kqvisa::failCall(kqvisa::Op::Read, VI_ERROR_TMO, 2);
    EXPECT_EQ(kq7120_arbQuerySeqParms(session, 1, &segment, &repeat, &start, &advance, &marker),
              VI_ERROR_TMO);

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_arbQuerySeqParms(session, 4096, &segment, &repeat, &start, &advance, &marker),
              VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_arbQuerySeqParms(session, -1, &segment, &repeat, &start, &advance, &marker),
              VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_arbQuerySeqParms(session, 0, nullptr, &repeat, &start, &advance, &marker),
              VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_arbQuerySeqParms(session, 0, &segment, nullptr, &start, &advance, &marker),
              VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_arbQuerySeqParms(session, 0, &segment, &repeat, nullptr, &advance, &marker),
              VI_ERROR_PARAMETER4);
    EXPECT_EQ(kq7120_arbQuerySeqParms(session, 0, &segment, &repeat, &start, nullptr, &marker),
              VI_ERROR_PARAMETER5);
    EXPECT_EQ(kq7120_arbQuerySeqParms(session, 0, &segment, &repeat, &start, &advance, nullptr),
              VI_ERROR_PARAMETER6);
    EXPECT_TRUE(kqvisa::trace().empty());
}

}  // namespace
