// The spin boxes of forms. A typed number takes "." or "," as its decimal point whatever the locale,
// and numbers are shown with "."; keystrokes are never dropped. An entry the control cannot take (out
// of its limits, too many decimals, not a number) stays in the field, framed red, with the limits in
// its tooltip, and is not taken (no value change, no commit) until corrected. Arrow keys and spin
// buttons step from the last value taken and stay within the limits.
#pragma once

#include <QString>

class QAbstractSpinBox;
class QWidget;

namespace sfpui {

// The layer's spin box for a form's "QDoubleSpinBox" or "QSpinBox"; null for any other class.
QWidget* createNumericEntry(const QString& className, QWidget* parent);

// True when the control's text is a value it takes (always for spin boxes the layer did not make).
// Otherwise the entry is marked and its limits shown at the control.
bool takesTypedEntry(QAbstractSpinBox* control);

}  // namespace sfpui
