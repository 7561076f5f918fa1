// Control values, default values and attributes, addressed by panel handle and control name.
#pragma once

#include <string>

// Numeric controls and indicators take int and double alike; switches, toggle buttons and LEDs take
// 0/1; rings and list boxes take the value of an entry (setting selects the entry holding it); text
// controls take text. A numeric display set to not-a-number shows nothing and reads as not-a-number
// (0 as int).
int SetCtrlVal(int panel, const char* control, int value);
int SetCtrlVal(int panel, const char* control, double value);
int SetCtrlVal(int panel, const char* control, const char* value);
int GetCtrlVal(int panel, const char* control, int* value);
int GetCtrlVal(int panel, const char* control, double* value);
int GetCtrlVal(int panel, const char* control, std::string* value);

// Back to the default value: the form's value, unless UI_ATTR_DEFAULT_VALUE changed it.
int DefaultCtrl(int panel, const char* control);
int DefaultPanel(int panel);

int SetCtrlAttribute(int panel, const char* control, int attribute, int value);
int SetCtrlAttribute(int panel, const char* control, int attribute, double value);
int SetCtrlAttribute(int panel, const char* control, int attribute, const char* value);
int GetCtrlAttribute(int panel, const char* control, int attribute, int* value);
int GetCtrlAttribute(int panel, const char* control, int attribute, double* value);
int GetCtrlAttribute(int panel, const char* control, int attribute, std::string* value);
