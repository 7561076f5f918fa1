// The program itself, started as the shell starts it, on a simulated chassis from a chassis file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace sfptest {
namespace {

int runProgramOn(const std::string& chassisJson) {
    const auto folder = std::filesystem::temp_directory_path() / "sfp-program-test";
    std::filesystem::create_directories(folder);
    const auto chassisFile = folder / "chassis.json";
    std::ofstream(chassisFile) << chassisJson;
    const std::string command = "env KQ7120_SIM_CHASSIS='" + chassisFile.string() + "' LD_LIBRARY_PATH='" +
                                SFP_SIM_LIBRARY_DIR + "' QT_QPA_PLATFORM=offscreen '" + SFP_PROGRAM +
                                "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Program, WithoutAModuleItEndsWithTheLowByteOfTheNotFoundStatus) {
    constexpr int notFoundLowByte = 0x11;  // VI_ERROR_RSRC_NFOUND, 0xBFFF0011
    EXPECT_EQ(runProgramOn(R"({"interface": "VXI", "modules": []})"), notFoundLowByte);
    EXPECT_EQ(
        runProgramOn(
            R"({"interface": "VXI", "modules": [{"model": "foreign", "logicalAddress": 8, "slot": 1}]})"),
        notFoundLowByte);
}

}  // namespace
}  // namespace sfptest
