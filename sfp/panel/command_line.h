// The program's command line: `sfp7120_32 [--help | --version | DESCRIPTOR]`. Read before the
// user interface starts, so --help and --version work without a display.
#pragma once

#include <string>

struct CommandLine {
    enum class Action { Run, Help, Version, Misuse };
    Action action = Action::Run;
    std::string descriptor;  // Run: the module to open, empty for the first one found
    std::string problem;     // Misuse: what is wrong
};

CommandLine parseCommandLine(int argc, const char* const argv[]);

// Carries out Help, Version and Misuse: prints to standard output (help, version, exit status 0) or
// standard error (misuse, exit status 2). Returns that exit status.
int answerCommandLine(const CommandLine& commandLine);
