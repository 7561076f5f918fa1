#include "front_panel_callbacks.h"

#include <array>
#include <vector>

#include "about_panel.h"
#include "connection_dialog.h"
#include "main_panel.h"
#include "waveform_callbacks.h"

std::span<const UiCallback> frontPanelCallbacks()
{
    static const std::array<UiCallback, 11> shell = {{
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
    }};
    static const std::vector<UiCallback> callbacks = [] {
        std::vector<UiCallback> all(shell.begin(), shell.end());
        const std::span<const UiCallback> waveform = waveformPanelCallbacks();
        all.insert(all.end(), waveform.begin(), waveform.end());
        return all;
    }();
    return callbacks;
}
