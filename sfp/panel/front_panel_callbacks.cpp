#include "front_panel_callbacks.h"

#include <array>

#include "about_panel.h"
#include "connection_dialog.h"
#include "main_panel.h"
#include "output_view.h"

std::span<const UiCallback> frontPanelCallbacks()
{
    static const std::array<UiCallback, 15> callbacks = {{
        {"VoltLevel", ControlCallback{VoltLevel}},
        {"Reset", ControlCallback{Reset}},
        {"About", ControlCallback{About}},
        {"AboutPanel", PanelCallback{AboutPanel}},
        {"Close", ControlCallback{Close}},
        {"Exit", ControlCallback{Exit}},
        {"mnuExit", MenuCallback{mnuExit}},
        {"Initialize", ControlCallback{Initialize}},
        {"mnuInitialize", MenuCallback{mnuInitialize}},
        {"Connect", ControlCallback{Connect}},
        {"Cancel", ControlCallback{Cancel}},
        {"mnuSimulatedOutputs", MenuCallback{mnuSimulatedOutputs}},
        {"OutputViewPanel", PanelCallback{OutputViewPanel}},
        {"OutputViewClose", ControlCallback{OutputViewClose}},
        {"OutputViewSettings", ControlCallback{OutputViewSettings}},
    }};
    return callbacks;
}
