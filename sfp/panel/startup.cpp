#include "startup.h"

#include <string>

#include "form_directory.h"
#include "front_panel_callbacks.h"
#include "front_panel_state.h"
#include "instrument_controls.h"
#include "module_descriptor.h"
#include "output_view.h"
#include "panel_layout.h"
#include "user_interface.h"
#include "visa_attribute.h"

namespace {

// The program ends at start: the main panel goes with it.
ViStatus endAtStart(ViStatus status)
{
    DiscardPanel(frontPanel().mainPanel);
    frontPanel().mainPanel = 0;
    return status;
}

}  // namespace

ViStatus StartFrontPanel()
{
    FrontPanelState& state = frontPanel();
    InitChannelTables();

    SetCallbackTable(frontPanelCallbacks());
    SetFormDirectory(frontPanelFormDirectory().c_str());
    state.mainPanel = LoadPanel(0, layout::kMainPanelForm);
    state.mainMenuBar = state.mainPanel > 0 ? GetPanelMenuBar(state.mainPanel) : UI_ERR_INVALID_MENU_BAR;
    if (state.mainPanel < 0 || state.mainMenuBar < 0) {
        if (state.mainPanel > 0)
            DiscardPanel(state.mainPanel);
        MessagePopup("ERROR", "Error loading the Main Panel");
        return -1;
    }
    // The window's close box works like Exit.
    SetPanelAttribute(state.mainPanel, UI_ATTR_CLOSE_CTRL, layout::kExitButton);

    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 1);
    DisplayPanel(state.mainPanel);

    const ViStatus scan = kq7120_scanChassis(state.moduleLogicalAddress.data(), state.moduleSlot.data(),
                                             state.moduleModel.data(), state.moduleInterfaceNumber.data(),
                                             &state.moduleCount, &state.moduleInterfaceType);
    if (scan < VI_SUCCESS)
        return endAtStart(scan);
    if (state.moduleCount == 0)
        return endAtStart(VI_ERROR_RSRC_NFOUND);
    // The scan has loaded VISA: now it can be told whether it is the simulator.
    ShowSimulatorPresence();

    const std::string descriptor =
        moduleDescriptor(state.moduleInterfaceType, state.moduleInterfaceNumber[0], state.moduleLogicalAddress[0]);
    if (kq7120_init(descriptor.c_str(), kq7120_INIT_ID_QUERY, kq7120_INIT_RESET, &state.instrHandle) < VI_SUCCESS) {
        ShowOpenFailure("Autoconnect to first failed");
    } else {
        state.instrConnected = 1;
        SetCtrlVal(state.mainPanel, layout::kConnectedIndicator, 1);
        ViInt16 slot = 1;
        getVisaAttribute(state.instrHandle, VI_ATTR_SLOT, &slot);
        SetCtrlVal(state.mainPanel, layout::kSlotDisplay, slot);
        DimInstrumentControls(0);
        if (state.moduleModel[0] == kq7120_KQ7110)
            DimUpperChannels(1);
        else if (state.moduleModel[0] == kq7120_KQ7120)
            DimUpperChannels(0);
        state.modelNumber = state.moduleModel[0];
    }
    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 0);
    return VI_SUCCESS;
}

ViStatus RunFrontPanel()
{
    const ViStatus start = StartFrontPanel();
    if (start != VI_SUCCESS)
        return start;
    return RunUserInterface();
}
