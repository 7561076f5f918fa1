// viPrintf, viScanf and viQueryf: the directives, message ends, buffering, and numbers in the C
// form whatever the process locale.
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>

#include "visa_test_support.h"

namespace kqvisatest {
namespace {

class FormattedIoTest : public InstrumentTest {
protected:
    // Everything the module received, joined.
    std::string received() const {
        std::string bytes;
        for (const ReceivedWrite& write : module_->writes()) bytes += write.bytes;
        return bytes;
    }
};

struct PrintCase {
    const char* name;
    std::function<ViStatus(ViSession)> print;
    std::string expected;
};

std::vector<PrintCase> printCases() {
    return {
        {"%d", [](ViSession s) { return viPrintf(s, "VOLT:FORM %d\n", 5); }, "VOLT:FORM 5\n"},
        {"%ld", [](ViSession s) { return viPrintf(s, "trac:def %d,%ld\n", 3, ViInt32{-70000}); },
         "trac:def 3,-70000\n"},
        {"%hd", [](ViSession s) { return viPrintf(s, "%hd\n", 70000); }, "4464\n"},
        {"%lld", [](ViSession s) { return viPrintf(s, "%lld\n", -9000000000LL); }, "-9000000000\n"},
        {"%u %x %X %o", [](ViSession s) { return viPrintf(s, "%u %x %X %o\n", 4000000000u, 255u, 255u, 8u); },
         "4000000000 ff FF 10\n"},
        {"flags",
         [](ViSession s) {
             return viPrintf(s, "[%5d|%-5d|%05d|%+d|% d|%#x|%#o]\n", 42, 42, -42, 7, 7, 255u, 8u);
         },
         "[   42|42   |-0042|+7| 7|0xff|010]\n"},
        {"precision", [](ViSession s) { return viPrintf(s, "[%.3d|%.0d|%8.3d]\n", 7, 0, -7); },
         "[007||    -007]\n"},
        {"star", [](ViSession s) { return viPrintf(s, "[%*d|%-*d|%.*f]\n", 4, 1, 3, 2, 2, 3.14159); },
         "[   1|2  |3.14]\n"},
        {"%4.7f", [](ViSession s) { return viPrintf(s, "tim %4.7f\n", 0.01); }, "tim 0.0100000\n"},
        {"%4.7f large", [](ViSession s) { return viPrintf(s, "tim %4.7f\n", 429.49); }, "tim 429.4900000\n"},
        {"%f %e %E", [](ViSession s) { return viPrintf(s, "%f %e %E\n", 2.5, 12345.678, 0.000123); },
         "2.500000 1.234568e+04 1.230000E-04\n"},
        {"%lg", [](ViSession s) { return viPrintf(s, "SOUR:VOLT:LEV %lg,(@%s)\n", 2.5, "3"); },
         "SOUR:VOLT:LEV 2.5,(@3)\n"},
        {"%g forms",
         [](ViSession s) {
             return viPrintf(s, "%g %g %g %g %g %G\n", 100000.0, 1000000.0, 0.0001, 0.00001, 0.0, 1e-10);
         },
         "100000 1e+06 0.0001 1e-05 0 1E-10\n"},
        {"%g precision",
         [](ViSession s) { return viPrintf(s, "%.3g %#g %#.3g %.0g\n", 3.14159, 1.0, 2.0, 0.5); },
         "3.14 1.00000 2.00 0.5\n"},
        {"%f flags",
         [](ViSession s) {
             return viPrintf(s, "[%+.1f|%08.2f|%-7.1f|%#.0f|% .0e]\n", 1.25, -3.5, 2.0, 3.0, 5.0);
         },
         "[+1.2|-0003.50|2.0    |3.| 5e+00]\n"},
        {"%Lf", [](ViSession s) { return viPrintf(s, "%.2Lf\n", 1.5L); }, "1.50\n"},
        {"inf nan",
         [](ViSession s) {
             return viPrintf(s, "%f %F %05f\n", std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(),
                             -std::numeric_limits<double>::infinity());
         },
         "inf NAN  -inf\n"},
        {"%s %c %%",
         [](ViSession s) {
             return viPrintf(s, "[%s|%6s|%-4s|%.2s|%c|%3c]%%\n", "ab", "cd", "e", "xyz", 'Q', 'R');
         },
         "[ab|    cd|e   |xy|Q|  R]%\n"},
        {"escapes", [](ViSession s) { return viPrintf(s, "a\\tb\\\\c\\101\\n"); }, "a\tb\\cA\n"},
        {"no newline", [](ViSession s) { return viPrintf(s, "*RST"); }, ""},
    };
}

TEST_F(FormattedIoTest, PrintsDirectives) {
    for (const PrintCase& c : printCases()) {
        SCOPED_TRACE(c.name);
        installTwoInstruments();
        module_ = instruments_[0];
        const ViSession session = open("VXI0::24::INSTR");
        EXPECT_EQ(c.print(session), VI_SUCCESS);
        EXPECT_EQ(received(), c.expected);
        viClose(session);
    }
}

TEST_F(FormattedIoTest, NewlineInTheFormatEndsAMessage) {
    ASSERT_EQ(viPrintf(session_, "outp:ttlt:sour %s\nmark:sync:slop %s\n", "MARK", "NEG"), VI_SUCCESS);
    ASSERT_EQ(viPrintf(session_, "%s", "text with\nnewline"), VI_SUCCESS);
    EXPECT_EQ(module_->messages(),
              (std::vector<std::string>{"outp:ttlt:sour MARK\n", "mark:sync:slop NEG\n"}));
    ASSERT_EQ(viPrintf(session_, " and more\n"), VI_SUCCESS);
    EXPECT_EQ(module_->messages().back(), "text with\nnewline and more\n");

    ASSERT_EQ(viPrintf(session_, "*RST"), VI_SUCCESS);
    EXPECT_EQ(module_->messages().size(), 3u);
    ASSERT_EQ(viFlush(session_, VI_WRITE_BUF), VI_SUCCESS);
    EXPECT_EQ(module_->messages().back(), "*RST");

    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_WR_BUF_OPER_MODE, VI_FLUSH_ON_ACCESS), VI_SUCCESS);
    ASSERT_EQ(viPrintf(session_, "INIT"), VI_SUCCESS);
    EXPECT_EQ(module_->messages().back(), "INIT");
}

TEST_F(FormattedIoTest, LongTextIsSentWhenTheBufferFills) {
    const std::string block(5000, 'x');
    ASSERT_EQ(viPrintf(session_, "%s", block.c_str()), VI_SUCCESS);
    const std::vector<ReceivedWrite> writes = module_->writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].bytes, block);
    EXPECT_FALSE(writes[0].end);
    EXPECT_TRUE(module_->messages().empty());
}

struct ScanCase {
    const char* name;
    std::string reply;
    std::function<ViStatus(ViSession)> scanAndCheck;  // returns the scan status; checks the values itself
    ViStatus status = VI_SUCCESS;
};

std::vector<ScanCase> scanCases() {
    return {
        {"%ld,%ld%*t", "524288,1024\n",
         [](ViSession s) {
             ViInt32 available = 0, used = 0;
             const ViStatus status = viScanf(s, "%ld,%ld%*t", &available, &used);
             EXPECT_EQ(available, 524288);
             EXPECT_EQ(used, 1024);
             return status;
         }},
        {"%hd%*t", "-32768\n",
         [](ViSession s) {
             ViInt16 point = 0;
             const ViStatus status = viScanf(s, "%hd%*t", &point);
             EXPECT_EQ(point, -32768);
             return status;
         }},
        {"%lg%*t", "+1.0000000E-02\n",
         [](ViSession s) {
             ViReal64 period = 0;
             const ViStatus status = viScanf(s, "%lg%*t", &period);
             EXPECT_DOUBLE_EQ(period, 0.01);
             return status;
         }},
        {"%f %e float", "2.5 -1e3\n",
         [](ViSession s) {
             ViReal32 a = 0, b = 0;
             const ViStatus status = viScanf(s, "%f %e", &a, &b);
             EXPECT_FLOAT_EQ(a, 2.5f);
             EXPECT_FLOAT_EQ(b, -1000.0f);
             return status;
         }},
        {"%lf inf nan", "inf NAN\n",
         [](ViSession s) {
             ViReal64 a = 0, b = 0;
             const ViStatus status = viScanf(s, "%lf%lf", &a, &b);
             EXPECT_TRUE(std::isinf(a));
             EXPECT_TRUE(std::isnan(b));
             return status;
         }},
        {"%s words", "TTLT3 rest\n",
         [](ViSession s) {
             char first[16] = {}, second[16] = {};
             const ViStatus status = viScanf(s, "%s%s", first, second);
             EXPECT_STREQ(first, "TTLT3");
             EXPECT_STREQ(second, "rest");
             return status;
         }},
        {"%d", "7\n",
         [](ViSession s) {
             int marker = -1;
             const ViStatus status = viScanf(s, "%d", &marker);
             EXPECT_EQ(marker, 7);
             return status;
         }},
        {"%i %x %o %u", "0x1F 1f 017 4000000000\n",
         [](ViSession s) {
             int i = 0;
             unsigned x = 0, o = 0, u = 0;
             const ViStatus status = viScanf(s, "%i %x %o %u", &i, &x, &o, &u);
             EXPECT_EQ(i, 31);
             EXPECT_EQ(x, 0x1Fu);
             EXPECT_EQ(o, 15u);
             EXPECT_EQ(u, 4000000000u);
             return status;
         }},
        {"%lld %llu", "-9000000000 18000000000000000000\n",
         [](ViSession s) {
             long long a = 0;
             unsigned long long b = 0;
             const ViStatus status = viScanf(s, "%lld %llu", &a, &b);
             EXPECT_EQ(a, -9000000000LL);
             EXPECT_EQ(b, 18000000000000000000ULL);
             return status;
         }},
        {"width and %c", "12345ABC\n",
         [](ViSession s) {
             int head = 0, tail = 0;
             char letters[3] = {};
             const ViStatus status = viScanf(s, "%2d%3d%2c", &head, &tail, letters);
             EXPECT_EQ(head, 12);
             EXPECT_EQ(tail, 345);
             EXPECT_EQ(std::string(letters, 2), "AB");
             return status;
         }},
        {"%[set] %%", "abc,def 50%\n",
         [](ViSession s) {
             char first[8] = {}, second[8] = {};
             int percent = 0;
             const ViStatus status = viScanf(s, "%[^,],%[a-z] %d%%", first, second, &percent);
             EXPECT_STREQ(first, "abc");
             EXPECT_STREQ(second, "def");
             EXPECT_EQ(percent, 50);
             return status;
         }},
        {"%t keeps the newline", "whole line\n",
         [](ViSession s) {
             char line[32] = {};
             const ViStatus status = viScanf(s, "%t", line);
             EXPECT_STREQ(line, "whole line\n");
             return status;
         }},
        {"%#s bounded by its size", "ABCDEFGHIJ\n",
         [](ViSession s) {
             char word[5] = {'x', 'x', 'x', 'x', 'x'};
             ViInt32 size = sizeof word;
             const ViStatus status = viScanf(s, "%#s", &size, word);
             EXPECT_STREQ(word, "ABCD");
             EXPECT_EQ(size, 4);
             return status;
         }},
        {"%s without width stores at most 255", std::string(300, 'w') + " next\n",
         [](ViSession s) {
             char word[VI_FIND_BUFLEN + 8];
             std::memset(word, 'x', sizeof word);
             char next[8] = {};
             const ViStatus status = viScanf(s, "%s %s", word, next);
             EXPECT_EQ(std::string(word), std::string(255, 'w'));
             EXPECT_EQ(word[VI_FIND_BUFLEN], 'x');
             EXPECT_STREQ(next, "next");
             return status;
         }},
        {"mismatch", "100;200\n",
         [](ViSession s) {
             ViInt32 a = 0, b = 0;
             return viScanf(s, "%ld,%ld", &a, &b);
         },
         VI_ERROR_IO},
        {"no number", "ERR\n",
         [](ViSession s) {
             ViInt32 a = 0;
             return viScanf(s, "%ld", &a);
         },
         VI_ERROR_IO},
        {"message ends first", "5\n",
         [](ViSession s) {
             int a = 0, b = 0;
             return viScanf(s, "%d%d", &a, &b);
         },
         VI_ERROR_IO},
        {"null destination", "5\n", [](ViSession s) { return viScanf(s, "%d", static_cast<int*>(nullptr)); },
         VI_ERROR_USER_BUF},
    };
}

TEST_F(FormattedIoTest, ScansDirectives) {
    for (const ScanCase& c : scanCases()) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(viClear(session_), VI_SUCCESS);
        module_->queueReply(c.reply);
        EXPECT_EQ(c.scanAndCheck(session_), c.status);
    }
}

TEST_F(FormattedIoTest, FormatErrorsSendAndReadNothing) {
    struct FormatCase {
        const char* name;
        std::function<ViStatus(ViSession)> call;
        ViStatus status;
    };
    int number = 0;
    const FormatCase cases[] = {
        {"printf unknown conversion", [](ViSession s) { return viPrintf(s, "%k\n", 1); }, VI_ERROR_INV_FMT},
        {"printf lone percent", [](ViSession s) { return viPrintf(s, "50%"); }, VI_ERROR_INV_FMT},
        {"printf binary block", [](ViSession s) { return viPrintf(s, "%b\n", 1); }, VI_ERROR_NSUP_FMT},
        {"printf array", [](ViSession s) { return viPrintf(s, "%,3d\n", nullptr); }, VI_ERROR_NSUP_FMT},
        {"printf huge width", [](ViSession s) { return viPrintf(s, "%999999d\n", 1); }, VI_ERROR_INV_FMT},
        {"scanf unknown conversion", [&](ViSession s) { return viScanf(s, "%k", &number); },
         VI_ERROR_INV_FMT},
        {"scanf unclosed set", [&](ViSession s) { return viScanf(s, "%[abc", &number); }, VI_ERROR_INV_FMT},
        {"query bad read format", [&](ViSession s) { return viQueryf(s, "*IDN?\n", "%y", &number); },
         VI_ERROR_NSUP_FMT},
    };
    module_->queueReply("1\n");
    for (const FormatCase& c : cases) EXPECT_EQ(c.call(session_), c.status) << c.name;
    EXPECT_TRUE(module_->writes().empty());
    EXPECT_TRUE(module_->replyPending());
}

TEST_F(FormattedIoTest, QueryWritesThenReads) {
    module_->answer("trac:poin? 3\n", "1024\n");
    module_->answer("outp:ttlt?\n", "TTLT7\n");
    module_->answer("seq:dwel? 0\n", "12\n");
    ViInt32 size = 0;
    ASSERT_EQ(viQueryf(session_, "trac:poin? %d\n", "%ld%*t", 3, &size), VI_SUCCESS);
    EXPECT_EQ(size, 1024);
    char word[16] = {};
    ASSERT_EQ(viQueryf(session_, "outp:ttlt?\n", "%s", word), VI_SUCCESS);
    EXPECT_STREQ(word, "TTLT7");
    // The newline the word scan left belongs to the previous reply.
    ViInt32 repeat = 0;
    ASSERT_EQ(viQueryf(session_, "seq:dwel? %d\n", "%ld", 0, &repeat), VI_SUCCESS);
    EXPECT_EQ(repeat, 12);

    ASSERT_EQ(viQueryf(session_, "unanswered?\n", "%ld", &repeat), VI_ERROR_TMO);
}

TEST_F(FormattedIoTest, ScanReadsALongReplyAcrossTheBuffer) {
    std::string reply(6000, 'a');
    reply += " 99\n";
    module_->queueReply(reply);
    int value = 0;
    ASSERT_EQ(viScanf(session_, "%*s %d", &value), VI_SUCCESS);
    EXPECT_EQ(value, 99);
    EXPECT_EQ(records(kqvisa::Op::Read).size(), 2u);
}

TEST_F(FormattedIoTest, ReadBufferFlushDiscardsTheRestOfTheMessage) {
    std::string reply(5000, '7');
    reply += "\n";
    module_->queueReply(reply);
    char digit = 0;
    ASSERT_EQ(viScanf(session_, "%c", &digit), VI_SUCCESS);
    ASSERT_EQ(viFlush(session_, VI_READ_BUF), VI_SUCCESS);
    EXPECT_FALSE(module_->replyPending());
}

// A process locale with a decimal comma must not change numbers on the bus.
class DecimalCommaLocaleTest : public FormattedIoTest {
protected:
    void SetUp() override {
        FormattedIoTest::SetUp();
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("kqvisa-locale-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        const std::string command =
            "localedef -i de_DE -f UTF-8 " + (folder / "de_DE.UTF-8").string() + " 2>/dev/null";
        if (std::system(command.c_str()) != 0 && !std::filesystem::exists(folder / "de_DE.UTF-8")) {
            GTEST_SKIP() << "localedef could not build de_DE.UTF-8 (is the locales package installed?)";
        }
        ::setenv("LOCPATH", folder.c_str(), 1);
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
            GTEST_SKIP() << "the de_DE.UTF-8 locale does not load";
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
        folder_ = folder;
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        ::unsetenv("LOCPATH");
        if (!folder_.empty()) std::filesystem::remove_all(folder_);
        FormattedIoTest::TearDown();
    }

    std::filesystem::path folder_;
};

TEST_F(DecimalCommaLocaleTest, NumbersKeepTheirPoint) {
    ASSERT_EQ(viPrintf(session_, "tim %4.7f;%lg;%e;%g\n", 0.01, 2.5, 1234.5, 0.5), VI_SUCCESS);
    EXPECT_EQ(received(), "tim 0.0100000;2.5;1.234500e+03;0.5\n");
    module_->queueReply("0.0100000,1.5\n");
    ViReal64 period = 0;
    ViReal32 second = 0;
    ASSERT_EQ(viScanf(session_, "%lg,%f%*t", &period, &second), VI_SUCCESS);
    EXPECT_DOUBLE_EQ(period, 0.01);
    EXPECT_FLOAT_EQ(second, 1.5f);
}

}  // namespace
}  // namespace kqvisatest
