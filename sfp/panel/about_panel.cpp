#include "about_panel.h"

#include "driver_status.h"
#include "front_panel_state.h"
#include "panel_layout.h"
#include "user_interface.h"

namespace {

int aboutPanel = 0;

}  // namespace

int About(int, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const FrontPanelState& state = frontPanel();
    aboutPanel = LoadPanel(state.mainPanel, layout::kAboutPanelForm);
    if (aboutPanel < 0) {
        aboutPanel = 0;
        MessagePopup("ERROR", "Error loading the About Panel");
        return 0;
    }
    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 1);
    DisplayPanel(aboutPanel);

    ViChar instrumentRevision[256] = {};
    ViChar driverRevision[256] = {};
    if (ShowDriverStatus(kq7120_revisionQuery(state.instrHandle, instrumentRevision, driverRevision)) <
        VI_SUCCESS) {
        MessagePopup("Error", "Error querying revision information");
        return 0;
    }
    instrumentRevision[sizeof instrumentRevision - 1] = '\0';
    driverRevision[sizeof driverRevision - 1] = '\0';
    SetCtrlVal(aboutPanel, layout::kDriverRevision, driverRevision);
    SetCtrlVal(aboutPanel, layout::kVisaRevision, "VISA 1.0");
    SetCtrlVal(aboutPanel, layout::kHardwareRevision, "Not Available");
    SetCtrlVal(aboutPanel, layout::kInstrumentRevision, instrumentRevision);
    return 0;
}

int AboutPanel(int panel, int event) {
    if (event == UI_EVENT_LEFT_CLICK || event == UI_EVENT_CLOSE) {
        DiscardPanel(panel);
        aboutPanel = 0;
        SetPanelAttribute(frontPanel().mainPanel, UI_ATTR_DIMMED, 0);
    }
    return 0;
}

int aboutDialogPanel() { return IsPanelLoaded(aboutPanel) == 1 ? aboutPanel : 0; }
