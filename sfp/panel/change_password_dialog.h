// The change-password dialog of the calibration dialog: the current and the new calibration
// password, both typed into masked fields.
#pragma once

namespace change_password_layout {

inline constexpr const char* kForm = "change_password_panel.ui";
inline constexpr const char* kCurrentEntry = "CurrentPasswordEntry";
inline constexpr const char* kNewEntry = "NewPasswordEntry";
inline constexpr const char* kApplyButton = "PasswordApplyButton";
inline constexpr const char* kCancelButton = "PasswordChangeCancelButton";

}  // namespace change_password_layout

// Calibration dialog command: opens the dialog.
int ChangePasswordPanel(int panel, const char* control, int event, int eventData1, int* eventData2);

int CurrentPassword(int panel, const char* control, int event, int eventData1, int* eventData2);
int NewPass(int panel, const char* control, int event, int eventData1, int* eventData2);
int PasswordApply(int panel, const char* control, int event, int eventData1, int* eventData2);
int PassCancel(int panel, const char* control, int event, int eventData1, int* eventData2);

// The dialog while it is up, else 0.
int changePasswordDialogPanel();
