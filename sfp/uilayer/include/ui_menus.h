// Menu bars: a panel's form may hold one (a QMainWindow menu bar); items are its actions, addressed
// by name.
#pragma once

// Handle of the menu bar the panel was loaded with, or UI_ERR_INVALID_MENU_BAR when it has none.
int GetPanelMenuBar(int panel);

// UI_ATTR_DIMMED and UI_ATTR_VISIBLE of a menu item; a menu whose items are all hidden is hidden.
int SetMenuBarAttribute(int menuBar, const char* menuItem, int attribute, int value);
int GetMenuBarAttribute(int menuBar, const char* menuItem, int attribute, int* value);
// 1 when the menu bar has an item of that name, 0 when not, negative for a bad handle.
int HasMenuItem(int menuBar, const char* menuItem);
