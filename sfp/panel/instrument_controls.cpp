#include "instrument_controls.h"

#include <cmath>

#include "driver_status.h"
#include "front_panel_state.h"
#include "panel_layout.h"
#include "user_interface.h"

void DimInstrumentControls(int dim) {
    const FrontPanelState& state = frontPanel();
    for (const char* control : state.channelControl)
        SetCtrlAttribute(state.mainPanel, control, UI_ATTR_DIMMED, dim);
    for (const char* control : layout::kInstrumentCommands)
        SetCtrlAttribute(state.mainPanel, control, UI_ATTR_DIMMED, dim);
}

void DimUpperChannels(int dim) {
    const FrontPanelState& state = frontPanel();
    for (int i = kq7120_CHANNEL_LIST_KQ7110_MAX; i < kChannelControlCount; ++i)
        SetCtrlAttribute(state.mainPanel, state.channelControl[i], UI_ATTR_DIMMED, dim);
}

void SetChannelColor(int color) {
    const FrontPanelState& state = frontPanel();
    for (const char* control : state.channelControl)
        SetCtrlAttribute(state.mainPanel, control, UI_ATTR_TEXT_COLOR, color);
}

void KeepIndicatorsAsDefaults() {
    const int panel = frontPanel().mainPanel;
    for (const char* indicator : {layout::kSlotDisplay, layout::kConnectedIndicator}) {
        int value = 0;
        GetCtrlVal(panel, indicator, &value);
        SetCtrlAttribute(panel, indicator, UI_ATTR_DEFAULT_VALUE, value);
    }
}

void InitChannelTables() {
    FrontPanelState& state = frontPanel();
    for (int i = 0; i < kChannelControlCount; ++i) {
        state.channelControl[i] = layout::kChannelVoltage[i];
        state.channelRange[i] = 0;
    }
}

void ShowOpenFailure(const char* message) {
    FrontPanelState& state = frontPanel();
    SetCtrlVal(state.mainPanel, layout::kErrorIndicator, 1);
    state.instrConnected = 0;
    ShowUnconnected();
    MessagePopup("ERROR", message);
    DimInstrumentControls(1);
}

void ShowConnected(int slot, int model, const std::string& descriptor) {
    const int panel = frontPanel().mainPanel;
    SetCtrlVal(panel, layout::kConnectedIndicator, 1);
    SetCtrlVal(panel, layout::kSlotDisplay, slot);
    const std::string title = std::string(layout::kMainPanelTitle) + " \u2014 " +
                              (model == kq7120_KQ7120 ? "KQ7120" : "KQ7110") + " at " + descriptor;
    SetPanelAttribute(panel, UI_ATTR_TITLE, title.c_str());
}

void ShowUnconnected() {
    const int panel = frontPanel().mainPanel;
    SetCtrlVal(panel, layout::kConnectedIndicator, 0);
    SetCtrlVal(panel, layout::kSlotDisplay, std::nan(""));
    SetPanelAttribute(panel, UI_ATTR_TITLE, layout::kMainPanelTitle);
}

void ShowChannelLevel(int channelIndex, ViReal32 level) {
    const FrontPanelState& state = frontPanel();
    const char* control = state.channelControl[channelIndex];
    SetCtrlVal(state.mainPanel, control, static_cast<double>(level));
    SetCtrlAttribute(state.mainPanel, control, UI_ATTR_TEXT_COLOR,
                     level != 0.0F ? UI_COLOR_BLUE : UI_COLOR_BLACK);
}

ViStatus ReadBackChannelLevels() {
    const FrontPanelState& state = frontPanel();
    for (int i = state.channelCount; i < kChannelControlCount; ++i) {
        DefaultCtrl(state.mainPanel, state.channelControl[i]);
        SetCtrlAttribute(state.mainPanel, state.channelControl[i], UI_ATTR_TEXT_COLOR, UI_COLOR_BLACK);
    }
    for (int i = 0; i < state.channelCount && i < kChannelControlCount; ++i) {
        ViReal32 level = 0.0F;
        if (const ViStatus status =
                ShowDriverStatus(kq7120_queryVoltage(state.instrHandle, static_cast<ViInt16>(i + 1), &level));
            status < VI_SUCCESS) {
            MessagePopup("ERROR", "Error Querying the Voltage Level");
            return status;
        }
        ShowChannelLevel(i, level);
    }
    return VI_SUCCESS;
}
