#include "form_loader.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QUiLoader>
#include <cstdio>
#include <memory>

#include "callback_table.h"
#include "control_kind.h"
#include "control_values.h"
#include "event_dispatch.h"
#include "graph_control.h"
#include "led_indicator.h"
#include "list_items.h"
#include "numeric_entry.h"
#include "panel_registry.h"
#include "tab_positions.h"
#include "typed_keys_only.h"
#include "ui_codes.h"
#include "waveform_graph.h"

namespace sfpui {

namespace {

// Name of the dynamic property a form uses to name an object's callback.
constexpr const char* kCallbackProperty = "callback";

class FormLoader : public QUiLoader {
public:
    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        if (className == QLatin1String("LedIndicator")) {
            auto* led = new LedIndicator(parent);
            led->setObjectName(name);
            return led;
        }
        if (QWidget* entry = createNumericEntry(className, parent)) {
            entry->setObjectName(name);
            return entry;
        }
        if (className == QLatin1String("GraphControl")) {
            auto* graph = new GraphControl(parent);
            graph->setObjectName(name);
            return graph;
        }
        if (className == QLatin1String("WaveformGraph")) {
            auto* graph = new WaveformGraph(parent);
            graph->setObjectName(name);
            return graph;
        }
        return QUiLoader::createWidget(className, parent, name);
    }
};

QString callbackName(const QObject* object) { return object->property(kCallbackProperty).toString(); }

// The callbacks a form names, checked against the program's table and the object's kind.
struct FormBindings {
    PanelCallback panel = nullptr;
    std::map<QString, ControlCallback> controls;
    std::map<QString, MenuCallback> menuItems;
};

bool bindFailure(const std::filesystem::path& path, const QObject* object, const QString& callback,
                 const char* reason) {
    std::fprintf(stderr, "sfp_ui: %s: \"%s\" names callback \"%s\", %s\n", path.c_str(),
                 qUtf8Printable(object->objectName()), qUtf8Printable(callback), reason);
    return false;
}

bool collectBindings(const std::filesystem::path& path, QWidget* root, FormBindings* bindings) {
    if (const QString name = callbackName(root); !name.isEmpty()) {
        const auto callback = findCallback(name.toStdString());
        if (!callback) return bindFailure(path, root, name, "which the program does not have");
        if (!std::holds_alternative<PanelCallback>(*callback))
            return bindFailure(path, root, name, "which is not a panel callback");
        bindings->panel = std::get<PanelCallback>(*callback);
    }
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        const QString name = callbackName(widget);
        if (name.isEmpty()) continue;
        const auto callback = findCallback(name.toStdString());
        if (!callback) return bindFailure(path, widget, name, "which the program does not have");
        if (!std::holds_alternative<ControlCallback>(*callback))
            return bindFailure(path, widget, name, "which is not a control callback");
        if (!takesCallback(kindOf(widget)))
            return bindFailure(path, widget, name, "but a control of its kind has no callback");
        bindings->controls.emplace(widget->objectName(), std::get<ControlCallback>(*callback));
    }
    for (QAction* action : root->findChildren<QAction*>()) {
        const QString name = callbackName(action);
        if (name.isEmpty()) continue;
        const auto callback = findCallback(name.toStdString());
        if (!callback) return bindFailure(path, action, name, "which the program does not have");
        if (!std::holds_alternative<MenuCallback>(*callback))
            return bindFailure(path, action, name, "which is not a menu callback");
        bindings->menuItems.emplace(action->objectName(), std::get<MenuCallback>(*callback));
    }
    return true;
}

void prepareControls(int panel, QWidget* root, PanelEventFilter* filter) {
    root->installEventFilter(filter);
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        restrictToTypedKeys(widget);
        widget->installEventFilter(filter);
        if (widget->objectName().isEmpty() || widget->objectName().startsWith(QLatin1String("qt_"))) continue;
        widget->setProperty(kControlMarker, true);
        if (isListKind(kindOf(widget))) {
            numberFormItems(widget);
            showTabPositions(widget);
        }
        // A label that names another control is part of it: its text is that control's label.
        if (const auto* label = qobject_cast<QLabel*>(widget); label == nullptr || label->buddy() == nullptr)
            recordDefault(widget);
        connectControlSignals(panel, widget);
    }
}

void bindMenuItems(int panel, int menuBar, QWidget* root, const std::map<QString, MenuCallback>& menuItems) {
    for (const auto& [name, callback] : menuItems) {
        QAction* action = root->findChild<QAction*>(name);
        QObject::connect(action, &QAction::triggered, action,
                         [panel, menuBar, name = name.toUtf8(), callback] {
                             if (Registry::instance().panel(panel) != nullptr)
                                 callback(menuBar, name.constData(), panel);
                         });
    }
}

}  // namespace

int loadForm(int parent, const std::filesystem::path& path) {
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "sfp_ui: cannot open form %s: %s\n", path.c_str(),
                     qUtf8Printable(file.errorString()));
        return UI_ERR_LOAD_FAILED;
    }
    FormLoader loader;
    std::unique_ptr<QWidget> root(loader.load(&file, nullptr));
    if (!root) {
        std::fprintf(stderr, "sfp_ui: cannot build form %s: %s\n", path.c_str(),
                     qUtf8Printable(loader.errorString()));
        return UI_ERR_LOAD_FAILED;
    }
    FormBindings bindings;
    if (!collectBindings(path, root.get(), &bindings)) return UI_ERR_LOAD_FAILED;

    if (parent != 0) root->setWindowFlag(Qt::Dialog);
    PanelRecord record;
    record.root = root.get();
    record.parent = parent;
    record.formFile = path.filename().string();
    record.callback = bindings.panel;
    record.controlCallbacks = std::move(bindings.controls);
    const int panel = Registry::instance().addPanel(std::move(record));
    prepareControls(panel, root.get(), new PanelEventFilter(panel, root.get()));

    int menuBar = 0;
    if (auto* window = qobject_cast<QMainWindow*>(root.get()); window != nullptr) {
        // A form can fix the size of its central area only; the window, menu bar included, follows it.
        if (const QWidget* central = window->centralWidget();
            central != nullptr && central->layout() != nullptr &&
            central->layout()->sizeConstraint() == QLayout::SetFixedSize)
            window->layout()->setSizeConstraint(QLayout::SetFixedSize);
        if (auto* bar = window->findChild<QMenuBar*>()) {
            menuBar = Registry::instance().addMenuBar({bar, panel});
            Registry::instance().panel(panel)->menuBar = menuBar;
        }
    }
    bindMenuItems(panel, menuBar, root.get(), bindings.menuItems);
    root.release();
    return panel;
}

}  // namespace sfpui
