// The I/O trace file: KQ7120_VISA_TRACE is read on the first operation, so this program names its
// file before main runs and is the only test of its program.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "visa_test_support.h"

namespace kqvisatest {
namespace {

std::string chooseTraceFile() {
    const auto path = std::filesystem::temp_directory_path() / ("kq-io-trace-" + std::to_string(::getpid()));
    std::filesystem::remove(path);
    ::setenv("KQ7120_VISA_TRACE", path.c_str(), 1);
    return path.string();
}

const std::string traceFile = chooseTraceFile();

std::vector<std::string> traceLines() {
    std::ifstream in(traceFile);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class IoTraceTest : public InstrumentTest {
protected:
    void TearDown() override {
        kqvisa::setTraceRecording(true);
        InstrumentTest::TearDown();
        std::filesystem::remove(traceFile);
    }
};

TEST_F(IoTraceTest, OneLinePerOperationWithArgumentsStatusAndEscapedBoundedData) {
    module_->answer("*IDN?\n", "KQ7120,\"x\"\\\t\n");
    const std::vector<std::string> before = traceLines();
    ASSERT_EQ(writeBytes(session_, "*IDN?\n"), VI_SUCCESS);
    ViStatus status = VI_SUCCESS;
    readBytes(session_, 100, status);
    // With the in-memory trace switched off the file still gets every line and the moved words.
    kqvisa::setTraceRecording(false);
    ASSERT_EQ(viOut16(session_, VI_A16_SPACE, 0x28, 0x1234), VI_SUCCESS);
    std::vector<ViUInt16> words(40);
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<ViUInt16>(i);
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_DEST_INCREMENT, 0), VI_SUCCESS);
    ASSERT_EQ(viMoveOut16(session_, VI_A16_SPACE, TestInstrument::kFifoPort, words.size(), words.data()),
              VI_SUCCESS);
    ASSERT_EQ(writeBytes(session_, std::string(300, 'A') + "\x01"), VI_SUCCESS);
    EXPECT_EQ(viClose(12345), VI_ERROR_INV_OBJECT);

    const std::vector<std::string> lines = traceLines();
    ASSERT_EQ(lines.size(), before.size() + 7);
    const std::string prefix = R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{6}Z pid \d+ session )" +
                               std::to_string(session_) + R"( "VXI0::24::INSTR" )";
    const std::vector<std::string> expected = {
        prefix + R"(viWrite 6 bytes "\*IDN\?\\n" -> 0x00000000 VI_SUCCESS$)",
        prefix + R"(viRead 13 bytes "KQ7120,\\"x\\"\\\\\\t\\n" -> 0x00000000 VI_SUCCESS$)",
        prefix + R"(viOut16 space 1 offset 0x28 = 0x1234 -> 0x00000000 VI_SUCCESS$)",
        prefix + R"(viSetAttribute VI_ATTR_DEST_INCREMENT = 0 -> 0x00000000 VI_SUCCESS$)",
        prefix +
            R"(viMoveOut16 space 1 offset 0x20 40 words \[0x0000 0x0001 .* 0x001f\]\.\.\. -> 0x00000000 VI_SUCCESS$)",
        prefix + R"(viWrite 301 bytes "A{256}"\.\.\. -> 0x00000000 VI_SUCCESS$)",
        R"(^.* pid \d+ session 12345 viClose -> 0xbfff000e VI_ERROR_INV_OBJECT$)",
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(std::regex_search(lines[before.size() + i], std::regex(expected[i])))
            << lines[before.size() + i] << "\n  does not match\n"
            << expected[i];
    }
    EXPECT_TRUE(kqvisa::trace().size() >= 2u) << "the in-memory trace kept what it recorded while on";
}

}  // namespace
}  // namespace kqvisatest
