#include "change_password_dialog.h"

#include "calibration_dialog.h"
#include "driver_status.h"
#include "front_panel_state.h"
#include "masked_entry.h"
#include "user_interface.h"

namespace cpw = change_password_layout;

namespace {

int pwChangePanel = 0;

// Back to the calibration dialog; the typed passwords go with the dialog.
void closeDialog() {
    DiscardPanel(pwChangePanel);
    pwChangePanel = 0;
    passwordText().clear();
    newPasswordText().clear();
    const int calPanel = calibrationDialogPanel();
    SetPanelAttribute(calPanel, UI_ATTR_DIMMED, 0);
    SetActivePanel(calPanel);
}

int maskedEntry(int panel, const char* control, int event, int eventData1, int* eventData2,
                PasswordBuffer& buffer) {
    const MaskedEntryResult result = maskedEntryEvent(panel, control, event, eventData1, eventData2, buffer);
    if (result.escape) closeDialog();
    return result.callbackResult;
}

}  // namespace

int ChangePasswordPanel(int, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const int panel = LoadPanel(frontPanel().mainPanel, cpw::kForm);
    if (panel < 0) {
        MessagePopup("ERROR", "Error loading the Change Password Panel");
        return 0;
    }
    pwChangePanel = panel;
    SetPanelAttribute(calibrationDialogPanel(), UI_ATTR_DIMMED, 1);
    SetCtrlAttribute(panel, cpw::kNewEntry, UI_ATTR_DIMMED, 1);
    SetPanelAttribute(panel, UI_ATTR_CLOSE_CTRL, cpw::kCancelButton);
    DisplayPanel(panel);
    SetActiveCtrl(panel, cpw::kCurrentEntry);
    passwordText().clear();
    newPasswordText().clear();
    return 0;
}

int CurrentPassword(int panel, const char* control, int event, int eventData1, int* eventData2) {
    if (event != UI_EVENT_COMMIT)
        return maskedEntry(panel, control, event, eventData1, eventData2, passwordText());
    SetCtrlAttribute(panel, cpw::kNewEntry, UI_ATTR_DIMMED, 0);
    SetActiveCtrl(panel, cpw::kNewEntry);
    return 0;
}

int NewPass(int panel, const char* control, int event, int eventData1, int* eventData2) {
    if (event != UI_EVENT_COMMIT)
        return maskedEntry(panel, control, event, eventData1, eventData2, newPasswordText());
    SetCtrlAttribute(panel, cpw::kApplyButton, UI_ATTR_DIMMED, 0);
    SetActiveCtrl(panel, cpw::kApplyButton);
    return 0;
}

int PasswordApply(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const ViStatus status = ShowDriverStatus(
        kq7120_changeSecurityCode(frontPanel().instrHandle, passwordText().text, newPasswordText().text));
    if (status < VI_SUCCESS) {
        // Both typed passwords stay, so Apply tries the same pair again.
        if (status == VI_ERROR_PARAMETER2 || status == VI_ERROR_PARAMETER3)
            MessagePopup("Error", "Invalid password string");
        else
            MessagePopup("Error", "Error changing the password");
        SetCtrlVal(panel, cpw::kNewEntry, " ");
        return 0;
    }
    MessagePopup("Message", "Password has been changed");
    closeDialog();
    return 0;
}

int PassCancel(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) closeDialog();
    return 0;
}

int changePasswordDialogPanel() { return IsPanelLoaded(pwChangePanel) == 1 ? pwChangePanel : 0; }
