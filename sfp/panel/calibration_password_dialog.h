// The password dialog of the calibration dialog: sends the constants to the module, or stores them
// in its non-volatile memory, once the operator has typed the calibration password.
#pragma once

namespace password_layout {

inline constexpr const char* kForm = "password_panel.ui";
inline constexpr const char* kEntry = "PasswordEntry";
inline constexpr const char* kStatusText = "PasswordStatusText";
inline constexpr const char* kCancelButton = "PasswordCancelButton";

}  // namespace password_layout

// Calibration dialog commands: Calibrate (send the constants) and Save (store them).
int CalibChannelApply(int panel, const char* control, int event, int eventData1, int* eventData2);
int saveCalibrateData(int panel, const char* control, int event, int eventData1, int* eventData2);

// The password entry (masked) and the Cancel / Done button.
int Password(int panel, const char* control, int event, int eventData1, int* eventData2);
int PasswordCancel(int panel, const char* control, int event, int eventData1, int* eventData2);

// The dialog while it is up, else 0.
int passwordDialogPanel();
