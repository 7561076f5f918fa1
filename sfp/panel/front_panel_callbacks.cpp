#include "front_panel_callbacks.h"

#include <array>
#include <vector>

#include "about_panel.h"
#include "advanced_clock_panel.h"
#include "arb_example.h"
#include "calibration_dialog.h"
#include "calibration_password_dialog.h"
#include "change_password_dialog.h"
#include "command_console.h"
#include "connection_dialog.h"
#include "dac_memory_scan_dialog.h"
#include "main_panel.h"
#include "output_range_panel.h"
#include "output_trigger_panel.h"
#include "output_view.h"
#include "status_panel.h"
#include "trigger_panel.h"
#include "waveform_callbacks.h"

std::span<const UiCallback> frontPanelCallbacks() {
    static const std::array<UiCallback, 91> panels = {{
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
        {"directIO", ControlCallback{directIO}},
        {"Send", ControlCallback{Send}},
        {"CommandEntry", ControlCallback{CommandEntry}},
        {"DirCancel", ControlCallback{DirCancel}},
        {"StatusPanel", ControlCallback{StatusPanel}},
        {"PollStatusQuery", ControlCallback{PollStatusQuery}},
        {"CpollStatusQuery", ControlCallback{CpollStatusQuery}},
        {"ErrorQuery", ControlCallback{ErrorQuery}},
        {"Default", ControlCallback{Default}},
        {"MaskClear", ControlCallback{MaskClear}},
        {"MaskUpdate", ControlCallback{MaskUpdate}},
        {"StatusDone", ControlCallback{StatusDone}},
        {"arb_example", ControlCallback{arb_example}},
        {"setArbChan", ControlCallback{setArbChan}},
        {"setNumSmpl", ControlCallback{setNumSmpl}},
        {"setSmplTime", ControlCallback{setSmplTime}},
        {"setArbFunc", ControlCallback{setArbFunc}},
        {"setDcvChan", ControlCallback{setDcvChan}},
        {"setNumLoop", ControlCallback{setNumLoop}},
        {"setLoopTime", ControlCallback{setLoopTime}},
        {"setMarkEna", ControlCallback{setMarkEna}},
        {"setSegDwell", ControlCallback{setSegDwell}},
        {"setOutVolt", ControlCallback{setOutVolt}},
        {"runScpi", ControlCallback{runScpi}},
        {"runDrvr", ControlCallback{runDrvr}},
        {"runWser", ControlCallback{runWser}},
        {"xmpExit", ControlCallback{xmpExit}},
        {"ConfigTrigPanel", ControlCallback{ConfigTrigPanel}},
        {"mnuSetTriggers", MenuCallback{mnuSetTriggers}},
        {"TrigSource", ControlCallback{TrigSource}},
        {"ConfigTrigParamsApply", ControlCallback{ConfigTrigParamsApply}},
        {"cmdTrigImm", ControlCallback{cmdTrigImm}},
        {"configTrigParamsCancel", ControlCallback{configTrigParamsCancel}},
        {"mnuSetVRange", MenuCallback{mnuSetVRange}},
        {"SetVRange", ControlCallback{SetVRange}},
        {"ChVoltageRange", ControlCallback{ChVoltageRange}},
        {"vrDone", ControlCallback{vrDone}},
        {"mnuSetAdvClock", MenuCallback{mnuSetAdvClock}},
        {"AdvClockSelection", ControlCallback{AdvClockSelection}},
        {"AdvTrigline", ControlCallback{AdvTrigline}},
        {"ClockSlope", ControlCallback{ClockSlope}},
        {"advClockDone", ControlCallback{advClockDone}},
        {"LoadOutputPanel", MenuCallback{LoadOutputPanel}},
        {"setOutputParms", ControlCallback{setOutputParms}},
        {"outputExit", ControlCallback{outputExit}},
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
        {"mnuSimulatedOutputs", MenuCallback{mnuSimulatedOutputs}},
        {"OutputViewPanel", PanelCallback{OutputViewPanel}},
        {"OutputViewClose", ControlCallback{OutputViewClose}},
        {"OutputViewSettings", ControlCallback{OutputViewSettings}},
    }};
    static const std::vector<UiCallback> callbacks = [] {
        std::vector<UiCallback> all(panels.begin(), panels.end());
        const std::span<const UiCallback> waveform = waveformPanelCallbacks();
        all.insert(all.end(), waveform.begin(), waveform.end());
        return all;
    }();
    return callbacks;
}
