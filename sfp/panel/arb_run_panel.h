// The ARB run panel: loads the ARB set-up into the module, starts and stops it, and plots a segment
// read back from the module.
#pragma once

// Menu entry: opens the panel.
void arbPanel(int menuBar, const char* menuItem, int panel);

// Control callbacks, bound by name from the form.
int loadArb(int panel, const char* control, int event, int eventData1, int* eventData2);
int arbOperation(int panel, const char* control, int event, int eventData1, int* eventData2);
int arbDataFmt(int panel, const char* control, int event, int eventData1, int* eventData2);
int SetMarkerParms(int panel, const char* control, int event, int eventData1, int* eventData2);
int queryData(int panel, const char* control, int event, int eventData1, int* eventData2);
int arbPanelExit(int panel, const char* control, int event, int eventData1, int* eventData2);

// The panel while it is open, else 0.
int arbRunPanel();
