// The About panel: driver, VISA and instrument revisions.
#pragma once

// Main panel command: opens the About panel.
int About(int panel, const char* control, int event, int eventData1, int* eventData2);
// The About panel's own callback: a click anywhere on it (or closing it) dismisses it.
int AboutPanel(int panel, int event);

// The About panel while it is up, else 0.
int aboutDialogPanel();
