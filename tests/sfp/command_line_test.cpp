// The program's command line, read in-process and as the shell runs the program.
#include "command_line.h"

#include <gmock/gmock.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace sfptest {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, EachFormGivesItsAction) {
    struct Case {
        std::vector<const char*> arguments;
        Action action;
        const char* descriptor;
    };
    const Case cases[] = {
        {{}, Action::Run, ""},
        {{"VXI0::40::INSTR"}, Action::Run, "VXI0::40::INSTR"},
        {{"--", "-odd"}, Action::Run, "-odd"},
        {{"--help"}, Action::Help, ""},
        {{"-h"}, Action::Help, ""},
        {{"VXI0::40::INSTR", "--help"}, Action::Help, ""},
        {{"--version"}, Action::Version, ""},
        {{"-v"}, Action::Version, ""},
        {{"--verbose"}, Action::Misuse, ""},
        {{"-x"}, Action::Misuse, ""},
        {{"VXI0::24::INSTR", "VXI0::40::INSTR"}, Action::Misuse, ""},
        {{""}, Action::Misuse, ""},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = {"sfp7120_32"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        std::string what;
        for (const char* argument : c.arguments) what += std::string(" '") + argument + "'";
        const CommandLine line = parseCommandLine(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(line.action, c.action) << what;
        EXPECT_EQ(line.descriptor, c.descriptor) << what;
        EXPECT_EQ(line.problem.empty(), c.action != Action::Misuse) << what;
    }
}

struct ProgramRun {
    int status = -1;
    std::string output;  // standard output, or standard error with `errors`
};

ProgramRun runProgram(const std::string& arguments, bool errors) {
    // No display and no chassis: these forms must not need either.
    const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb '") +
                                SFP_PROGRAM + "' " + arguments +
                                (errors ? " 2>&1 >/dev/null" : " 2>/dev/null");
    ProgramRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) run.output += buffer.data();
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(CommandLine, HelpVersionAndMisuseAnswerWithoutAWindow) {
    const ProgramRun help = runProgram("--help", false);
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.output, ::testing::StartsWith("Usage: sfp7120_32 [DESCRIPTOR]\n"));
    EXPECT_THAT(help.output, ::testing::HasSubstr("--version"));

    const ProgramRun version = runProgram("--version", false);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, "sfp7120_32 " KQ_PRODUCT_VERSION "\n");

    const ProgramRun misuse = runProgram("--frobnicate", true);
    EXPECT_EQ(misuse.status, 2);
    EXPECT_THAT(misuse.output,
                ::testing::StartsWith("sfp7120_32: Unknown option 'frobnicate'.\nUsage: sfp7120_32"));
}

}  // namespace
}  // namespace sfptest
