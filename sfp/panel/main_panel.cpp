#include "main_panel.h"

#include <algorithm>
#include <cstring>

#include "driver_status.h"
#include "front_panel_state.h"
#include "instrument_controls.h"
#include "user_interface.h"

namespace {

void closeAndQuit() {
    FrontPanelState& state = frontPanel();
    if (state.instrHandle != 0) {
        if (ShowDriverStatus(kq7120_close(state.instrHandle)) < VI_SUCCESS)
            MessagePopup("ERROR", "Error closing the instrument");
        state.instrHandle = 0;
        state.instrConnected = 0;
    }
    DiscardPanel(state.mainPanel);
    QuitUserInterface(0);
}

}  // namespace

int VoltLevel(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const FrontPanelState& state = frontPanel();
    const auto entry = std::find_if(
        state.channelControl.begin(), state.channelControl.end(),
        [control](const char* name) { return name != nullptr && std::strcmp(name, control) == 0; });
    if (entry == state.channelControl.end()) return 0;
    const ViInt16 channel[1] = {static_cast<ViInt16>(entry - state.channelControl.begin() + 1)};

    double value = 0.0;
    GetCtrlVal(panel, control, &value);
    const ViReal32 volts = static_cast<ViReal32>(value);
    if (ShowDriverStatus(kq7120_setupVoltage(state.instrHandle, volts, channel, 1)) < VI_SUCCESS) {
        MessagePopup("ERROR", "Error Configuring the Voltage Level");
        return 0;
    }
    ViReal32 readBack = 0.0F;
    if (ShowDriverStatus(kq7120_queryVoltage(state.instrHandle, channel[0], &readBack)) < VI_SUCCESS) {
        MessagePopup("ERROR", "Error Querying the Voltage Level");
        return 0;
    }
    ShowChannelLevel(channel[0] - 1, readBack);
    return 0;
}

int Reset(int, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const FrontPanelState& state = frontPanel();
    if (state.instrConnected == 0) {
        MessagePopup("ERROR", "Device not open");
        return 0;
    }
    if (ShowDriverStatus(kq7120_reset(state.instrHandle)) < VI_SUCCESS) {
        MessagePopup("ERROR", "Error resetting the instrument");
        return 0;
    }
    KeepIndicatorsAsDefaults();
    SetChannelColor(UI_COLOR_BLACK);
    DefaultPanel(state.mainPanel);
    return 0;
}

int Close(int, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    FrontPanelState& state = frontPanel();
    if (ShowDriverStatus(kq7120_close(state.instrHandle)) < VI_SUCCESS) {
        MessagePopup("ERROR", "Error closing the instrument");
        return 0;
    }
    state.instrConnected = 0;
    state.instrHandle = 0;
    DimInstrumentControls(1);
    SetChannelColor(UI_COLOR_BLACK);
    DefaultPanel(state.mainPanel);
    // Defaults kept by a reset may show a connection; the panel shows the closed one.
    ShowUnconnected();
    return 0;
}

int Exit(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) closeAndQuit();
    return 0;
}

void mnuExit(int, const char*, int) { closeAndQuit(); }
