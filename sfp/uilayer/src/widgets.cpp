#include "panel_registry.h"
#include "ui_widgets.h"

QWidget* GetCtrlWidget(int panel, const char* control) {
    QWidget* widget = nullptr;
    if (sfpui::lookUpControl("GetCtrlWidget", panel, control, &widget) < 0) return nullptr;
    return widget;
}
