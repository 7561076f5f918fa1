// The output trigger dialog: what the module drives onto a backplane TTL trigger line (nothing, its
// trigger or its marker), which line, and the marker edge; every change sent at once.
#pragma once

namespace output_trigger {

inline constexpr const char* kForm = "output_trigger_panel.ui";
inline constexpr const char* kSourceSelector = "OutputSourceSelector";
inline constexpr const char* kLineSelector = "OutputLineSelector";
inline constexpr const char* kMarkerSlopeSelector = "MarkerSlopeSelector";
inline constexpr const char* kExitButton = "OutputExitButton";

}  // namespace output_trigger

void LoadOutputPanel(int menuBar, const char* menuItem, int panel);
int setOutputParms(int panel, const char* control, int event, int eventData1, int* eventData2);
int outputExit(int panel, const char* control, int event, int eventData1, int* eventData2);

// The dialog while it is up, else 0.
int outputTriggerDialogPanel();
