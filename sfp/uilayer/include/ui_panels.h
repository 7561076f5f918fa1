// Panels: loading forms, showing and discarding them, panel attributes and focus.
#pragma once

#include <string>

// Folder the forms are read from when LoadPanel gets a relative file name.
void SetFormDirectory(const char* directory);

// Reads a Qt Designer form from disk and builds its panel. `parent` 0 makes a top-level panel,
// otherwise a child window of that panel, discarded with it. Returns a positive panel handle, or
// UI_ERR_LOAD_FAILED when the file is missing or broken or a callback it names is not in the
// table (the reason goes to standard error).
int LoadPanel(int parent, const char* formFile);
int DisplayPanel(int panel);
int DiscardPanel(int panel);  // also discards the panel's children
// 1 while `panel` names a loaded panel, 0 otherwise; reports nothing.
int IsPanelLoaded(int panel);

int SetPanelAttribute(int panel, int attribute, int value);
int SetPanelAttribute(int panel, int attribute, const char* value);
int GetPanelAttribute(int panel, int attribute, int* value);
int GetPanelAttribute(int panel, int attribute, std::string* value);

int SetActivePanel(int panel);
int SetActiveCtrl(int panel, const char* control);
int GetActiveCtrl(int panel, std::string* control);  // "" when no control of the panel has the focus
int SetPanelPos(int panel, int top, int left);

// Paints every shown panel now, so a text set just before a long blocking call is on screen while
// the call runs. Operator input stays queued: no callback runs from here.
int ProcessDrawEvents();
