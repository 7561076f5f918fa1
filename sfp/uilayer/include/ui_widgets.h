// The Qt widget behind a control, for panel code that shows what the layer has no control kind for
// (a chart placed in a form's empty widget).
#pragma once

class QWidget;

// The widget of a control of `panel` (any named widget of its form), or null with the reason on
// standard error.
QWidget* GetCtrlWidget(int panel, const char* control);
