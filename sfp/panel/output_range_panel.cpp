#include "output_range_panel.h"

#include <algorithm>
#include <cstring>

#include "dialog_lifecycle.h"
#include "front_panel_state.h"
#include "menu_groups.h"
#include "user_interface.h"

namespace orp = output_range;

namespace {

int rangePanel = 0;

void openDialog() {
    const FrontPanelState& state = frontPanel();
    const int panel = loadDialog(orp::kForm, orp::kDoneButton, "Error loading the Voltage Range Panel");
    if (panel < 0) return;
    rangePanel = panel;
    if (state.modelNumber == kq7120_KQ7110)
        for (int i = kq7120_CHANNEL_LIST_KQ7110_MAX; i < kChannelControlCount; ++i)
            SetCtrlAttribute(panel, orp::kChannelRangeSelector[i], UI_ATTR_DIMMED, 1);
    dimMainPanel(1);
    for (int i = 0; i < kChannelControlCount; ++i)
        SetCtrlVal(panel, orp::kChannelRangeSelector[i], static_cast<int>(state.channelRange[i]));
    DisplayPanel(panel);
    DisableCfgMenu();
}

}  // namespace

void mnuSetVRange(int, const char*, int) { openDialog(); }

int SetVRange(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) openDialog();
    return 0;
}

int ChVoltageRange(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const auto found = std::find_if(orp::kChannelRangeSelector.begin(), orp::kChannelRangeSelector.end(),
                                    [control](const char* name) { return std::strcmp(name, control) == 0; });
    if (found == orp::kChannelRangeSelector.end()) return 0;
    const auto index = static_cast<int>(found - orp::kChannelRangeSelector.begin());
    int range = 0;
    GetCtrlVal(panel, control, &range);
    frontPanel().channelRange[index] = range;
    setSFPChannelRange(index, range);
    return 0;
}

ViStatus setSFPChannelRange(int channelIndex, ViInt32 range) {
    const FrontPanelState& state = frontPanel();
    if (channelIndex < 0 || channelIndex >= kChannelControlCount) return VI_ERROR_PARAMETER1;
    const char* control = state.channelControl[channelIndex];
    const bool tenVolts = range == kq7120_10VOLT_RANGE;
    SetCtrlAttribute(state.mainPanel, control, UI_ATTR_MIN_VALUE,
                     tenVolts ? kq7120_10VOLT_LEVEL_VALUE_MIN : kq7120_VOLT_LEVEL_VALUE_MIN);
    SetCtrlAttribute(state.mainPanel, control, UI_ATTR_MAX_VALUE,
                     tenVolts ? kq7120_10VOLT_LEVEL_VALUE_MAX : kq7120_VOLT_LEVEL_VALUE_MAX);
    const ViInt16 channel[1] = {static_cast<ViInt16>(channelIndex + 1)};
    return kq7120_setupVoltageRange(state.instrHandle, static_cast<ViInt16>(range), channel, 1);
}

int vrDone(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    dismissDialog(panel);
    rangePanel = 0;
    EnableCfgMenu();
    return 0;
}

int outputRangeDialogPanel() { return IsPanelLoaded(rangePanel) == 1 ? rangePanel : 0; }
