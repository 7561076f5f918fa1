// The ARB segment panel: starts a new ARB set-up, with the channels taking part and one waveform
// file per channel in each numbered segment.
#pragma once

// Menu entry: opens the panel.
void arbDefineSegment(int menuBar, const char* menuItem, int panel);

// Control callbacks, bound by name from the form.
int SegMgtCheckBox(int panel, const char* control, int event, int eventData1, int* eventData2);
int ApplyScanArb(int panel, const char* control, int event, int eventData1, int* eventData2);
int ChgSegNbr(int panel, const char* control, int event, int eventData1, int* eventData2);
int GetWaveformFile(int panel, const char* control, int event, int eventData1, int* eventData2);
int SegMgtAdd(int panel, const char* control, int event, int eventData1, int* eventData2);
int SegMgtRemove(int panel, const char* control, int event, int eventData1, int* eventData2);
int defSegNext(int panel, const char* control, int event, int eventData1, int* eventData2);
int ExitSegMgt(int panel, const char* control, int event, int eventData1, int* eventData2);

// The panel while it is open, else 0.
int arbSegmentPanel();
