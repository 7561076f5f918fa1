#include "calibration_password_dialog.h"

#include "calibration_dialog.h"
#include "driver_status.h"
#include "front_panel_state.h"
#include "masked_entry.h"
#include "user_interface.h"

namespace cal = calibration_layout;
namespace pw = password_layout;

namespace {

enum class PasswordAction { None, Calibrate, Store };

// A store beyond this many cycles is past what the non-volatile memory is guaranteed for.
constexpr ViInt32 kGuaranteedStoreCycles = 10000;

int pwPanel = 0;
PasswordAction passwordAction = PasswordAction::None;
bool calStored = false;

int calPanel() { return calibrationDialogPanel(); }

// The text set just before is on screen while the driver call that follows blocks.
void redisplay() {
    DisplayPanel(pwPanel);
    ProcessDrawEvents();
}

bool openPasswordDialog(PasswordAction action) {
    const int panel = LoadPanel(calPanel(), pw::kForm);
    if (panel < 0) {
        MessagePopup("ERROR", "Error loading the Password Panel");
        return false;
    }
    pwPanel = panel;
    SetPanelAttribute(calPanel(), UI_ATTR_DIMMED, 1);
    SetPanelAttribute(panel, UI_ATTR_CLOSE_CTRL, pw::kCancelButton);
    DisplayPanel(panel);
    SetActiveCtrl(panel, pw::kEntry);
    passwordText().clear();
    passwordAction = action;
    return true;
}

void closePasswordDialog() {
    SetPanelAttribute(calPanel(), UI_ATTR_DIMMED, 0);
    DiscardPanel(pwPanel);
    pwPanel = 0;
    passwordText().clear();
    SetActivePanel(calPanel());  // the keyboard goes back to the calibration dialog
}

void clearEntry() {
    SetCtrlVal(pwPanel, pw::kEntry, "");
    passwordText().clear();
}

void setSaveDimmed(int dimmed) { SetCtrlAttribute(calPanel(), cal::kSaveButton, UI_ATTR_DIMMED, dimmed); }

void showDone(const char* message) {
    SetCtrlVal(pwPanel, pw::kStatusText, message);
    SetCtrlAttribute(pwPanel, pw::kEntry, UI_ATTR_DIMMED, 1);
    SetCtrlAttribute(pwPanel, pw::kCancelButton, UI_ATTR_LABEL_TEXT, "__Done");
    SetActiveCtrl(pwPanel, pw::kCancelButton);
}

void sendConstants() {
    SetCtrlVal(pwPanel, pw::kStatusText, "    Calibration in progress...");
    redisplay();
    const auto block = calibrationBlock(calibrationTables());
    const ViStatus status = ShowDriverStatus(
        kq7120_calibrationDataBlock(frontPanel().instrHandle, passwordText().text, block.data()));
    if (status < VI_SUCCESS) {
        clearEntry();
        SetCtrlVal(pwPanel, pw::kStatusText, "");
        redisplay();
        if (status == VI_ERROR_PARAMETER2)
            MessagePopup("ERROR", "Invalid password string");
        else if (status == VI_ERROR_PARAMETER3)
            MessagePopup("ERROR", "Calibration constant out of range");
        else
            MessagePopup("Error", "Error calibrating gain and offset");
        return;
    }
    showDone("      Calibration complete");
    redisplay();
    clearEntry();
    setSaveDimmed(0);
    SetCtrlAttribute(calPanel(), cal::kCalibrateButton, UI_ATTR_DIMMED, 0);
    closePasswordDialog();
    passwordAction = PasswordAction::None;
}

void storeConstants() {
    SetCtrlVal(pwPanel, pw::kStatusText, "Storing to NVRAM in progress...");
    redisplay();
    calStored = false;
    ViInt32 count = 0;
    const ViStatus status =
        ShowDriverStatus(kq7120_storeCalibrationData(frontPanel().instrHandle, passwordText().text, &count));
    clearEntry();
    if (status < VI_SUCCESS) {
        SetCtrlVal(pwPanel, pw::kStatusText, "");
        redisplay();
        if (status == VI_ERROR_PARAMETER2)
            MessagePopup("ERROR", "Invalid password string");
        else
            MessagePopup("Error", "Error saving calibrated data");
        setSaveDimmed(0);
        return;
    }
    // The calibration dialog stays dimmed while this prompt is up (closing it undims): were it
    // usable beside a prompt kept open by the cycle warning, Calibrate could open a second prompt.
    setSaveDimmed(1);
    showDone("Storing to NVRAM complete");
    calStored = true;
    redisplay();
    if (count > kGuaranteedStoreCycles) {
        MessagePopup("Error", "Guaranteed minimum of 10K cycles exceeded");
        return;
    }
    SetCtrlVal(calPanel(), cal::kCountDisplay, static_cast<double>(count));
    closePasswordDialog();
    passwordAction = PasswordAction::None;
}

// Escape in the entry, the Cancel / Done button and the window's close box: an unfinished store
// gives the Save command back.
void leave(bool byButton) {
    if (passwordAction == PasswordAction::Store && !calStored)
        setSaveDimmed(0);
    else if (byButton)
        setSaveDimmed(1);
    closePasswordDialog();
}

}  // namespace

int CalibChannelApply(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) openPasswordDialog(PasswordAction::Calibrate);
    return 0;
}

int saveCalibrateData(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    SetCtrlAttribute(panel, cal::kSaveButton, UI_ATTR_DIMMED, 1);
    if (!openPasswordDialog(PasswordAction::Store)) {
        SetCtrlAttribute(panel, cal::kSaveButton, UI_ATTR_DIMMED, 0);
        return 0;
    }
    calStored = false;
    return 0;
}

int Password(int panel, const char* control, int event, int eventData1, int* eventData2) {
    if (event != UI_EVENT_COMMIT) {
        const MaskedEntryResult result =
            maskedEntryEvent(panel, control, event, eventData1, eventData2, passwordText());
        if (result.escape) leave(false);
        return result.callbackResult;
    }
    switch (passwordAction) {
        case PasswordAction::Calibrate:
            sendConstants();
            break;
        case PasswordAction::Store:
            storeConstants();
            break;
        case PasswordAction::None:
            break;
    }
    return 0;
}

int PasswordCancel(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) leave(true);
    return 0;
}

int passwordDialogPanel() { return IsPanelLoaded(pwPanel) == 1 ? pwPanel : 0; }
