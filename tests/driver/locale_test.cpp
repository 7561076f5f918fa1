// Commands and replies keep the decimal point whatever the process locale: the front panel runs
// with the operator's locale, and "2,5" in a command would mean two values.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "driver_test_support.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"
#include "number_text.h"

namespace {

using kqtest::DriverTest;
using Messages = std::vector<std::string>;

// The C library's own conversion in the "C" locale: what the commands were defined with.
std::string cFormatted(const char* format, double value) {
    char text[512];
    const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    const locale_t previous = uselocale(c);
    std::snprintf(text, sizeof text, format, value);
    uselocale(previous);
    freelocale(c);
    return text;
}

const std::vector<double>& sampleValues() {
    static const std::vector<double> values = {
        2.5,
        -20.0,
        1e-05,
        static_cast<float>(19.99969),
        19.99969,
        0.0001,
        0.00009999,
        123456.0,
        1234567.0,
        999999.5,
        0.0,
        -0.0,
        1e-300,
        3.14159265358979,
        100000.0,
        -0.125,
        429.49,
        1e22,
        0.1,
        5e-324,
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(),
    };
    return values;
}

TEST(NumberText, MatchesTheCLibraryInTheCLocale) {
    for (const double value : sampleValues()) {
        EXPECT_EQ(kq7120::generalText(value), cFormatted("%lg", value)) << value;
        EXPECT_EQ(kq7120::fixedText(value, 6), cFormatted("%f", value)) << value;
        EXPECT_EQ(kq7120::fixedText(value, 7), cFormatted("%.7f", value)) << value;
    }
}

class DecimalCommaLocale : public DriverTest {
protected:
    static void SetUpTestSuite() {
        directory = kqtest::freshDirectory();
        const std::string command = "localedef -i de_DE -f UTF-8 " + directory + "/de_DE.UTF-8 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        setenv("LOCPATH", directory.c_str(), 1);
        ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    }
    static void TearDownTestSuite() {
        std::setlocale(LC_ALL, "C");
        std::filesystem::remove_all(directory);
    }
    static inline std::string directory;

    void SetUp() override {
        DriverTest::SetUp();
        char text[16];
        std::snprintf(text, sizeof text, "%g", 2.5);
        ASSERT_STREQ(text, "2,5") << "the decimal-comma locale is in effect";
        session = open(kqtest::kKq7120Descriptor);
    }
    ViSession session = 0;
};

TEST_F(DecimalCommaLocale, CommandTextsKeepTheDecimalPoint) {
    const ViInt16 channels[] = {1, 2};
    ASSERT_EQ(kq7120_setupVoltage(session, 2.5f, channels, 2), VI_SUCCESS);
    ASSERT_EQ(kq7120_setupVoltage(session, 0.00001f, channels, 1), VI_SUCCESS);
    std::vector<ViReal32> array(16, 1.5f);
    array[15] = 19.99969f;
    ASSERT_EQ(kq7120_memorySetup(session, 5, array.data()), VI_SUCCESS);
    const ViReal32 table[] = {1.5f, -2.0f};
    ASSERT_EQ(kq7120_setupScanList(session, 4, table, 2), VI_SUCCESS);
    ASSERT_EQ(kq7120_setupScanListAtIndex(session, 3, 10, 1.25f), VI_SUCCESS);
    const Messages expected = {
        "SOUR:VOLT:LEV 2.5,(@1,2)",
        "*ESR?",
        "SOUR:VOLT:LEV 1e-05,(@1)",
        "*ESR?",
        "MEM:SET 5,1.500000,1.500000,1.500000,1.500000,1.500000,1.500000,1.500000,1.500000,1.500000,1.500000,"
        "1.500000,1.500000,1.500000,1.500000,1.500000,19.999689",
        "*ESR?",
        "SCAN:TABL 4,1.500000,-2.000000",
        "*ESR?",
        "SCAN:TABL 3 :LOC 10, 1.250000",
        "*ESR?",
    };
    EXPECT_EQ(sent(), expected);
}

TEST_F(DecimalCommaLocale, TimerTextIsPercentFourPointSevenF) {
    const double values[] = {0.01,
                             1e-05,
                             429.49,
                             2.5,
                             1e-08,
                             -0.0,
                             123456789.125,
                             std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity()};
    for (const double value : values) {
        kqvisa::clearTrace();
        kq7120_setupTimer(session, value);
        ASSERT_FALSE(sent().empty());
        EXPECT_EQ(sent()[0], cFormatted("tim %4.7f", value)) << value;
    }
}

TEST_F(DecimalCommaLocale, RepliesAreReadWithTheDecimalPoint) {
    kqvisa::scriptReply("SOUR:VOLT:LEV? 1", "2.5\n");
    ViReal32 volts = 0.0f;
    ASSERT_EQ(kq7120_queryVoltage(session, 1, &volts), VI_SUCCESS);
    EXPECT_FLOAT_EQ(volts, 2.5f);
    kqvisa::scriptReply("SCAN:TABL? 1 2,1", "-1.250000,19.999689\n");
    ViReal32 table[2] = {};
    ASSERT_EQ(kq7120_queryScanList(session, 1, 2, 1, table), VI_SUCCESS);
    EXPECT_FLOAT_EQ(table[0], -1.25f);
    EXPECT_FLOAT_EQ(table[1], 19.999689f);
    kqvisa::scriptReply("SCAN:TABL 1:LOC? 3", "-1.250000\n");
    ASSERT_EQ(kq7120_queryScanListAtIndex(session, 1, 3, &volts), VI_SUCCESS);
    EXPECT_FLOAT_EQ(volts, -1.25f);
    kqvisa::scriptReply("tim?", "0.0125\n");
    ViReal64 period = 0.0;
    ASSERT_EQ(kq7120_queryTimer(session, &period), VI_SUCCESS);
    EXPECT_DOUBLE_EQ(period, 0.0125) << "read with VISA's %lg";
}

}  // namespace
