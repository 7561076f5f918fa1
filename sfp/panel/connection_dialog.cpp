#include "connection_dialog.h"

#include <string>

#include "decimal_text.h"
#include "front_panel_state.h"
#include "instrument_controls.h"
#include "module_descriptor.h"
#include "panel_layout.h"
#include "user_interface.h"

namespace {

int dialogPanel = 0;

void discardDialog() {
    DiscardPanel(dialogPanel);
    dialogPanel = 0;
}

void undimMainPanel() { SetPanelAttribute(frontPanel().mainPanel, UI_ATTR_DIMMED, 0); }

void openConnectionDialog() {
    FrontPanelState& state = frontPanel();
    const int dialog = LoadPanel(state.mainPanel, layout::kConnectionPanelForm);
    if (dialog < 0) {
        MessagePopup("ERROR", "Error loading the Connection Panel");
        return;
    }
    dialogPanel = dialog;
    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 1);

    const ViStatus status = kq7120_scanChassis(state.moduleLogicalAddress.data(), state.moduleSlot.data(),
                                               state.moduleModel.data(), state.moduleInterfaceNumber.data(),
                                               &state.moduleCount, &state.moduleInterfaceType);
    const char* failure = status < VI_SUCCESS      ? "Error scanning chassis"
                          : state.moduleCount == 0 ? "No KQ7120/7110 modules found"
                                                   : nullptr;
    if (failure != nullptr) {
        SetCtrlVal(state.mainPanel, layout::kErrorIndicator, 1);
        MessagePopup("ERROR", failure);
        discardDialog();
        undimMainPanel();
        return;
    }

    ClearListCtrl(dialog, layout::kModuleList);
    for (int i = 0; i < state.moduleCount; ++i) {
        const char* model =
            state.moduleModel[i] == kq7120_KQ7120 ? "Model 7120 - Slot " : "Model 7110 - Slot ";
        const std::string label = model + decimalText(state.moduleSlot[i]);
        InsertListItem(dialog, layout::kModuleList, i, label.c_str(), i);
    }
    // The first module is chosen, so Connect right away opens it; the arrow keys choose another.
    SetCtrlIndex(dialog, layout::kModuleList, 0);
    SetActiveCtrl(dialog, layout::kModuleList);
    SetPanelAttribute(dialog, UI_ATTR_CLOSE_CTRL, layout::kCancelButton);
    DisplayPanel(dialog);
}

}  // namespace

int Initialize(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) openConnectionDialog();
    return 0;
}

void mnuInitialize(int, const char*, int) {
    // While a dialog is up the main panel is dimmed, and its Initialize command with it.
    int dimmed = 0;
    GetPanelAttribute(frontPanel().mainPanel, UI_ATTR_DIMMED, &dimmed);
    if (dimmed == 0) openConnectionDialog();
}

int Connect(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    FrontPanelState& state = frontPanel();
    int resetOnOpen = 0;
    int idQuery = 0;
    GetCtrlVal(panel, layout::kResetOnOpen, &resetOnOpen);
    GetCtrlVal(panel, layout::kIdQuery, &idQuery);
    int selected = -1;
    GetCtrlIndex(panel, layout::kModuleList, &selected);
    state.selectedModule = selected;
    if (selected < 0 || selected >= state.moduleCount) {
        state.selectedModule = -1;
        // The session held so far stays open (Close, Exit or the next Connect ends it), but the
        // panel no longer works with it and says so.
        state.instrConnected = 0;
        ShowUnconnected();
        MessagePopup("ERROR", "Model kq7120/kq7110 not found");
        DimInstrumentControls(1);
        return 0;
    }

    // The session held so far is closed first: a failed open zeroes the handle, and the old
    // session could never be closed afterwards.
    if (state.instrHandle != 0) {
        kq7120_close(state.instrHandle);
        state.instrHandle = 0;
    }
    const std::string descriptor =
        moduleDescriptor(state.moduleInterfaceType, state.moduleInterfaceNumber[selected],
                         state.moduleLogicalAddress[selected]);
    if (kq7120_init(descriptor.c_str(), static_cast<ViUInt16>(idQuery), static_cast<ViUInt16>(resetOnOpen),
                    &state.instrHandle) < VI_SUCCESS) {
        ShowOpenFailure("Error initializing the instrument");
        return 0;
    }

    state.instrConnected = 1;
    ShowConnected(state.moduleSlot[selected], state.moduleModel[selected], descriptor);
    discardDialog();
    undimMainPanel();
    DimInstrumentControls(0);
    const bool sixteenChannels = state.moduleModel[selected] == kq7120_KQ7120;
    state.channelCount = sixteenChannels ? kq7120_CHANNEL_LIST_KQ7120_MAX : kq7120_CHANNEL_LIST_KQ7110_MAX;
    DimUpperChannels(sixteenChannels ? 0 : 1);

    if (resetOnOpen == 1) {
        KeepIndicatorsAsDefaults();
        DefaultPanel(state.mainPanel);
        SetChannelColor(UI_COLOR_BLACK);
    } else {
        // Without a reset the module keeps its levels, which are not the ones the panel shows.
        ReadBackChannelLevels();
    }
    return 0;
}

int Cancel(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) {
        discardDialog();
        undimMainPanel();
    }
    return 0;
}

int connectionDialogPanel() { return IsPanelLoaded(dialogPanel) == 1 ? dialogPanel : 0; }
