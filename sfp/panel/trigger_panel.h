// The trigger panel: trigger source and slope, the timer period while the timer is the source, and
// one trigger on demand. Sources the connected model lacks are refused.
#pragma once

namespace trigger_panel {

inline constexpr const char* kForm = "trigger_panel.ui";
inline constexpr const char* kTriggerSource = "TriggerSource";
inline constexpr const char* kTriggerSlope = "TriggerSlope";
inline constexpr const char* kTimerPeriod = "TimerPeriod";
inline constexpr const char* kApplyButton = "ApplyButton";
inline constexpr const char* kTriggerNowButton = "TriggerNowButton";
inline constexpr const char* kCancelButton = "TriggerCancelButton";

// TriggerSource values: the driver's source code less kq7120_TRIG_SRC_AUTO.
inline constexpr int kExternalInput = 1;
inline constexpr int kLastTtlLine = 9;
inline constexpr int kFirstUpperChannel = 18;  // internal channels 9-16: none on a KQ7110
inline constexpr int kLastUpperChannel = 25;
inline constexpr int kTimer = 26;

}  // namespace trigger_panel

// Main panel command: opens the panel.
int ConfigTrigPanel(int panel, const char* control, int event, int eventData1, int* eventData2);
// Loads, fills and shows the panel; true when it is shown.
bool CommonTriggerPanel();
// Menu entry: opens the panel and dims the configuration group while it is up.
void mnuSetTriggers(int menuBar, const char* menuItem, int panel);
int TrigSource(int panel, const char* control, int event, int eventData1, int* eventData2);
int ConfigTrigParamsApply(int panel, const char* control, int event, int eventData1, int* eventData2);
int cmdTrigImm(int panel, const char* control, int event, int eventData1, int* eventData2);
int configTrigParamsCancel(int panel, const char* control, int event, int eventData1, int* eventData2);

// The trigger panel while it is up, else 0.
int triggerDialogPanel();
