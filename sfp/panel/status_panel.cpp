#include "status_panel.h"

#include <string>

#include "decimal_text.h"
#include "dialog_lifecycle.h"
#include "driver_status.h"
#include "front_panel_state.h"
#include "user_interface.h"

namespace sp = status_panel;

namespace {

int dialogPanel = 0;

bool queryRegister(ViInt16 which, ViInt32* value) {
    if (ShowDriverStatus(kq7120_queryDeviceStatusReg(frontPanel().instrHandle, which, value)) < VI_SUCCESS) {
        MessagePopup("ERROR", "Error querying device status register");
        return false;
    }
    return true;
}

// Reads both registers and shows them; false after a failure (its pop-up shown).
bool pollOnce(int panel) {
    ViInt32 statusByte = 0;
    ViInt32 eventRegister = 0;
    if (!queryRegister(kq7120_STATUS_BYTE, &statusByte) || !queryRegister(kq7120_EVENT_REG, &eventRegister))
        return false;
    SetCtrlVal(panel, sp::kStatusByteValue, static_cast<int>(statusByte));
    SetCtrlVal(panel, sp::kEventRegisterValue, static_cast<int>(eventRegister));
    ShowStatusBits(panel, statusByte, eventRegister);
    return true;
}

void dimPollCommands(int panel, int dim) {
    for (const char* control : sp::kPollDimmed) SetCtrlAttribute(panel, control, UI_ATTR_DIMMED, dim);
}

// Polls until the switch is turned off, a query fails or the panel is closed. Events are taken in
// between, so the window repaints and its switch and close command work meanwhile.
void pollContinuously(int panel) {
    dimPollCommands(panel, 1);
    for (;;) {
        int eventPanel = 0;
        std::string control;
        const int event = GetUserEvent(0, &eventPanel, &control);
        if (IsPanelLoaded(panel) == 0) {
            DiscardUserEvents();
            return;
        }
        if (event == UI_EVENT_COMMIT && eventPanel == panel && control == sp::kContinuousPoll) {
            int on = 0;
            GetCtrlVal(panel, sp::kContinuousPoll, &on);
            if (on == 0) break;
        }
        if (!pollOnce(panel)) {
            // Not left dimmed: the panel stays usable after the failure it reported.
            SetCtrlVal(panel, sp::kContinuousPoll, 0);
            break;
        }
    }
    DiscardUserEvents();
    dimPollCommands(panel, 0);
}

}  // namespace

void ShowStatusBits(int panel, int statusByte, int eventRegister) {
    for (int bit = 0; bit < 8; ++bit) {
        const int mask = 1 << bit;
        SetCtrlAttribute(panel, sp::kStatusBit[bit], UI_ATTR_TEXT_COLOR,
                         (statusByte & mask) != 0 ? sp::kSetBitColor : sp::kClearBitColor);
        SetCtrlAttribute(panel, sp::kEventBit[bit], UI_ATTR_TEXT_COLOR,
                         (eventRegister & mask) != 0 ? sp::kSetBitColor : sp::kClearBitColor);
    }
}

int StatusPanel(int, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const int panel = loadDialog(sp::kForm, sp::kDoneButton, "Error loading the Status Panel");
    if (panel < 0) return 0;
    dialogPanel = panel;
    dimMainPanel(1);
    ShowStatusBits(panel, 0, 0);
    DisplayPanel(panel);
    return 0;
}

int PollStatusQuery(int panel, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) pollOnce(panel);
    return 0;
}

int CpollStatusQuery(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    int on = 0;
    GetCtrlVal(panel, sp::kContinuousPoll, &on);
    if (on == 1) pollContinuously(panel);
    return 0;
}

int ErrorQuery(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    ViInt32 errorNumber = 0;
    ViChar errorText[256] = {};
    if (ShowDriverStatus(kq7120_errorQuery(frontPanel().instrHandle, &errorNumber, errorText)) < VI_SUCCESS) {
        MessagePopup("ERROR", "Error querying the System Error Queue");
        return 0;
    }
    errorText[sizeof errorText - 1] = '\0';
    std::string shown = decimalText(errorNumber) + ", " + errorText;
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.pop_back();
    SetCtrlVal(panel, sp::kErrorText, shown.c_str());
    return 0;
}

int Default(int panel, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT)
        for (const char* mask : {sp::kServiceRequestEnable, sp::kEventStatusEnable, sp::kOperationEnable})
            DefaultCtrl(panel, mask);
    return 0;
}

int MaskClear(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    if (ShowDriverStatus(kq7120_setStatusMask(frontPanel().instrHandle, 0, 0, 0)) < VI_SUCCESS) {
        MessagePopup("ERROR", "Error setting the Status Mask");
        return 0;
    }
    for (const char* mask : {sp::kServiceRequestEnable, sp::kEventStatusEnable, sp::kOperationEnable})
        SetCtrlVal(panel, mask, 0);
    return 0;
}

int MaskUpdate(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    int serviceRequest = 0;
    int eventStatus = 0;
    int operation = 0;
    GetCtrlVal(panel, sp::kServiceRequestEnable, &serviceRequest);
    GetCtrlVal(panel, sp::kEventStatusEnable, &eventStatus);
    GetCtrlVal(panel, sp::kOperationEnable, &operation);
    if (ShowDriverStatus(kq7120_setStatusMask(frontPanel().instrHandle, static_cast<ViInt16>(serviceRequest),
                                              static_cast<ViInt16>(eventStatus),
                                              static_cast<ViInt16>(operation))) < VI_SUCCESS)
        MessagePopup("ERROR", "Error Setting the Status Mask");
    return 0;
}

int StatusDone(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    // A running poll sees its panel gone and ends before it touches the panel again.
    dismissDialog(panel);
    dialogPanel = 0;
    return 0;
}

int statusDialogPanel() { return IsPanelLoaded(dialogPanel) == 1 ? dialogPanel : 0; }
