#include <QDoubleSpinBox>
#include <QSignalBlocker>
#include <QSpinBox>
#include <cmath>

#include "control_kind.h"
#include "control_values.h"
#include "panel_registry.h"
#include "ui_codes.h"
#include "ui_controls.h"

using sfpui::ControlValue;
using sfpui::lookUpControl;

namespace {

int setValue(const char* operation, int panel, const char* control, const ControlValue& value) {
    QWidget* widget = nullptr;
    if (const int status = lookUpControl(operation, panel, control, &widget); status < 0) return status;
    return sfpui::writeValue(widget, value);
}

int getValue(const char* operation, int panel, const char* control, ControlValue* value) {
    QWidget* widget = nullptr;
    if (const int status = lookUpControl(operation, panel, control, &widget); status < 0) return status;
    return sfpui::readValue(widget, value);
}

// The number or the text a value holds; UI_ERR_WRONG_TYPE when it holds the other kind.
int numberOf(const ControlValue& held, double* number) {
    if (!std::holds_alternative<double>(held)) return UI_ERR_WRONG_TYPE;
    *number = std::get<double>(held);
    return UI_SUCCESS;
}

int textOf(const ControlValue& held, std::string* text) {
    if (!std::holds_alternative<QString>(held)) return UI_ERR_WRONG_TYPE;
    *text = std::get<QString>(held).toStdString();
    return UI_SUCCESS;
}

int toInt(double value) {
    return std::isfinite(value)
               ? static_cast<int>(std::lround(std::clamp(value, -2147483648.0, 2147483647.0)))
               : 0;
}

// Minimum and maximum of a numeric control.
int setLimit(QWidget* widget, int attribute, double value) {
    const QSignalBlocker blocker(widget);
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(widget)) {
        attribute == UI_ATTR_MIN_VALUE ? spin->setMinimum(value) : spin->setMaximum(value);
        return UI_SUCCESS;
    }
    if (auto* intSpin = qobject_cast<QSpinBox*>(widget)) {
        attribute == UI_ATTR_MIN_VALUE ? intSpin->setMinimum(toInt(value))
                                       : intSpin->setMaximum(toInt(value));
        return UI_SUCCESS;
    }
    return UI_ERR_INVALID_ATTRIBUTE;
}

int getLimit(QWidget* widget, int attribute, double* value) {
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(widget)) {
        *value = attribute == UI_ATTR_MIN_VALUE ? spin->minimum() : spin->maximum();
        return UI_SUCCESS;
    }
    if (auto* intSpin = qobject_cast<QSpinBox*>(widget)) {
        *value = attribute == UI_ATTR_MIN_VALUE ? intSpin->minimum() : intSpin->maximum();
        return UI_SUCCESS;
    }
    return UI_ERR_INVALID_ATTRIBUTE;
}

int setNumericAttribute(int panel, const char* control, int attribute, double value) {
    QWidget* widget = nullptr;
    if (const int status = lookUpControl("SetCtrlAttribute", panel, control, &widget); status < 0)
        return status;
    switch (attribute) {
        case UI_ATTR_DIMMED:
            sfpui::setDimmed(widget, value != 0.0);
            return UI_SUCCESS;
        case UI_ATTR_TEXT_COLOR:
            sfpui::setTextColor(widget, toInt(value));
            return UI_SUCCESS;
        case UI_ATTR_DEFAULT_VALUE:
            return sfpui::setDefault(widget, value);
        case UI_ATTR_MIN_VALUE:
        case UI_ATTR_MAX_VALUE:
            return setLimit(widget, attribute, value);
        default:
            return UI_ERR_INVALID_ATTRIBUTE;
    }
}

int getNumericAttribute(int panel, const char* control, int attribute, double* value) {
    QWidget* widget = nullptr;
    if (const int status = lookUpControl("GetCtrlAttribute", panel, control, &widget); status < 0)
        return status;
    switch (attribute) {
        case UI_ATTR_DIMMED:
            *value = sfpui::isDimmed(widget) ? 1.0 : 0.0;
            return UI_SUCCESS;
        case UI_ATTR_TEXT_COLOR:
            *value = sfpui::textColor(widget);
            return UI_SUCCESS;
        case UI_ATTR_DEFAULT_VALUE: {
            ControlValue stored;
            if (const int status = sfpui::readDefault(widget, &stored); status < 0) return status;
            return numberOf(stored, value);
        }
        case UI_ATTR_MIN_VALUE:
        case UI_ATTR_MAX_VALUE:
            return getLimit(widget, attribute, value);
        default:
            return UI_ERR_INVALID_ATTRIBUTE;
    }
}

}  // namespace

int SetCtrlVal(int panel, const char* control, int value) {
    return setValue("SetCtrlVal", panel, control, static_cast<double>(value));
}

int SetCtrlVal(int panel, const char* control, double value) {
    return setValue("SetCtrlVal", panel, control, value);
}

int SetCtrlVal(int panel, const char* control, const char* value) {
    return setValue("SetCtrlVal", panel, control, QString::fromUtf8(value != nullptr ? value : ""));
}

int GetCtrlVal(int panel, const char* control, int* value) {
    double number = 0.0;
    if (const int status = GetCtrlVal(panel, control, &number); status < 0) return status;
    *value = toInt(number);
    return UI_SUCCESS;
}

int GetCtrlVal(int panel, const char* control, double* value) {
    ControlValue read;
    if (const int status = getValue("GetCtrlVal", panel, control, &read); status < 0) return status;
    return numberOf(read, value);
}

int GetCtrlVal(int panel, const char* control, std::string* value) {
    ControlValue read;
    if (const int status = getValue("GetCtrlVal", panel, control, &read); status < 0) return status;
    return textOf(read, value);
}

int DefaultCtrl(int panel, const char* control) {
    QWidget* widget = nullptr;
    if (const int status = lookUpControl("DefaultCtrl", panel, control, &widget); status < 0) return status;
    return sfpui::restoreDefault(widget);
}

int DefaultPanel(int panel) {
    sfpui::PanelRecord* record = nullptr;
    if (const int status = sfpui::lookUpPanel("DefaultPanel", panel, &record); status < 0) return status;
    // Controls without a default (commands, lists the program fills) are left as they are.
    for (QWidget* widget : record->root->findChildren<QWidget*>())
        if (widget->property(sfpui::kControlMarker).toBool()) sfpui::restoreDefault(widget);
    return UI_SUCCESS;
}

int SetCtrlAttribute(int panel, const char* control, int attribute, int value) {
    return setNumericAttribute(panel, control, attribute, static_cast<double>(value));
}

int SetCtrlAttribute(int panel, const char* control, int attribute, double value) {
    return setNumericAttribute(panel, control, attribute, value);
}

int SetCtrlAttribute(int panel, const char* control, int attribute, const char* value) {
    QWidget* widget = nullptr;
    if (const int status = lookUpControl("SetCtrlAttribute", panel, control, &widget); status < 0)
        return status;
    const QString text = QString::fromUtf8(value != nullptr ? value : "");
    switch (attribute) {
        case UI_ATTR_LABEL_TEXT:
            return sfpui::writeLabel(widget, text);
        case UI_ATTR_DEFAULT_VALUE:
            return sfpui::setDefault(widget, text);
        default:
            return UI_ERR_INVALID_ATTRIBUTE;
    }
}

int GetCtrlAttribute(int panel, const char* control, int attribute, int* value) {
    double read = 0.0;
    if (const int status = getNumericAttribute(panel, control, attribute, &read); status < 0) return status;
    *value = toInt(read);
    return UI_SUCCESS;
}

int GetCtrlAttribute(int panel, const char* control, int attribute, double* value) {
    return getNumericAttribute(panel, control, attribute, value);
}

int GetCtrlAttribute(int panel, const char* control, int attribute, std::string* value) {
    QWidget* widget = nullptr;
    if (const int status = lookUpControl("GetCtrlAttribute", panel, control, &widget); status < 0)
        return status;
    switch (attribute) {
        case UI_ATTR_LABEL_TEXT: {
            QString label;
            if (const int status = sfpui::readLabel(widget, &label); status < 0) return status;
            *value = label.toStdString();
            return UI_SUCCESS;
        }
        case UI_ATTR_DEFAULT_VALUE: {
            ControlValue stored;
            if (const int status = sfpui::readDefault(widget, &stored); status < 0) return status;
            return textOf(stored, value);
        }
        default:
            return UI_ERR_INVALID_ATTRIBUTE;
    }
}
