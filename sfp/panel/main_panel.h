// Callbacks of the main panel's channel controls and commands, and of its File menu.
#pragma once

int VoltLevel(int panel, const char* control, int event, int eventData1, int* eventData2);
int Reset(int panel, const char* control, int event, int eventData1, int* eventData2);
int Close(int panel, const char* control, int event, int eventData1, int* eventData2);
int Exit(int panel, const char* control, int event, int eventData1, int* eventData2);
void mnuExit(int menuBar, const char* menuItem, int panel);
