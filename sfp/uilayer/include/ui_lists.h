// Entries of list boxes and rings (a label and an integer value each), and lines of text boxes.
// An index of -1 means the end where an operation inserts, and "none selected" where it reports.
#pragma once

#include <string>

int ClearListCtrl(int panel, const char* control);
int InsertListItem(int panel, const char* control, int index, const char* label, int value);
int ReplaceListItem(int panel, const char* control, int index, const char* label, int value);
int DeleteListItem(int panel, const char* control, int index, int count);  // count -1: to the end
int GetNumListItems(int panel, const char* control, int* count);
int GetLabelFromIndex(int panel, const char* control, int index, std::string* label);
int GetValueFromIndex(int panel, const char* control, int index, int* value);
int GetCtrlIndex(int panel, const char* control, int* index);
int SetCtrlIndex(int panel, const char* control, int index);

int ResetTextBox(int panel, const char* control, const char* text);
int InsertTextBoxLine(int panel, const char* control, int index, const char* text);
int DeleteTextBoxLine(int panel, const char* control, int index);
int GetNumTextBoxLines(int panel, const char* control, int* count);
int GetTextBoxLine(int panel, const char* control, int index, std::string* text);
