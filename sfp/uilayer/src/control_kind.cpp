#include "control_kind.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "led_indicator.h"

namespace sfpui {

ControlKind kindOf(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->isCheckable() ? ControlKind::Toggle : ControlKind::Command;
    if (qobject_cast<const QAbstractSpinBox*>(widget) != nullptr) return ControlKind::Numeric;
    if (qobject_cast<const QLCDNumber*>(widget) != nullptr) return ControlKind::NumericDisplay;
    if (qobject_cast<const QLineEdit*>(widget) != nullptr) return ControlKind::TextEntry;
    if (qobject_cast<const QLabel*>(widget) != nullptr) return ControlKind::TextMessage;
    if (qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
        qobject_cast<const QTextEdit*>(widget) != nullptr)
        return ControlKind::TextBox;
    if (qobject_cast<const LedIndicator*>(widget) != nullptr) return ControlKind::Led;
    if (qobject_cast<const QListWidget*>(widget) != nullptr) return ControlKind::ListBox;
    if (qobject_cast<const QComboBox*>(widget) != nullptr) return ControlKind::Ring;
    return ControlKind::None;
}

bool isTextKind(ControlKind kind) {
    return kind == ControlKind::TextEntry || kind == ControlKind::TextMessage || kind == ControlKind::TextBox;
}

bool isListKind(ControlKind kind) { return kind == ControlKind::ListBox || kind == ControlKind::Ring; }

bool takesCallback(ControlKind kind) {
    switch (kind) {
        case ControlKind::Command:
        case ControlKind::Toggle:
        case ControlKind::Numeric:
        case ControlKind::TextEntry:
        case ControlKind::ListBox:
        case ControlKind::Ring:
            return true;
        default:
            return false;
    }
}

}  // namespace sfpui
