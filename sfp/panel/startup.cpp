#include "startup.h"

#include <QString>
#include <cstdio>
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
ViStatus endAtStart(ViStatus status) {
    DiscardPanel(frontPanel().mainPanel);
    frontPanel().mainPanel = 0;
    return status;
}

// The module that start-up opens: the one the command line names, else the first one found. -1
// when the scan found no module under the descriptor named.
int moduleToOpen(const std::string& descriptor) {
    if (descriptor.empty()) return 0;
    const FrontPanelState& state = frontPanel();
    for (int i = 0; i < state.moduleCount; ++i) {
        const std::string found = moduleDescriptor(state.moduleInterfaceType, state.moduleInterfaceNumber[i],
                                                   state.moduleLogicalAddress[i]);
        // VISA resource names do not depend on case.
        if (QString::fromStdString(found).compare(QString::fromStdString(descriptor), Qt::CaseInsensitive) ==
            0)
            return i;
    }
    std::fprintf(stderr, "sfp7120_32: the chassis scan found no KQ7120/KQ7110 module at %s\n",
                 descriptor.c_str());
    return -1;
}

}  // namespace

ViStatus StartFrontPanel(const std::string& descriptor) {
    FrontPanelState& state = frontPanel();
    InitChannelTables();

    SetCallbackTable(frontPanelCallbacks());
    SetFormDirectory(frontPanelFormDirectory().c_str());
    state.mainPanel = LoadPanel(0, layout::kMainPanelForm);
    state.mainMenuBar = state.mainPanel > 0 ? GetPanelMenuBar(state.mainPanel) : UI_ERR_INVALID_MENU_BAR;
    if (state.mainPanel < 0 || state.mainMenuBar < 0) {
        if (state.mainPanel > 0) DiscardPanel(state.mainPanel);
        MessagePopup("ERROR", "Error loading the Main Panel");
        return -1;
    }
    // The window's close box works like Exit.
    SetPanelAttribute(state.mainPanel, UI_ATTR_CLOSE_CTRL, layout::kExitButton);

    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 1);
    ShowUnconnected();
    DisplayPanel(state.mainPanel);

    // The program ends without a window here: one line says why.
    const ViStatus scan = kq7120_scanChassis(state.moduleLogicalAddress.data(), state.moduleSlot.data(),
                                             state.moduleModel.data(), state.moduleInterfaceNumber.data(),
                                             &state.moduleCount, &state.moduleInterfaceType);
    if (scan == VI_ERROR_RSRC_NFOUND || (scan >= VI_SUCCESS && state.moduleCount == 0)) {
        std::fprintf(stderr, "sfp7120_32: no KQ7120/KQ7110 module found\n");
        return endAtStart(VI_ERROR_RSRC_NFOUND);
    }
    if (scan < VI_SUCCESS) {
        ViChar text[256] = {};
        kq7120_error_message(VI_NULL, scan, text);
        text[sizeof text - 1] = '\0';
        std::fprintf(stderr, "sfp7120_32: the chassis scan failed with status 0x%08X: %s\n",
                     static_cast<unsigned>(scan), text);
        return endAtStart(scan);
    }
    // The scan has loaded VISA: now it can be told whether it is the simulator.
    ShowSimulatorPresence();

    const int module = moduleToOpen(descriptor);
    const std::string opened =
        module < 0 ? descriptor
                   : moduleDescriptor(state.moduleInterfaceType, state.moduleInterfaceNumber[module],
                                      state.moduleLogicalAddress[module]);
    if (module < 0 || kq7120_init(opened.c_str(), kq7120_INIT_ID_QUERY, kq7120_INIT_RESET,
                                  &state.instrHandle) < VI_SUCCESS) {
        ShowOpenFailure("Autoconnect to first failed");
    } else {
        state.instrConnected = 1;
        state.selectedModule = module;
        ViInt16 slot = 1;
        getVisaAttribute(state.instrHandle, VI_ATTR_SLOT, &slot);
        ShowConnected(slot, state.moduleModel[module], opened);
        DimInstrumentControls(0);
        if (state.moduleModel[module] == kq7120_KQ7110)
            DimUpperChannels(1);
        else if (state.moduleModel[module] == kq7120_KQ7120)
            DimUpperChannels(0);
        state.modelNumber = state.moduleModel[module];
    }
    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 0);
    return VI_SUCCESS;
}

ViStatus RunFrontPanel(const std::string& descriptor) {
    const ViStatus start = StartFrontPanel(descriptor);
    if (start != VI_SUCCESS) return start;
    return RunUserInterface();
}
