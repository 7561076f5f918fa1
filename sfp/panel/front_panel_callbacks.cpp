#include "front_panel_callbacks.h"

#include <array>

#include "about_panel.h"
#include "calibration_dialog.h"
#include "calibration_password_dialog.h"
#include "change_password_dialog.h"
#include "connection_dialog.h"
#include "dac_memory_scan_dialog.h"
#include "main_panel.h"

std::span<const UiCallback> frontPanelCallbacks()
{
    static const std::array<UiCallback, 42> callbacks = {{
        {"VoltLevel", ControlCallback{VoltLevel}},
        {"Reset", ControlCallback{Reset}},
        {"About", ControlCallback{About}},
        {"AboutPanel", PanelCallback{AboutPanel}},
        {"Close", ControlCallback{Close}},
        {"Exit", ControlCallback{Exit}},
        {"mnuExit", MenuCallback{mnuExit}},
        {"Initialize", ControlCallback{Initialize}},
        {"mnuInitialize", MenuCallback{mnuInitialize}},
        {"Connect", ControlCallback{Connect}},
        {"Cancel", ControlCallback{Cancel}},
        {"mnuSetCalibration", MenuCallback{mnuSetCalibration}},
        {"InputChannel", ControlCallback{InputChannel}},
        {"InputData", ControlCallback{InputData}},
        {"GainOffset", ControlCallback{GainOffset}},
        {"CalVoltageRange", ControlCallback{CalVoltageRange}},
        {"ReviewTable", ControlCallback{ReviewTable}},
        {"CalibChannelApply", ControlCallback{CalibChannelApply}},
        {"saveCalibrateData", ControlCallback{saveCalibrateData}},
        {"ChangePasswordPanel", ControlCallback{ChangePasswordPanel}},
        {"CalCancel", ControlCallback{CalCancel}},
        {"Password", ControlCallback{Password}},
        {"PasswordCancel", ControlCallback{PasswordCancel}},
        {"CurrentPassword", ControlCallback{CurrentPassword}},
        {"NewPass", ControlCallback{NewPass}},
        {"PasswordApply", ControlCallback{PasswordApply}},
        {"PassCancel", ControlCallback{PassCancel}},
        {"mnuSetScanList", MenuCallback{mnuSetScanList}},
        {"MemoryScanCommand", ControlCallback{MemoryScanCommand}},
        {"SwitchMode", ControlCallback{SwitchMode}},
        {"MemoryIndex", ControlCallback{MemoryIndex}},
        {"InputIndex", ControlCallback{InputIndex}},
        {"VoltIndex", ControlCallback{VoltIndex}},
        {"Channel", ControlCallback{Channel}},
        {"ScanMode", ControlCallback{ScanMode}},
        {"ScanLimit", ControlCallback{ScanLimit}},
        {"InputScanIndex", ControlCallback{InputScanIndex}},
        {"VoltScanIndex", ControlCallback{VoltScanIndex}},
        {"ImportDacValues", ControlCallback{ImportDacValues}},
        {"ExportDacValues", ControlCallback{ExportDacValues}},
        {"ConfigDACS", ControlCallback{ConfigDACS}},
        {"ConfigDACVoltDone", ControlCallback{ConfigDACVoltDone}},
    }};
    return callbacks;
}
