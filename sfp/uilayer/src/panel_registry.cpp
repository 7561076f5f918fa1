#include "panel_registry.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <cstdio>

#include "ui_codes.h"

namespace sfpui {

Registry& Registry::instance() {
    static Registry registry;
    return registry;
}

int Registry::addPanel(PanelRecord record) {
    const int handle = nextPanel_++;
    panels_.emplace(handle, std::move(record));
    return handle;
}

int Registry::addMenuBar(MenuBarRecord record) {
    const int handle = nextMenuBar_++;
    menuBars_.emplace(handle, std::move(record));
    return handle;
}

PanelRecord* Registry::panel(int handle) {
    const auto found = panels_.find(handle);
    if (found == panels_.end() || found->second.root.isNull()) return nullptr;
    return &found->second;
}

MenuBarRecord* Registry::menuBar(int handle) {
    const auto found = menuBars_.find(handle);
    if (found == menuBars_.end() || found->second.bar.isNull() || panel(found->second.panel) == nullptr)
        return nullptr;
    return &found->second;
}

std::vector<int> Registry::panelTree(int handle) const {
    std::vector<int> tree;
    for (const auto& [child, record] : panels_) {
        if (record.parent == handle) {
            const auto below = panelTree(child);
            tree.insert(tree.end(), below.begin(), below.end());
        }
    }
    tree.push_back(handle);
    return tree;
}

void Registry::removePanel(int handle) {
    const auto found = panels_.find(handle);
    if (found == panels_.end()) return;
    menuBars_.erase(found->second.menuBar);
    panels_.erase(found);
}

int lookUpPanel(const char* operation, int panel, PanelRecord** record) {
    if (qApp == nullptr) {
        std::fprintf(stderr, "sfp_ui: %s: no user interface is running\n", operation);
        return UI_ERR_NO_APPLICATION;
    }
    *record = Registry::instance().panel(panel);
    if (*record == nullptr) {
        std::fprintf(stderr, "sfp_ui: %s: no panel with handle %d\n", operation, panel);
        return UI_ERR_INVALID_PANEL;
    }
    return UI_SUCCESS;
}

int lookUpControl(const char* operation, int panel, const char* control, QWidget** widget) {
    PanelRecord* record = nullptr;
    if (const int status = lookUpPanel(operation, panel, &record); status < 0) return status;
    const QString name = QString::fromUtf8(control != nullptr ? control : "");
    *widget = name.isEmpty() ? nullptr : record->root->findChild<QWidget*>(name);
    if (*widget == nullptr || !(*widget)->property(kControlMarker).toBool()) {
        std::fprintf(stderr, "sfp_ui: %s: panel %d (%s) has no control \"%s\"\n", operation, panel,
                     record->formFile.c_str(), qUtf8Printable(name));
        return UI_ERR_INVALID_CONTROL;
    }
    return UI_SUCCESS;
}

int lookUpMenuItem(const char* operation, int menuBar, const char* item, QAction** action) {
    if (qApp == nullptr) {
        std::fprintf(stderr, "sfp_ui: %s: no user interface is running\n", operation);
        return UI_ERR_NO_APPLICATION;
    }
    MenuBarRecord* record = Registry::instance().menuBar(menuBar);
    if (record == nullptr) {
        std::fprintf(stderr, "sfp_ui: %s: no menu bar with handle %d\n", operation, menuBar);
        return UI_ERR_INVALID_MENU_BAR;
    }
    const QString name = QString::fromUtf8(item != nullptr ? item : "");
    QWidget* window = record->bar->window();
    *action = name.isEmpty() ? nullptr : window->findChild<QAction*>(name);
    if (*action == nullptr && !name.isEmpty()) {
        if (auto* menu = window->findChild<QMenu*>(name)) *action = menu->menuAction();
    }
    if (*action == nullptr) {
        std::fprintf(stderr, "sfp_ui: %s: menu bar %d has no item \"%s\"\n", operation, menuBar,
                     qUtf8Printable(name));
        return UI_ERR_INVALID_MENU_ITEM;
    }
    return UI_SUCCESS;
}

QWidget* controlOf(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->isWindow() ? nullptr : w->parentWidget())
        if (w->property(kControlMarker).toBool()) return w;
    return nullptr;
}

}  // namespace sfpui
