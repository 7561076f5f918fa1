// Screenshot tour: starts the front panel as the program does, operates it through the same event
// paths an operator uses, and saves each panel as a PNG file in the folder given as argument.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "about_panel.h"
#include "advanced_clock_panel.h"
#include "arb_example.h"
#include "calibration_dialog.h"
#include "calibration_password_dialog.h"
#include "change_password_dialog.h"
#include "command_console.h"
#include "connection_dialog.h"
#include "dac_memory_scan_dialog.h"
#include "front_panel_state.h"
#include "output_range_panel.h"
#include "output_trigger_panel.h"
#include "panel_layout.h"
#include "startup.h"
#include "status_panel.h"
#include "trigger_panel.h"
#include "ui_operator.h"
#include "ui_popup_capture.h"
#include "user_interface.h"
#include "waveform_panel_tour.h"

namespace {

// Lets the windows map and paint.
void settle() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(const QString& title, const QString& folder, const char* file) {
    settle();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        // The main panel's title goes on with the open module's name.
        if (window->isVisible() && window->windowTitle().startsWith(title)) {
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

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    SetPopupCapture(true);
    if (const ViStatus status = StartFrontPanel(); status != VI_SUCCESS) {
        std::fprintf(stderr, "screenshot_tour: start-up ended with status 0x%08X\n",
                     static_cast<unsigned>(status));
        return 1;
    }
    const int main = frontPanel().mainPanel;
    const QString mainTitle = QStringLiteral("KQ7120 Soft Front Panel");
    bool saved = true;

    const char* const levels[][2] = {{"ChannelVoltage1", "2.5"},
                                     {"ChannelVoltage2", "-7.25"},
                                     {"ChannelVoltage6", "19.99969"},
                                     {"ChannelVoltage11", "-20"},
                                     {"ChannelVoltage16", "0.001"}};
    for (const auto& [channel, level] : levels) OperateEnterValue(main, channel, level);
    SetActiveCtrl(main, "ChannelVoltage4");
    saved &= save(mainTitle, folder, "main_panel.png");
    saved &= tourWaveformPanels(folder, save);

    OperateCommit(main, "AboutButton");
    saved &= save(QStringLiteral("About"), folder, "about_panel.png");
    OperateClick(aboutDialogPanel(), nullptr);

    OperateCommit(main, "ConsoleButton");
    for (const char* command : {"*IDN?", "SOUR:VOLT:LEV 25,(@1)", "TRIG:SOUR BOGUS", "SOUR:VOLT:LEV? 1"})
        OperateEnterValue(consolePanel(), console::kCommandText, command);
    saved &= save(QStringLiteral("Command Console"), folder, "command_console.png");
    OperateCommit(consolePanel(), console::kCloseButton);

    OperateCommit(main, "StatusButton");
    OperateCommit(statusDialogPanel(), status_panel::kPollButton);
    saved &= save(QStringLiteral("Status Registers"), folder, "status_panel.png");
    OperateCommit(statusDialogPanel(), status_panel::kDoneButton);

    OperateCommit(main, "ArbExampleButton");
    saved &= save(QStringLiteral("ARB Programming Example"), folder, "arb_example.png");
    OperateCommit(exampleDialogPanel(), example_panel::kExitButton);

    const int menuBar = frontPanel().mainMenuBar;
    OperateMenuItem(menuBar, "TriggerMenuEntry");
    OperateSelect(triggerDialogPanel(), trigger_panel::kTriggerSource, trigger_panel::kExternalInput);
    saved &= save(QStringLiteral("Trigger Configuration"), folder, "trigger_panel.png");
    OperateCommit(triggerDialogPanel(), trigger_panel::kCancelButton);

    OperateMenuItem(menuBar, "OutputRangeMenuEntry");
    OperateSelect(outputRangeDialogPanel(), output_range::kChannelRangeSelector[1], 1);
    saved &= save(QStringLiteral("Output Range"), folder, "output_range_panel.png");
    OperateCommit(outputRangeDialogPanel(), output_range::kDoneButton);

    OperateMenuItem(menuBar, "AdvancedClockMenuEntry");
    OperateCommit(advancedClockDialogPanel(), advanced_clock::kTimerButton);
    saved &= save(QStringLiteral("Advanced Clock"), folder, "advanced_clock_panel.png");
    OperateCommit(advancedClockDialogPanel(), advanced_clock::kDoneButton);

    OperateMenuItem(menuBar, "OutputTriggerMenuEntry");
    OperateSelect(outputTriggerDialogPanel(), output_trigger::kSourceSelector, 1);
    saved &= save(QStringLiteral("Output Trigger"), folder, "output_trigger_panel.png");
    OperateCommit(outputTriggerDialogPanel(), output_trigger::kExitButton);
    // Constants like a calibrated module's, sent with the simulator's factory password.
    ViInt16 constants[kq7120_CAL_DATA_SIZE] = {};
    for (int i = 0; i < kq7120_CAL_DATA_SIZE; ++i) constants[i] = static_cast<ViInt16>((i * 37) % 61 - 30);
    kq7120_calibrationDataBlock(frontPanel().instrHandle, "KQ7120", constants);
    OperateMenuItem(menuBar, "CalibrationMenuEntry");
    const int calibration = calibrationDialogPanel();
    OperateSelect(calibration, calibration_layout::kKindSelector, 1);
    OperateSelect(calibration, calibration_layout::kConstantsList, 2);
    saved &= save(QStringLiteral("Calibration"), folder, "calibration_dialog.png");
    OperateCommit(calibration, calibration_layout::kCalibrateButton);
    for (const char key : std::string("secret"))
        OperateKey(passwordDialogPanel(), password_layout::kEntry, key);
    saved &= save(QStringLiteral("Calibration Password"), folder, "password_dialog.png");
    OperateKey(passwordDialogPanel(), password_layout::kEntry, UI_KEY_ESC);
    OperateCommit(calibration, calibration_layout::kChangePasswordButton);
    saved &= save(QStringLiteral("Change Calibration Password"), folder, "change_password_dialog.png");
    OperateCommit(changePasswordDialogPanel(), change_password_layout::kCancelButton);
    OperateCommit(calibration, calibration_layout::kCloseButton);

    // A scan list worth plotting on channel 1: one period of a sine over 128 entries, stopping at 100.
    const ViSession session = frontPanel().instrHandle;
    ViReal32 list[kq7120_VOLTAGE_LIST_MAX] = {};
    for (int i = 0; i < 128; ++i)
        list[i] = static_cast<ViReal32>(8.0 * std::sin(2.0 * std::numbers::pi * i / 128.0));
    const ViInt16 firstChannel[1] = {1};
    kq7120_configTriggerParams(session, kq7120_TRIG_SRC_EXT, 0);
    kq7120_setupScanList(session, 1, list, kq7120_VOLTAGE_LIST_MAX);
    kq7120_setupScanMode(session, kq7120_SCAN_MODE_ON, firstChannel, 1);
    kq7120_setupScanLimit(session, 1, 100);
    OperateMenuItem(menuBar, "ScanListMenuEntry");
    const int memoryScan = dacMemoryScanDialogPanel();
    saved &= save(QStringLiteral("DAC Memory and Scan Lists"), folder, "memory_scan_dialog.png");
    OperateSelect(memoryScan, dac_scan_layout::kViewSwitch, 0);
    OperateEnterValue(memoryScan, dac_scan_layout::kScanIndexField, "32");
    saved &= save(QStringLiteral("DAC Memory and Scan Lists"), folder, "memory_scan_dialog_scan_list.png");
    OperateCommit(memoryScan, dac_scan_layout::kDoneButton);

    OperateCommit(main, "InitializeButton");
    OperateSelect(connectionDialogPanel(), layout::kModuleList, 1);
    saved &= save(QStringLiteral("Instrument Connection"), folder, "connection_dialog.png");

    OperateCommit(connectionDialogPanel(), "ConnectButton");
    saved &= save(mainTitle, folder, "main_panel_kq7110.png");

    OperateCommit(main, "CloseButton");
    saved &= save(mainTitle, folder, "main_panel_unconnected.png");

    for (const CapturedPopup& popup : CapturedPopups()) {
        std::fprintf(stderr, "screenshot_tour: unexpected pop-up %s: %s\n", popup.title.c_str(),
                     popup.text.c_str());
        saved = false;
    }
    OperateCommit(main, layout::kExitButton);
    RunUserInterface();
    return saved ? 0 : 1;
}
