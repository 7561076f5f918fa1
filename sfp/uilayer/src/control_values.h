// Reading and writing a control's value, its default value, text colour, dimming and label.
// Writes never raise the control's own events.
#pragma once

#include <QString>
#include <variant>

class QWidget;

namespace sfpui {

// A value as the operations pass it: a number (every numeric, switch, LED, ring and list control)
// or a text (text controls). A numeric display shows nothing for not-a-number.
using ControlValue = std::variant<double, QString>;

int readValue(QWidget* control, ControlValue* value);
int writeValue(QWidget* control, const ControlValue& value);

// The form's value becomes the default at load; DefaultCtrl writes the default back.
void recordDefault(QWidget* control);
int setDefault(QWidget* control, const ControlValue& value);
int readDefault(QWidget* control, ControlValue* value);
int restoreDefault(QWidget* control);

void setTextColor(QWidget* control, int rgb);
int textColor(const QWidget* control);

// Dims the control and its buddy labels.
void setDimmed(QWidget* control, bool dimmed);
bool isDimmed(const QWidget* control);

// The control's own text (buttons, check boxes) or that of the label whose buddy it is.
int readLabel(QWidget* control, QString* label);
int writeLabel(QWidget* control, const QString& label);

}  // namespace sfpui
