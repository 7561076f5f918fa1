// Reading segment data back: the "trac:data?" block, decoded within what was asked for and what
// arrived, as codes or as volts.
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

class WaveformReadback : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        session = open(kqtest::kKq7120Descriptor);
    }

    void load(ViInt16 segment, ViInt16 channel, const std::vector<ViUInt16>& codes) {
        ASSERT_EQ(
            kq7120_arbLoadData(session, segment, channel, codes.data(), static_cast<ViInt32>(codes.size())),
            VI_SUCCESS);
        kqvisa::clearTrace();
    }

    // A stream of exactly the size the caller is told to provide, so a write past it is caught.
    static std::vector<ViChar> streamFor(ViInt32 points) { return std::vector<ViChar>(2 * points + 8); }

    ViSession session = 0;
};

TEST_F(WaveformReadback, CodesAndVoltsOfASegment) {
    load(1, 3, {0x8000, 0xFFFF});
    auto stream = streamFor(2);
    std::vector<ViUInt16> codes(2);
    ViInt32 points = 2;
    ASSERT_EQ(kq7120_arbQueryWaveformData(session, 1, 3, stream.data(), codes.data(), &points), VI_SUCCESS);
    EXPECT_EQ(points, 2);
    EXPECT_EQ(codes, (std::vector<ViUInt16>{0x8000, 0xFFFF}));
    EXPECT_EQ(std::string(stream.data(), 11), std::string("#40004\x80\x00\xFF\xFF\n", 11));
    EXPECT_EQ(sent(), (Messages{"trac:data? 1,3", "*ESR?"}));

    kqvisa::clearTrace();
    std::vector<ViReal64> volts(2);
    points = 2;
    ASSERT_EQ(kq7120_arbQueryWaveformVoltage(session, 1, 3, stream.data(), volts.data(), &points),
              VI_SUCCESS);
    EXPECT_EQ(points, 2);
    EXPECT_DOUBLE_EQ(volts[0], 0.0);
    EXPECT_DOUBLE_EQ(volts[1], 32767 * 0.0006103515625) << "19.99939 V";
    EXPECT_EQ(sent(), (Messages{"trac:data? 1,3", "volt:rang?3", "*ESR?", "VOLT:FORM ?", "*ESR?"}))
        << "range and format asked after the block; no error check of the block itself";

    // The module answers in its present format; the volts read the same whatever it is.
    const ViInt16 channel[] = {3};
    ASSERT_EQ(kq7120_setupVoltageRange(session, kq7120_10VOLT_RANGE, channel, 1), VI_SUCCESS);
    ASSERT_EQ(kq7120_setupDataFormat(session, kq7120_FORMAT_SIGNED), VI_SUCCESS);
    points = 2;
    ASSERT_EQ(kq7120_arbQueryWaveformData(session, 1, 3, stream.data(), codes.data(), &points), VI_SUCCESS);
    EXPECT_EQ(codes, (std::vector<ViUInt16>{0x0000, 0x7FFF}));
    points = 2;
    ASSERT_EQ(kq7120_arbQueryWaveformVoltage(session, 1, 3, stream.data(), volts.data(), &points),
              VI_SUCCESS);
    EXPECT_DOUBLE_EQ(volts[0], 0.0);
    EXPECT_DOUBLE_EQ(volts[1], 32767 * 0.00030517578125);
}

TEST_F(WaveformReadback, BlocksOfTenThousandBytesAndMoreHaveALongerHeader) {
    for (const ViInt32 size : {4999, 5000, 16380}) {
        std::vector<ViUInt16> written(static_cast<std::size_t>(size));
        for (std::size_t i = 0; i < written.size(); ++i) written[i] = static_cast<ViUInt16>(i * 7919);
        load(2, 1, written);
        auto stream = streamFor(size);
        std::vector<ViUInt16> codes(written.size());
        ViInt32 points = size;
        ASSERT_EQ(kq7120_arbQueryWaveformData(session, 2, 1, stream.data(), codes.data(), &points),
                  VI_SUCCESS)
            << size;
        EXPECT_EQ(points, size);
        EXPECT_EQ(codes, written) << size;
        EXPECT_EQ(std::string(stream.data(), 2), size < 5000 ? "#4" : "#5");
    }
}

TEST_F(WaveformReadback, DecodesOnlyWhatWasAskedForAndReceived) {
    struct Case {
        const char* name;
        std::string reply;
        ViInt32 asked;
        ViStatus status;
        std::vector<ViUInt16> codes;  // the points decoded
    };
    const Case cases[] = {
        {"exact", std::string("#40004\x80\x00\xFF\xFF\n", 11), 2, VI_SUCCESS, {0x8000, 0xFFFF}},
        {"fewer than asked", std::string("#40002\x12\x34\n", 9), 5, VI_SUCCESS, {0x1234}},
        {"announces more than arrived",
         std::string("#40008\x01\x02\x03\x04\n", 11),
         10,
         VI_SUCCESS,
         {0x0102, 0x0304}},
        {"odd byte", std::string("#40003\x01\x02\x03\n", 10), 10, VI_SUCCESS, {0x0102}},
        {"header of two digits", std::string("#204\x01\x02\x03\x04\n", 9), 2, VI_SUCCESS, {0x0102, 0x0304}},
        // More than asked: the read ends at the count, and succeeds only because a code holds a "\n".
        {"more than asked",
         std::string("#40008\x00\x0A\x00\x0B\x00\x0C\x00\x0D\n", 15),
         2,
         VI_SUCCESS,
         {0x000A, 0x000B}},
        {"more than asked, no newline",
         std::string("#40008\x00\x01\x00\x02\x00\x03\x00\x04\n", 15),
         2,
         kq7120_READ_BUFFER_FULL,
         {}},
        {"no header", std::string("40004\x80\x00\xFF\xFF\n", 10), 2, VI_ERROR_INV_RESPONSE, {}},
        {"header cut short", "#4\n", 2, VI_ERROR_INV_RESPONSE, {}},
        {"letters in the count", "#4000x\n", 2, VI_ERROR_INV_RESPONSE, {}},
    };
    load(1, 1, {1, 2, 3, 4});
    for (const auto& c : cases) {
        kqvisa::scriptReply("trac:data? 1,1", c.reply);
        auto stream = streamFor(c.asked);
        std::vector<ViUInt16> codes(static_cast<std::size_t>(c.asked), 0x5A5A);
        ViInt32 points = c.asked;
        EXPECT_EQ(kq7120_arbQueryWaveformData(session, 1, 1, stream.data(), codes.data(), &points), c.status)
            << c.name;
        if (c.status != VI_SUCCESS) {
            EXPECT_EQ(points, c.asked) << c.name;
            continue;
        }
        EXPECT_EQ(points, static_cast<ViInt32>(c.codes.size())) << c.name;
        codes.resize(c.codes.size());
        EXPECT_EQ(codes, c.codes) << c.name;
    }
}

TEST_F(WaveformReadback, ArgumentsAreCheckedBeforeTheQuery) {
    auto stream = streamFor(16381);
    std::vector<ViUInt16> codes(16381);
    std::vector<ViReal64> volts(16381);
    for (const ViInt32 asked : {16381, -1}) {
        ViInt32 points = asked;
        EXPECT_EQ(kq7120_arbQueryWaveformData(session, 1, 1, stream.data(), codes.data(), &points),
                  VI_ERROR_PARAMETER5);
        EXPECT_EQ(kq7120_arbQueryWaveformVoltage(session, 1, 1, stream.data(), volts.data(), &points),
                  VI_ERROR_PARAMETER5);
    }
    ViInt32 points = 2;
    EXPECT_EQ(kq7120_arbQueryWaveformData(session, 1, 1, nullptr, codes.data(), &points),
              VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_arbQueryWaveformData(session, 1, 1, stream.data(), nullptr, &points),
              VI_ERROR_PARAMETER4);
    EXPECT_EQ(kq7120_arbQueryWaveformData(session, 1, 1, stream.data(), codes.data(), nullptr),
              VI_ERROR_PARAMETER5);
    EXPECT_EQ(kq7120_arbQueryWaveformVoltage(session, 1, 1, nullptr, volts.data(), &points),
              VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_arbQueryWaveformVoltage(session, 1, 1, stream.data(), nullptr, &points),
              VI_ERROR_PARAMETER4);
    EXPECT_EQ(kq7120_arbQueryWaveformVoltage(session, 1, 1, stream.data(), volts.data(), nullptr),
              VI_ERROR_PARAMETER5);
    EXPECT_TRUE(kqvisa::trace().empty());
}

TEST_F(WaveformReadback, FailuresOfTheSteps) {
    load(1, 1, {1, 2});
    auto stream = streamFor(2);
    std::vector<ViUInt16> codes(2);
    std::vector<ViReal64> volts(2);
    ViInt32 points = 2;
    // The block's own error check.
    kqvisa::scriptReply("*ESR?", "32\n");
    EXPECT_EQ(kq7120_arbQueryWaveformData(session, 1, 1, stream.data(), codes.data(), &points),
              kq7120_INSTRUMENT_ERROR);
    EXPECT_EQ(points, 2) << "the points read are reported with the error";
    // The range and format queries of the voltage reader.
    kqvisa::scriptReply("volt:rang?1", "5V\n");
    EXPECT_EQ(kq7120_arbQueryWaveformVoltage(session, 1, 1, stream.data(), volts.data(), &points),
              VI_ERROR_INV_RESPONSE);
    kqvisa::failCall(kqvisa::Op::Read, VI_ERROR_TMO, 4);
    EXPECT_EQ(kq7120_arbQueryWaveformVoltage(session, 1, 1, stream.data(), volts.data(), &points),
              VI_ERROR_TMO);
    kqvisa::failCall(kqvisa::Op::Read, VI_ERROR_TMO);
    EXPECT_EQ(kq7120_arbQueryWaveformData(session, 1, 1, stream.data(), codes.data(), &points), VI_ERROR_TMO);
}

}  // namespace
