#include "arb_run_panel.h"

#include <algorithm>
#include <string>
#include <vector>

#include "arb_definition.h"
#include "front_panel_state.h"
#include "menu_groups.h"
#include "module_error.h"
#include "user_interface.h"
#include "waveform_reading.h"

namespace {

constexpr const char* kArbRunPanelForm = "arb_run_panel.ui";
constexpr const char* kDataFormatSelector = "ArbDataFormatSelector";
constexpr const char* kMarkerStateSwitch = "ArbMarkerStateSwitch";
constexpr const char* kMarkerSlopeSelector = "ArbMarkerSlopeSelector";
constexpr const char* kLoadButton = "ArbLoadButton";
constexpr const char* kRunSwitch = "ArbRunSwitch";
constexpr const char* kCloseButton = "ArbCloseButton";
constexpr const char* kReadSegmentField = "ArbReadSegmentField";
constexpr const char* kReadChannelField = "ArbReadChannelField";
constexpr const char* kReadBackGraph = "ArbReadBackGraph";

constexpr std::int32_t kFileBytes = 6000;  // 3000 codes per file
constexpr ViInt32 kPlottedPoints = 1000;
// The driver reads no more of the module's reply than it is asked for, and a reply left half read
// makes the module flag the next command. Asking for as much as the driver takes reads every segment
// these panels make (at most 3000 points) whole.
constexpr ViInt32 kReadBackPoints = 16380;

int runPanel = 0;

// Sends the set-up; false at the first step that stops the load.
bool loadDefinition(int panel) {
    const ViSession instr = frontPanel().instrHandle;
    ArbDefinition& definition = arbDefinition();
    const ViInt16 firstChannel[] = {1};
    kq7120_setupScanMode(instr, kq7120_SCAN_MODE_ALL_OFF, firstChannel, 1);
    kq7120_configTriggerParams(instr, kq7120_TRIG_SRC_NONE, kq7120_SLOPE_POSITIVE);

    std::vector<ViInt16> channels;
    for (int i = 0; i < kArbChannels; ++i)
        if (definition.channelEnabled[static_cast<std::size_t>(i)] != 0)
            channels.push_back(static_cast<ViInt16>(i + 1));
    if (const ViStatus status = kq7120_setupScanMode(instr, kq7120_SCAN_MODE_ARB, channels.data(),
                                                     static_cast<ViInt16>(channels.size()));
        status < VI_SUCCESS) {
        showModuleError(status, "Failed entering ARB mode");
        return false;
    }

    int format = 0;
    GetCtrlVal(panel, kDataFormatSelector, &format);
    kq7120_setupDataFormat(instr, static_cast<ViInt16>(format));
    kq7120_setupMarker(instr, static_cast<ViUInt16>(definition.markerState),
                       static_cast<ViUInt16>(definition.markerSlope));

    std::vector<ViUInt16> codes;
    for (int s = 0; s < definition.segmentCount; ++s) {
        const ArbSegment& segment = definition.segments[static_cast<std::size_t>(s)];
        for (int e = 0; e < segment.entryCount; ++e) {
            const ArbSegmentEntry& entry = segment.entries[static_cast<std::size_t>(e)];
            codes.clear();
            const int count = readWaveformCodes(entry.path, kFileBytes, &codes, MessagePopup);
            if (count < 0) return false;
            const ViStatus status =
                kq7120_arbLoadData(instr, static_cast<ViInt16>(segment.segmentNumber),
                                   static_cast<ViInt16>(entry.channel), codes.data(), count);
            if (status < VI_SUCCESS) {
                const std::string message = "Error loading ARB Data: " + entry.path;
                showModuleError(status, message.c_str());
                if (status != kq7120_INSTRUMENT_ERROR) return false;
            }
        }
    }

    std::vector<ViInt16> sequence;
    for (int i = 0; i < definition.stepCount; ++i)
        sequence.push_back(static_cast<ViInt16>(definition.steps[static_cast<std::size_t>(i)].segmentNumber));
    if (const ViStatus status =
            kq7120_arbDefineSequence(instr, sequence.data(), static_cast<ViInt16>(sequence.size()));
        status < VI_SUCCESS) {
        showModuleError(status, "Error defining sequence list");
        if (status != kq7120_INSTRUMENT_ERROR) return false;
    }
    for (int i = 0; i < definition.stepCount; ++i) {
        const ArbStep& step = definition.steps[static_cast<std::size_t>(i)];
        const ViStatus status =
            kq7120_arbSetSeqParms(instr, static_cast<ViInt16>(i), static_cast<ViInt16>(step.start),
                                  static_cast<ViInt16>(step.advance), static_cast<ViInt16>(step.repeat),
                                  static_cast<ViInt16>(step.marker));
        if (status < VI_SUCCESS) {
            const std::string message = "Error setting parms for sequence " + std::to_string(i);
            showModuleError(status, message.c_str());
            if (status != kq7120_INSTRUMENT_ERROR) return false;
        }
    }
    return true;
}

}  // namespace

void arbPanel(int, const char*, int menuPanel) {
    const int panel = LoadPanel(menuPanel, kArbRunPanelForm);
    if (panel < 0) {
        MessagePopup("ERROR", "Error loading ARB Run Panel");
        return;
    }
    runPanel = panel;
    FrontPanelState& state = frontPanel();
    ArbDefinition& definition = arbDefinition();
    ViInt16 format = 0;
    if (kq7120_queryDataFormat(state.instrHandle, &format) >= VI_SUCCESS) definition.dataFormat = format;
    SetCtrlVal(panel, kDataFormatSelector, definition.dataFormat);
    ViInt16 markerState = 0;
    ViUInt16 markerSlope = 0;
    if (kq7120_queryMarkerParms(state.instrHandle, &markerState, &markerSlope) >= VI_SUCCESS) {
        definition.markerState = markerState;
        definition.markerSlope = markerSlope;
    }
    SetCtrlVal(panel, kMarkerStateSwitch, definition.markerState);
    SetCtrlVal(panel, kMarkerSlopeSelector, definition.markerSlope);
    SetCtrlAttribute(panel, kRunSwitch, UI_ATTR_DIMMED, 1);

    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 1);
    SetPanelAttribute(panel, UI_ATTR_CLOSE_CTRL, kCloseButton);
    DisplayPanel(panel);
    DisableArbMenuItems();
}

int loadArb(int panel, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT && loadDefinition(panel))
        SetCtrlAttribute(panel, kRunSwitch, UI_ATTR_DIMMED, 0);
    return 0;
}

int arbOperation(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    int on = 0;
    GetCtrlVal(panel, control, &on);
    kq7120_commandArb(frontPanel().instrHandle, on != 0 ? kq7120_INITIATE : kq7120_ABORT);
    SetCtrlAttribute(panel, kLoadButton, UI_ATTR_DIMMED, on != 0 ? 1 : 0);
    SetCtrlAttribute(panel, kDataFormatSelector, UI_ATTR_DIMMED, on != 0 ? 1 : 0);
    return 0;
}

int arbDataFmt(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    SetCtrlAttribute(panel, kRunSwitch, UI_ATTR_DIMMED, 1);
    int format = 0;
    GetCtrlVal(panel, control, &format);
    kq7120_setupDataFormat(frontPanel().instrHandle, static_cast<ViInt16>(format));
    return 0;
}

int SetMarkerParms(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    ArbDefinition& definition = arbDefinition();
    GetCtrlVal(panel, kMarkerStateSwitch, &definition.markerState);
    GetCtrlVal(panel, kMarkerSlopeSelector, &definition.markerSlope);
    kq7120_setupMarker(frontPanel().instrHandle, static_cast<ViUInt16>(definition.markerState),
                       static_cast<ViUInt16>(definition.markerSlope));
    return 0;
}

int queryData(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    int segment = 0;
    int channel = 1;
    GetCtrlVal(panel, kReadSegmentField, &segment);
    GetCtrlVal(panel, kReadChannelField, &channel);
    std::vector<ViChar> reply(2 * kReadBackPoints + 8);
    std::vector<ViReal64> volts(kReadBackPoints);
    ViInt32 points = kReadBackPoints;
    const ViStatus status =
        kq7120_arbQueryWaveformVoltage(frontPanel().instrHandle, static_cast<ViInt16>(segment),
                                       static_cast<ViInt16>(channel), reply.data(), volts.data(), &points);
    if (status < VI_SUCCESS) {
        PlotWaveform(panel, kReadBackGraph, nullptr, 0);
        showModuleError(status, "Error reading back the segment");
        return 0;
    }
    PlotWaveform(panel, kReadBackGraph, volts.data(), std::clamp<ViInt32>(points, 0, kPlottedPoints));
    return 0;
}

int arbPanelExit(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    FrontPanelState& state = frontPanel();
    kq7120_commandArb(state.instrHandle, kq7120_ABORT);
    kq7120_setupScanMode(state.instrHandle, kq7120_SCAN_MODE_ALL_OFF, nullptr, 0);
    kq7120_configTriggerParams(state.instrHandle, kq7120_TRIG_SRC_AUTO, kq7120_SLOPE_POSITIVE);
    DiscardPanel(panel);
    runPanel = 0;
    SetActivePanel(state.mainPanel);
    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 0);
    EnableArbMenuItems();
    return 0;
}

int arbRunPanel() { return IsPanelLoaded(runPanel) == 1 ? runPanel : 0; }
