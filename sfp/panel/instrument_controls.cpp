#include "instrument_controls.h"

#include "front_panel_state.h"
#include "panel_layout.h"
#include "user_interface.h"

void DimInstrumentControls(int dim)
{
    const FrontPanelState& state = frontPanel();
    for (const char* control : state.channelControl)
        SetCtrlAttribute(state.mainPanel, control, UI_ATTR_DIMMED, dim);
    for (const char* control : layout::kInstrumentCommands)
        SetCtrlAttribute(state.mainPanel, control, UI_ATTR_DIMMED, dim);
}

void DimUpperChannels(int dim)
{
    const FrontPanelState& state = frontPanel();
    for (int i = kq7120_CHANNEL_LIST_KQ7110_MAX; i < kChannelControlCount; ++i)
        SetCtrlAttribute(state.mainPanel, state.channelControl[i], UI_ATTR_DIMMED, dim);
}

void SetChannelColor(int color)
{
    const FrontPanelState& state = frontPanel();
    for (const char* control : state.channelControl)
        SetCtrlAttribute(state.mainPanel, control, UI_ATTR_TEXT_COLOR, color);
}

void KeepIndicatorsAsDefaults()
{
    const int panel = frontPanel().mainPanel;
    for (const char* indicator : {layout::kSlotDisplay, layout::kConnectedIndicator}) {
        int value = 0;
        GetCtrlVal(panel, indicator, &value);
        SetCtrlAttribute(panel, indicator, UI_ATTR_DEFAULT_VALUE, value);
    }
}

void InitChannelTables()
{
    FrontPanelState& state = frontPanel();
    for (int i = 0; i < kChannelControlCount; ++i) {
        state.channelControl[i] = layout::kChannelVoltage[i];
        state.channelRange[i] = 0;
    }
}

void ShowOpenFailure(const char* message)
{
    FrontPanelState& state = frontPanel();
    SetCtrlVal(state.mainPanel, layout::kErrorIndicator, 1);
    state.instrConnected = 0;
    SetCtrlVal(state.mainPanel, layout::kConnectedIndicator, 0);
    SetCtrlVal(state.mainPanel, layout::kSlotDisplay, 0);
    MessagePopup("ERROR", message);
    DimInstrumentControls(1);
}
