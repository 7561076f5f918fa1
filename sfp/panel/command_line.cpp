#include "command_line.h"

#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>

CommandLine parseCommandLine(int argc, const char* const argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    if (arguments.isEmpty()) arguments.append(QStringLiteral("sfp7120_32"));

    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("DESCRIPTOR"), QString());

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.action = CommandLine::Action::Misuse;
        result.problem = parser.errorText().toStdString();
    } else if (parser.isSet(help)) {
        result.action = CommandLine::Action::Help;
    } else if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
    } else if (parser.positionalArguments().size() > 1) {
        result.action = CommandLine::Action::Misuse;
        result.problem = "one DESCRIPTOR at most";
    } else if (parser.positionalArguments().size() == 1) {
        result.descriptor = parser.positionalArguments().front().toStdString();
        if (result.descriptor.empty()) {
            result.action = CommandLine::Action::Misuse;
            result.problem = "the DESCRIPTOR is empty";
        }
    }
    return result;
}

namespace {

std::string usageText() {
    return "Usage: sfp7120_32 [DESCRIPTOR]\n"
           "Soft front panel of the KQ7120/KQ7110 VXIbus DAC modules.\n"
           "\n"
           "At start the panel scans the chassis and opens the first KQ7120/KQ7110 found, or the\n"
           "module of the VISA descriptor DESCRIPTOR (for example VXI0::40::INSTR).\n"
           "\n"
           "Options:\n"
           "  -h, --help     show this help and exit\n"
           "  -v, --version  show the version and exit\n";
}

std::string versionText() { return "sfp7120_32 " KQ_PRODUCT_VERSION "\n"; }

}  // namespace

int answerCommandLine(const CommandLine& commandLine) {
    switch (commandLine.action) {
        case CommandLine::Action::Help:
            std::fputs(usageText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::fputs(versionText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Misuse:
            std::fprintf(stderr, "sfp7120_32: %s\n%s", commandLine.problem.c_str(), usageText().c_str());
            return 2;
        case CommandLine::Action::Run:
            break;
    }
    return 0;
}
