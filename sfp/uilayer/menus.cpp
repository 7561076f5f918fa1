#include "ui_menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "panel_registry.h"
#include "ui_codes.h"

using sfpui::lookUpMenuItem;

int GetPanelMenuBar(int panel)
{
    sfpui::PanelRecord* record = nullptr;
    if (const int status = sfpui::lookUpPanel("GetPanelMenuBar", panel, &record); status < 0)
        return status;
    return record->menuBar != 0 ? record->menuBar : UI_ERR_INVALID_MENU_BAR;
}

int SetMenuBarAttribute(int menuBar, const char* menuItem, int attribute, int value)
{
    QAction* action = nullptr;
    if (const int status = lookUpMenuItem("SetMenuBarAttribute", menuBar, menuItem, &action); status < 0)
        return status;
    if (attribute != UI_ATTR_DIMMED)
        return UI_ERR_INVALID_ATTRIBUTE;
    action->setEnabled(value == 0);
    return UI_SUCCESS;
}

int GetMenuBarAttribute(int menuBar, const char* menuItem, int attribute, int* value)
{
    QAction* action = nullptr;
    if (const int status = lookUpMenuItem("GetMenuBarAttribute", menuBar, menuItem, &action); status < 0)
        return status;
    if (attribute != UI_ATTR_DIMMED)
        return UI_ERR_INVALID_ATTRIBUTE;
    *value = action->isEnabled() ? 0 : 1;
    return UI_SUCCESS;
}

int HasMenuItem(int menuBar, const char* menuItem)
{
    const sfpui::MenuBarRecord* record = sfpui::Registry::instance().menuBar(menuBar);
    if (record == nullptr)
        return UI_ERR_INVALID_MENU_BAR;
    const QString name = QString::fromUtf8(menuItem != nullptr ? menuItem : "");
    const QWidget* window = record->bar->window();
    return !name.isEmpty() && (window->findChild<QAction*>(name) != nullptr || window->findChild<QMenu*>(name) != nullptr)
               ? 1 : 0;
}
