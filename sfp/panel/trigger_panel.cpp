#include "trigger_panel.h"

#include "dialog_lifecycle.h"
#include "driver_status.h"
#include "front_panel_state.h"
#include "menu_groups.h"
#include "user_interface.h"

namespace tp = trigger_panel;

namespace {

int dialogPanel = 0;

// The model the 7110 test looks at: the module chosen in the connection dialog, or, when none was
// chosen there, the connected module as its channel count tells.
int connectedModel() {
    const FrontPanelState& state = frontPanel();
    if (state.selectedModule >= 0 && state.selectedModule < kq7120_MAX_SLOTS_IN_CHASSIS)
        return state.moduleModel[state.selectedModule];
    return state.channelCount == kq7120_CHANNEL_LIST_KQ7110_MAX ? kq7120_KQ7110 : kq7120_KQ7120;
}

// The timer period counts only for the timer; the slope only for the external input and TTL lines.
void showOperability(int panel, int source) {
    SetCtrlAttribute(panel, tp::kTimerPeriod, UI_ATTR_DIMMED, source == tp::kTimer ? 0 : 1);
    const bool hasSlope = source >= tp::kExternalInput && source <= tp::kLastTtlLine;
    SetCtrlAttribute(panel, tp::kTriggerSlope, UI_ATTR_DIMMED, hasSlope ? 0 : 1);
}

void closePanel(int panel) {
    dismissDialog(panel);
    dialogPanel = 0;
    EnableCfgMenu();
}

}  // namespace

bool CommonTriggerPanel() {
    const FrontPanelState& state = frontPanel();
    const int panel = loadDialog(tp::kForm, tp::kCancelButton, "Error loading the Trigger Panel");
    if (panel < 0) return false;
    ViInt16 source = 0;
    ViUInt16 slope = 0;
    if (ShowDriverStatus(kq7120_queryTriggerParams(state.instrHandle, &source, &slope)) < VI_SUCCESS) {
        DiscardPanel(panel);
        MessagePopup("ERROR", "Error querying the Trigger Parameters");
        return false;
    }
    ViReal64 period = 0.0;
    kq7120_queryTimer(state.instrHandle, &period);
    SetCtrlVal(panel, tp::kTimerPeriod, period);
    const int value = source - kq7120_TRIG_SRC_AUTO;
    SetCtrlVal(panel, tp::kTriggerSource, value);
    SetCtrlVal(panel, tp::kTriggerSlope, static_cast<int>(slope));
    showOperability(panel, value);
    dialogPanel = panel;
    DisplayPanel(panel);
    dimMainPanel(1);
    return true;
}

int ConfigTrigPanel(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) CommonTriggerPanel();
    return 0;
}

void mnuSetTriggers(int, const char*, int) {
    if (CommonTriggerPanel()) DisableCfgMenu();
}

int TrigSource(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    int value = 0;
    GetCtrlVal(panel, control, &value);
    if (value >= tp::kFirstUpperChannel && value <= tp::kLastUpperChannel &&
        connectedModel() == kq7120_KQ7110) {
        MessagePopup("Message", "Channels 9-16 are invalid trigger sources for a KQ7110 Model");
        SetCtrlIndex(panel, control, 0);
        value = 0;
    }
    showOperability(panel, value);
    return 0;
}

int ConfigTrigParamsApply(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const ViSession handle = frontPanel().instrHandle;
    int source = 0;
    int slope = 0;
    GetCtrlVal(panel, tp::kTriggerSource, &source);
    GetCtrlVal(panel, tp::kTriggerSlope, &slope);
    if (source == tp::kTimer) {
        double period = 0.0;
        GetCtrlVal(panel, tp::kTimerPeriod, &period);
        kq7120_setupTimer(handle, period);
    }
    if (ShowDriverStatus(kq7120_configTriggerParams(
            handle, static_cast<ViInt16>(source + kq7120_TRIG_SRC_AUTO), static_cast<ViUInt16>(slope))) <
        VI_SUCCESS) {
        MessagePopup("ERROR", "Error Configuring the Trigger Parameters");
        return 0;
    }
    closePanel(panel);
    return 0;
}

int cmdTrigImm(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT &&
        ShowDriverStatus(kq7120_triggerEvent(frontPanel().instrHandle)) < VI_SUCCESS)
        MessagePopup("ERROR", "Error Configuring the Trigger Parameters");
    return 0;
}

int configTrigParamsCancel(int panel, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) closePanel(panel);
    return 0;
}

int triggerDialogPanel() { return IsPanelLoaded(dialogPanel) == 1 ? dialogPanel : 0; }
