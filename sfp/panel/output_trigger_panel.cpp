#include "output_trigger_panel.h"

#include "dialog_lifecycle.h"
#include "front_panel_state.h"
#include "menu_groups.h"
#include "user_interface.h"

namespace ot = output_trigger;

namespace {

int outputPanel = 0;

}  // namespace

void LoadOutputPanel(int, const char*, int) {
    const int panel = loadDialog(ot::kForm, ot::kExitButton, "Error loading the Output Trigger Panel");
    if (panel < 0) return;
    outputPanel = panel;
    // A failed query shows the first entries rather than whatever the outputs held.
    ViInt16 source = 0;
    ViInt16 line = 0;
    ViUInt16 slope = 0;
    kq7120_queryOutput(frontPanel().instrHandle, &source, &line, &slope);
    SetCtrlVal(panel, ot::kSourceSelector, static_cast<int>(source));
    SetCtrlVal(panel, ot::kLineSelector, static_cast<int>(line));
    SetCtrlVal(panel, ot::kMarkerSlopeSelector, static_cast<int>(slope));
    dimMainPanel(1);
    DisplayPanel(panel);
    DisableCfgMenu();
}

int setOutputParms(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_VAL_CHANGED) return 0;
    int source = 0;
    int line = 0;
    int slope = 0;
    GetCtrlVal(panel, ot::kSourceSelector, &source);
    GetCtrlVal(panel, ot::kLineSelector, &line);
    GetCtrlVal(panel, ot::kMarkerSlopeSelector, &slope);
    kq7120_setupOutput(frontPanel().instrHandle, static_cast<ViInt16>(source), static_cast<ViInt16>(line),
                       static_cast<ViUInt16>(slope));
    return 0;
}

int outputExit(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    dismissDialog(panel);
    outputPanel = 0;
    EnableCfgMenu();
    return 0;
}

int outputTriggerDialogPanel() { return IsPanelLoaded(outputPanel) == 1 ? outputPanel : 0; }
