#include "control_values.h"

#include <QAbstractButton>
#include <QDoubleSpinBox>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextEdit>
#include <cmath>

#include "control_kind.h"
#include "label_text.h"
#include "led_indicator.h"
#include "list_items.h"
#include "ui_codes.h"

namespace sfpui {

namespace {

constexpr const char* kDefaultProperty = "sfpui_default";
constexpr const char* kTextColorProperty = "sfpui_textColor";
// Set while a numeric display shows no number.
constexpr const char* kBlankProperty = "sfpui_blank";

int roundToInt(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<int>(std::lround(std::clamp(value, -2147483648.0, 2147483647.0)));
}

int indexOfValue(const QWidget* list, int value) {
    for (int i = 0; i < itemCount(list); ++i)
        if (itemValue(list, i) == value) return i;
    return -1;
}

QString plainText(const QWidget* control) {
    if (const auto* box = qobject_cast<const QPlainTextEdit*>(control)) return box->toPlainText();
    return static_cast<const QTextEdit*>(control)->toPlainText();
}

// The labels in the control's window whose buddy is the control.
QList<QLabel*> buddyLabels(const QWidget* control) {
    QList<QLabel*> labels;
    for (QLabel* label : control->window()->findChildren<QLabel*>())
        if (label->buddy() == control) labels.append(label);
    return labels;
}

}  // namespace

int readValue(QWidget* control, ControlValue* value) {
    const ControlKind kind = kindOf(control);
    switch (kind) {
        case ControlKind::Toggle:
            *value = static_cast<QAbstractButton*>(control)->isChecked() ? 1.0 : 0.0;
            return UI_SUCCESS;
        case ControlKind::Numeric:
            if (const auto* spin = qobject_cast<QDoubleSpinBox*>(control))
                *value = spin->value();
            else if (const auto* intSpin = qobject_cast<QSpinBox*>(control))
                *value = static_cast<double>(intSpin->value());
            else
                return UI_ERR_WRONG_TYPE;
            return UI_SUCCESS;
        case ControlKind::NumericDisplay:
            *value = control->property(kBlankProperty).toBool() ? std::nan("")
                                                                : static_cast<QLCDNumber*>(control)->value();
            return UI_SUCCESS;
        case ControlKind::Led:
            *value = static_cast<LedIndicator*>(control)->isOn() ? 1.0 : 0.0;
            return UI_SUCCESS;
        case ControlKind::TextEntry:
            *value = static_cast<QLineEdit*>(control)->text();
            return UI_SUCCESS;
        case ControlKind::TextMessage:
            *value = static_cast<QLabel*>(control)->text();
            return UI_SUCCESS;
        case ControlKind::TextBox:
            *value = plainText(control);
            return UI_SUCCESS;
        case ControlKind::ListBox:
        case ControlKind::Ring: {
            const int index = selectedIndex(control);
            if (index < 0) return UI_ERR_INDEX_OUT_OF_RANGE;
            *value = static_cast<double>(itemValue(control, index));
            return UI_SUCCESS;
        }
        case ControlKind::Command:
        case ControlKind::None:
            break;
    }
    return UI_ERR_WRONG_TYPE;
}

int writeValue(QWidget* control, const ControlValue& value) {
    const ControlKind kind = kindOf(control);
    if (kind == ControlKind::Command || kind == ControlKind::None ||
        isTextKind(kind) != std::holds_alternative<QString>(value))
        return UI_ERR_WRONG_TYPE;
    const QSignalBlocker blocker(control);
    if (isTextKind(kind)) {
        const QString& text = std::get<QString>(value);
        if (auto* entry = qobject_cast<QLineEdit*>(control))
            entry->setText(text);
        else if (auto* label = qobject_cast<QLabel*>(control))
            label->setText(text);
        else if (auto* box = qobject_cast<QPlainTextEdit*>(control))
            box->setPlainText(text);
        else
            static_cast<QTextEdit*>(control)->setPlainText(text);
        return UI_SUCCESS;
    }
    const double number = std::get<double>(value);
    switch (kind) {
        case ControlKind::Toggle:
            static_cast<QAbstractButton*>(control)->setChecked(number != 0.0);
            return UI_SUCCESS;
        case ControlKind::Numeric:
            if (auto* spin = qobject_cast<QDoubleSpinBox*>(control))
                spin->setValue(number);
            else if (auto* intSpin = qobject_cast<QSpinBox*>(control))
                intSpin->setValue(roundToInt(number));
            else
                return UI_ERR_WRONG_TYPE;
            return UI_SUCCESS;
        case ControlKind::NumericDisplay:
            control->setProperty(kBlankProperty, std::isnan(number));
            if (std::isnan(number))
                static_cast<QLCDNumber*>(control)->display(QString());
            else
                static_cast<QLCDNumber*>(control)->display(number);
            return UI_SUCCESS;
        case ControlKind::Led:
            static_cast<LedIndicator*>(control)->setOn(number != 0.0);
            return UI_SUCCESS;
        case ControlKind::ListBox:
        case ControlKind::Ring: {
            const int index = indexOfValue(control, roundToInt(number));
            if (index < 0) return UI_ERR_INDEX_OUT_OF_RANGE;
            selectIndex(control, index);
            return UI_SUCCESS;
        }
        default:
            return UI_ERR_WRONG_TYPE;
    }
}

void recordDefault(QWidget* control) {
    ControlValue value;
    if (readValue(control, &value) == UI_SUCCESS) {
        if (const auto* number = std::get_if<double>(&value))
            control->setProperty(kDefaultProperty, *number);
        else
            control->setProperty(kDefaultProperty, std::get<QString>(value));
    }
}

int setDefault(QWidget* control, const ControlValue& value) {
    const ControlKind kind = kindOf(control);
    if (kind == ControlKind::Command || kind == ControlKind::None ||
        isTextKind(kind) != std::holds_alternative<QString>(value))
        return UI_ERR_WRONG_TYPE;
    if (const auto* number = std::get_if<double>(&value))
        control->setProperty(kDefaultProperty, *number);
    else
        control->setProperty(kDefaultProperty, std::get<QString>(value));
    return UI_SUCCESS;
}

int readDefault(QWidget* control, ControlValue* value) {
    const QVariant stored = control->property(kDefaultProperty);
    if (!stored.isValid())
        return kindOf(control) == ControlKind::Command ? UI_ERR_WRONG_TYPE : UI_ERR_INDEX_OUT_OF_RANGE;
    if (stored.typeId() == QMetaType::QString)
        *value = stored.toString();
    else
        *value = stored.toDouble();
    return UI_SUCCESS;
}

int restoreDefault(QWidget* control) {
    ControlValue value;
    if (const int status = readDefault(control, &value); status < 0) return status;
    return writeValue(control, value);
}

void setTextColor(QWidget* control, int rgb) {
    control->setProperty(kTextColorProperty, rgb);
    QPalette palette = control->palette();
    const QColor color = QColor::fromRgb(static_cast<QRgb>(rgb & 0xFFFFFF));
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
            palette.setColor(group, role, color);
    control->setPalette(palette);
}

int textColor(const QWidget* control) {
    const QVariant stored = control->property(kTextColorProperty);
    if (stored.isValid()) return stored.toInt();
    const QPalette::ColorRole role =
        kindOf(control) == ControlKind::TextMessage ? QPalette::WindowText : QPalette::Text;
    return static_cast<int>(control->palette().color(QPalette::Active, role).rgb() & 0xFFFFFF);
}

void setDimmed(QWidget* control, bool dimmed) {
    control->setEnabled(!dimmed);
    for (QLabel* label : buddyLabels(control)) label->setEnabled(!dimmed);
}

bool isDimmed(const QWidget* control) { return control->testAttribute(Qt::WA_ForceDisabled); }

int readLabel(QWidget* control, QString* label) {
    if (const auto* button = qobject_cast<QAbstractButton*>(control)) {
        *label = labelFromQt(button->text());
        return UI_SUCCESS;
    }
    const QList<QLabel*> labels = buddyLabels(control);
    if (labels.isEmpty()) return UI_ERR_INVALID_ATTRIBUTE;
    *label = labelFromQt(labels.first()->text());
    return UI_SUCCESS;
}

int writeLabel(QWidget* control, const QString& label) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(labelToQt(label));
        return UI_SUCCESS;
    }
    const QList<QLabel*> labels = buddyLabels(control);
    if (labels.isEmpty()) return UI_ERR_INVALID_ATTRIBUTE;
    labels.first()->setText(labelToQt(label));
    return UI_SUCCESS;
}

}  // namespace sfpui
