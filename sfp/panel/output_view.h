// The "Simulated outputs" window: what the simulated module's outputs do against simulated time,
// refreshed about 20 times a second while it is open. Offered only on the simulated VISA library.
#pragma once

// Main menu: opens the window, or brings it to the front when it is open.
void mnuSimulatedOutputs(int menuBar, const char* menuItem, int panel);
// The window's own callbacks: its close box and Close, and any change of module, window or channels.
int OutputViewPanel(int panel, int event);
int OutputViewClose(int panel, const char* control, int event, int eventData1, int* eventData2);
int OutputViewSettings(int panel, const char* control, int event, int eventData1, int* eventData2);

// The window while it is open, else 0.
int outputViewPanel();
// Redraws the plot from the simulator's latest samples (the window's timer does it on its own).
void RefreshOutputView();

// At start: the menu entry and the main panel's "Simulated chassis" note appear only on the
// simulated VISA library.
void ShowSimulatorPresence();
