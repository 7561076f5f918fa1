// Screenshot tour: starts the front panel as the program does, operates it through the same event
// paths an operator uses, and saves each panel as a PNG file in the folder given as argument.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

#include <cstdio>
#include <string>

#include "about_panel.h"
#include "connection_dialog.h"
#include "front_panel_state.h"
#include "panel_layout.h"
#include "startup.h"
#include "ui_operator.h"
#include "user_interface.h"
#include "waveform_panel_tour.h"

namespace {

// Lets the windows map and paint.
void settle()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(const QString& title, const QString& folder, const char* file)
{
    settle();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowTitle() == title) {
            const QString path = folder + u'/' + QString::fromLatin1(file);
            if (!window->grab().save(path)) {
                std::fprintf(stderr, "screenshot_tour: cannot write %s\n", qUtf8Printable(path));
                return false;
            }
            std::printf("saved %s\n", qUtf8Printable(path));
            return true;
        }
    }
    std::fprintf(stderr, "screenshot_tour: no window \"%s\" to save as %s\n", qUtf8Printable(title), file);
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    SetPopupCapture(true);
    if (const ViStatus status = StartFrontPanel(); status != VI_SUCCESS) {
        std::fprintf(stderr, "screenshot_tour: start-up ended with status 0x%08X\n", static_cast<unsigned>(status));
        return 1;
    }
    const int main = frontPanel().mainPanel;
    const QString mainTitle = QStringLiteral("KQ7120 Soft Front Panel");
    bool saved = true;

    const char* const levels[][2] = {{"ChannelVoltage1", "2.5"},   {"ChannelVoltage2", "-7.25"},
                                     {"ChannelVoltage6", "19.99969"}, {"ChannelVoltage11", "-20"},
                                     {"ChannelVoltage16", "0.001"}};
    for (const auto& [channel, level] : levels)
        OperateEnterValue(main, channel, level);
    SetActiveCtrl(main, "ChannelVoltage4");
    saved &= save(mainTitle, folder, "main_panel.png");
    saved &= tourWaveformPanels(folder, save);

    OperateCommit(main, "AboutButton");
    saved &= save(QStringLiteral("About"), folder, "about_panel.png");
    OperateClick(aboutDialogPanel(), nullptr);

    OperateCommit(main, "InitializeButton");
    OperateSelect(connectionDialogPanel(), layout::kModuleList, 1);
    saved &= save(QStringLiteral("Instrument Connection"), folder, "connection_dialog.png");

    OperateCommit(connectionDialogPanel(), "ConnectButton");
    saved &= save(mainTitle, folder, "main_panel_kq7110.png");

    OperateCommit(main, "CloseButton");
    saved &= save(mainTitle, folder, "main_panel_unconnected.png");

    for (const CapturedPopup& popup : CapturedPopups()) {
        std::fprintf(stderr, "screenshot_tour: unexpected pop-up %s: %s\n", popup.title.c_str(), popup.text.c_str());
        saved = false;
    }
    OperateCommit(main, layout::kExitButton);
    RunUserInterface();
    return saved ? 0 : 1;
}
