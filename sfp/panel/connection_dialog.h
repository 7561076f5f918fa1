// The connection dialog: rescan the chassis, pick a module, open it.
#pragma once

// Main panel command: scans the chassis and opens the dialog.
int Initialize(int panel, const char* control, int event, int eventData1, int* eventData2);
// Instrument menu entry: the same, while no dialog is up.
void mnuInitialize(int menuBar, const char* menuItem, int panel);
// Dialog commands.
int Connect(int panel, const char* control, int event, int eventData1, int* eventData2);
int Cancel(int panel, const char* control, int event, int eventData1, int* eventData2);

// The dialog's panel while it is up, else 0.
int connectionDialogPanel();
