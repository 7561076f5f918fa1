// The ARB sequence panel: the steps of the ARB set-up, each playing a defined segment, with their
// start, advance, marker and repeat settings.
#pragma once

// Menu entry: opens the panel.
void arbSeqPanel(int menuBar, const char* menuItem, int panel);

// Control callbacks, bound by name from the form.
int seqAdd(int panel, const char* control, int event, int eventData1, int* eventData2);
int seqRemove(int panel, const char* control, int event, int eventData1, int* eventData2);
int seqSetParms(int panel, const char* control, int event, int eventData1, int* eventData2);
int seqListSelect(int panel, const char* control, int event, int eventData1, int* eventData2);
int seqExit(int panel, const char* control, int event, int eventData1, int* eventData2);

// The panel while it is open, else 0.
int arbSequencePanel();
