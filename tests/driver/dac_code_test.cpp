// Volts to DAC codes and back, in both output ranges and both data formats, at their bounds.
#include "dac_code.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "kq7120.h"

namespace {

using kq7120::codeToVolts;
using kq7120::kOutputScales;
using kq7120::voltsToCodes;

ViUInt16 codeOf(double volts, ViInt16 range, ViInt16 format) {
    ViUInt16 code = 0x5A5A;
    EXPECT_EQ(voltsToCodes(std::span(&volts, 1), kOutputScales[static_cast<std::size_t>(range)], format,
                           std::span(&code, 1)),
              VI_SUCCESS)
        << volts;
    return code;
}

TEST(DacCode, VoltsToCodeRoundsHalfUpInBothFormats) {
    struct Case {
        double volts;
        ViInt16 range;
        ViUInt16 unsignedCode;
    };
    const Case cases[] = {
        {-20.0, kq7120_20VOLT_RANGE, 0x0000},    {0.0, kq7120_20VOLT_RANGE, 0x8000},
        {19.99969, kq7120_20VOLT_RANGE, 0xFFFF}, {0.0003, kq7120_20VOLT_RANGE, 0x8000},  // 0.49 of a step
        {0.00031, kq7120_20VOLT_RANGE, 0x8001},                                          // 0.51 of a step
        {-0.0003, kq7120_20VOLT_RANGE, 0x8000},  // half up, also below zero
        {-0.00031, kq7120_20VOLT_RANGE, 0x7FFF}, {-10.0, kq7120_10VOLT_RANGE, 0x0000},
        {0.0, kq7120_10VOLT_RANGE, 0x8000},      {9.99984, kq7120_10VOLT_RANGE, 0xFFFF},
        {5.0, kq7120_10VOLT_RANGE, 0xC000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(codeOf(c.volts, c.range, kq7120_FORMAT_UNSIGNED), c.unsignedCode) << c.volts;
        EXPECT_EQ(codeOf(c.volts, c.range, kq7120_FORMAT_SIGNED), c.unsignedCode ^ 0x8000) << c.volts;
    }
    EXPECT_EQ(codeOf(0.0, kq7120_20VOLT_RANGE, 7), 0x8000) << "any format but signed keeps offset binary";
}

TEST(DacCode, AnyValueOutsideTheRangeRefusesTheBuffer) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    // Deep inside a buffer the compiler converts several values at a time.
    std::vector<double> longBuffer(1001, 1.0);
    longBuffer[999] = 10.5;
    struct Case {
        std::vector<double> volts;
        ViInt16 range;
    };
    const Case cases[] = {
        {{0.0, 1.0, 19.9997}, kq7120_20VOLT_RANGE}, {{-20.000001}, kq7120_20VOLT_RANGE},
        {{9.99985}, kq7120_10VOLT_RANGE},           {{1.0, -10.00001}, kq7120_10VOLT_RANGE},
        {{1.0, nan, 2.0}, kq7120_20VOLT_RANGE},     {{infinity}, kq7120_20VOLT_RANGE},
        {{-infinity, 0.0}, kq7120_10VOLT_RANGE},    {longBuffer, kq7120_10VOLT_RANGE},
    };
    for (const auto& c : cases) {
        std::vector<ViUInt16> codes(c.volts.size());
        EXPECT_EQ(voltsToCodes(c.volts, kOutputScales[static_cast<std::size_t>(c.range)],
                               kq7120_FORMAT_UNSIGNED, codes),
                  VI_ERROR_PARAMETER5)
            << c.volts.size();
    }
    EXPECT_FALSE(kq7120::outputScaleOf(2));
    EXPECT_FALSE(kq7120::outputScaleOf(-1));
}

TEST(DacCode, CodeToVolts) {
    struct Case {
        ViUInt16 code;
        ViInt16 range;
        ViInt16 format;
        double volts;
    };
    const Case cases[] = {
        {0x8000, kq7120_20VOLT_RANGE, kq7120_FORMAT_UNSIGNED, 0.0},
        {0xFFFF, kq7120_20VOLT_RANGE, kq7120_FORMAT_UNSIGNED, 32767 * 0.0006103515625},
        {0x0000, kq7120_20VOLT_RANGE, kq7120_FORMAT_UNSIGNED, -20.0},
        {0x0000, kq7120_20VOLT_RANGE, kq7120_FORMAT_SIGNED, 0.0},
        {0x8000, kq7120_20VOLT_RANGE, kq7120_FORMAT_SIGNED, -20.0},
        {0x7FFF, kq7120_10VOLT_RANGE, kq7120_FORMAT_SIGNED, 32767 * 0.00030517578125},
        {0x0000, kq7120_10VOLT_RANGE, kq7120_FORMAT_UNSIGNED, -10.0},
        {0xC000, 5, kq7120_FORMAT_UNSIGNED, 10.0},  // any range but 10 V reads as 20 V
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(codeToVolts(c.code, c.range, c.format), c.volts) << c.code;
    }
    // Every code converts back to itself.
    for (ViInt16 range : {kq7120_20VOLT_RANGE, kq7120_10VOLT_RANGE}) {
        for (ViInt16 format : {kq7120_FORMAT_SIGNED, kq7120_FORMAT_UNSIGNED}) {
            for (unsigned code = 0; code <= 0xFFFF; code += 257) {
                const double volts = codeToVolts(static_cast<ViUInt16>(code), range, format);
                EXPECT_EQ(codeOf(volts, range, format), code) << code;
            }
        }
    }
}

}  // namespace
