// sfp7120_32: the soft front panel of the KQ7120/KQ7110 DAC modules.
#include <QApplication>

#include "command_line.h"
#include "startup.h"

int main(int argc, char* argv[]) {
    const CommandLine commandLine = parseCommandLine(argc, argv);
    if (commandLine.action != CommandLine::Action::Run) return answerCommandLine(commandLine);
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    return RunFrontPanel(commandLine.descriptor);
}
