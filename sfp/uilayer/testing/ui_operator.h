// Operator simulation: tests act on panels the way an operator would, through the same event
// paths (key filters, commits, callbacks). A dimmed or hidden control gives UI_ERR_NOT_OPERABLE.
#pragma once

// Clicks a button, toggles a switch, presses Enter in a numeric or text control, activates the
// selected entry of a ring or list.
int OperateCommit(int panel, const char* control);
// Posts that commit, so it happens inside the next event handling (GetUserEvent, the event loop).
int QueueOperatorCommit(int panel, const char* control);
// Presses and releases one key (a key code of ui_codes.h) on the control.
int OperateKey(int panel, const char* control, int key);
// Selects the control's whole text, types `text` key by key and presses Enter. An empty `text` deletes
// the selection with Backspace first, as an operator clearing the field does.
int OperateEnterValue(int panel, const char* control, const char* text);
// Picks entry `index` of a ring or list box.
int OperateSelect(int panel, const char* control, int index);
// Left click (or double click) on a control, or with a null control on the panel surface.
int OperateClick(int panel, const char* control);
int OperateDoubleClick(int panel, const char* control);
// The window's close box.
int OperateClosePanel(int panel);
// Picks a menu item.
int OperateMenuItem(int menuBar, const char* menuItem);
