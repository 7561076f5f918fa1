// What kind of control a widget of a form is, which decides its value, events and attributes.
#pragma once

class QWidget;

namespace sfpui {

enum class ControlKind {
    None,            // decoration: frames, group boxes, layouts' helpers
    Command,         // push button without state
    Toggle,          // check box, radio button, checkable button: 0/1
    Numeric,         // spin box (int) or double spin box
    NumericDisplay,  // LCD number
    TextEntry,       // line edit
    TextMessage,     // label
    TextBox,         // multi-line text
    Led,             // LedIndicator: 0/1
    ListBox,         // list widget: entries with label and value
    Ring,            // combo box: entries with label and value
};

ControlKind kindOf(const QWidget* widget);
bool isTextKind(ControlKind kind);
bool isListKind(ControlKind kind);
bool takesCallback(ControlKind kind);

}  // namespace sfpui
