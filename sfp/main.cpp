// sfp7120_32: the soft front panel of the KQ7120/KQ7110 DAC modules.
#include <QApplication>

#include "startup.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    return RunFrontPanel();
}
