#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "panel_registry.h"
#include "ui_codes.h"
#include "ui_menus.h"

using sfpui::lookUpMenuItem;

int GetPanelMenuBar(int panel) {
    sfpui::PanelRecord* record = nullptr;
    if (const int status = sfpui::lookUpPanel("GetPanelMenuBar", panel, &record); status < 0) return status;
    return record->menuBar != 0 ? record->menuBar : UI_ERR_INVALID_MENU_BAR;
}

namespace {

// A menu whose items are all hidden leaves the menu bar too.
void showMenusWithItems(const QAction* action) {
    for (QObject* object : action->associatedObjects()) {
        auto* menu = qobject_cast<QMenu*>(object);
        if (menu == nullptr) continue;
        const QList<QAction*> items = menu->actions();
        menu->menuAction()->setVisible(
            std::any_of(items.begin(), items.end(), [](const QAction* item) { return item->isVisible(); }));
    }
}

}  // namespace

int SetMenuBarAttribute(int menuBar, const char* menuItem, int attribute, int value) {
    QAction* action = nullptr;
    if (const int status = lookUpMenuItem("SetMenuBarAttribute", menuBar, menuItem, &action); status < 0)
        return status;
    switch (attribute) {
        case UI_ATTR_DIMMED:
            action->setEnabled(value == 0);
            return UI_SUCCESS;
        case UI_ATTR_VISIBLE:
            action->setVisible(value != 0);
            showMenusWithItems(action);
            return UI_SUCCESS;
        default:
            return UI_ERR_INVALID_ATTRIBUTE;
    }
}

int GetMenuBarAttribute(int menuBar, const char* menuItem, int attribute, int* value) {
    QAction* action = nullptr;
    if (const int status = lookUpMenuItem("GetMenuBarAttribute", menuBar, menuItem, &action); status < 0)
        return status;
    switch (attribute) {
        case UI_ATTR_DIMMED:
            *value = action->isEnabled() ? 0 : 1;
            return UI_SUCCESS;
        case UI_ATTR_VISIBLE:
            *value = action->isVisible() ? 1 : 0;
            return UI_SUCCESS;
        default:
            return UI_ERR_INVALID_ATTRIBUTE;
    }
}

int HasMenuItem(int menuBar, const char* menuItem) {
    const sfpui::MenuBarRecord* record = sfpui::Registry::instance().menuBar(menuBar);
    if (record == nullptr) return UI_ERR_INVALID_MENU_BAR;
    const QString name = QString::fromUtf8(menuItem != nullptr ? menuItem : "");
    const QWidget* window = record->bar->window();
    return !name.isEmpty() && (window->findChild<QAction*>(name) != nullptr ||
                               window->findChild<QMenu*>(name) != nullptr)
               ? 1
               : 0;
}
