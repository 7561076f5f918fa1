// The layer's record of loaded panels and menu bars, and look-ups that report a bad handle or name
// on standard error.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "ui_callbacks.h"

class QAction;
class QMenuBar;

namespace sfpui {

struct PanelRecord {
    QPointer<QWidget> root;
    int parent = 0;
    std::string formFile;
    PanelCallback callback = nullptr;
    std::map<QString, ControlCallback> controlCallbacks;  // by control name
    QString closeControl;
    int menuBar = 0;
};

struct MenuBarRecord {
    QPointer<QMenuBar> bar;
    int panel = 0;
};

class Registry {
public:
    static Registry& instance();

    int addPanel(PanelRecord record);
    int addMenuBar(MenuBarRecord record);
    PanelRecord* panel(int handle);
    MenuBarRecord* menuBar(int handle);
    // The panel and every panel loaded as its child, children first.
    std::vector<int> panelTree(int handle) const;
    void removePanel(int handle);

private:
    std::map<int, PanelRecord> panels_;
    std::map<int, MenuBarRecord> menuBars_;
    int nextPanel_ = 1;
    int nextMenuBar_ = 1;
};

// Look-ups for the operations: a status and, on failure, one line on standard error naming the
// operation, the handle and the name.
int lookUpPanel(const char* operation, int panel, PanelRecord** record);
int lookUpControl(const char* operation, int panel, const char* control, QWidget** widget);
int lookUpMenuItem(const char* operation, int menuBar, const char* item, QAction** action);

// Every widget that is a control of a panel carries this property (set at load).
inline constexpr const char* kControlMarker = "sfpui_control";
// The control a widget belongs to (itself or the nearest marked ancestor within its panel), or null.
QWidget* controlOf(QWidget* widget);

}  // namespace sfpui
