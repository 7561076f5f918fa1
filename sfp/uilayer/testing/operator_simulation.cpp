#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>

#include "control_kind.h"
#include "key_codes.h"
#include "list_items.h"
#include "panel_registry.h"
#include "ui_codes.h"
#include "ui_operator.h"

using sfpui::ControlKind;

namespace {

int lookUpOperable(const char* operation, int panel, const char* control, QWidget** widget) {
    if (const int status = sfpui::lookUpControl(operation, panel, control, widget); status < 0) return status;
    return (*widget)->isEnabled() && (*widget)->isVisible() ? UI_SUCCESS : UI_ERR_NOT_OPERABLE;
}

void pressKey(QWidget* widget, int key) {
    const auto press = sfpui::keyEventFor(key, QEvent::KeyPress);
    QCoreApplication::sendEvent(widget, press.get());
    const auto release = sfpui::keyEventFor(key, QEvent::KeyRelease);
    QCoreApplication::sendEvent(widget, release.get());
}

// The widget a real pointer would hit at the centre of `widget`.
int click(QWidget* widget, bool twice) {
    const QPoint centre = widget->rect().center();
    QWidget* target = widget->childAt(centre);
    if (target == nullptr) target = widget;
    const QPointer<QWidget> guard(target);
    const QPointF local = target->mapFrom(widget, centre);
    const QPointF global = widget->mapToGlobal(centre);
    const auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
        if (guard.isNull()) return;
        QMouseEvent event(type, local, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    if (twice) {
        send(QEvent::MouseButtonDblClick, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
    }
    return UI_SUCCESS;
}

}  // namespace

int OperateCommit(int panel, const char* control) {
    QWidget* widget = nullptr;
    if (const int status = lookUpOperable("OperateCommit", panel, control, &widget); status < 0)
        return status;
    switch (sfpui::kindOf(widget)) {
        case ControlKind::Command:
        case ControlKind::Toggle:
            static_cast<QAbstractButton*>(widget)->click();
            return UI_SUCCESS;
        case ControlKind::Numeric:
        case ControlKind::TextEntry:
            pressKey(widget, UI_KEY_ENTER);
            return UI_SUCCESS;
        case ControlKind::Ring: {
            auto* ring = static_cast<QComboBox*>(widget);
            Q_EMIT ring->activated(ring->currentIndex());
            return UI_SUCCESS;
        }
        case ControlKind::ListBox: {
            auto* list = static_cast<QListWidget*>(widget);
            if (list->currentItem() == nullptr) return UI_ERR_INDEX_OUT_OF_RANGE;
            Q_EMIT list->itemActivated(list->currentItem());
            return UI_SUCCESS;
        }
        default:
            return UI_ERR_WRONG_TYPE;
    }
}

int QueueOperatorCommit(int panel, const char* control) {
    QWidget* widget = nullptr;
    if (const int status = sfpui::lookUpControl("QueueOperatorCommit", panel, control, &widget); status < 0)
        return status;
    QMetaObject::invokeMethod(
        widget, [panel, name = QByteArray(control)] { OperateCommit(panel, name.constData()); },
        Qt::QueuedConnection);
    return UI_SUCCESS;
}

int OperateKey(int panel, const char* control, int key) {
    QWidget* widget = nullptr;
    if (const int status = lookUpOperable("OperateKey", panel, control, &widget); status < 0) return status;
    pressKey(widget->focusProxy() != nullptr ? widget->focusProxy() : widget, key);
    return UI_SUCCESS;
}

int OperateEnterValue(int panel, const char* control, const char* text) {
    QWidget* widget = nullptr;
    if (const int status = lookUpOperable("OperateEnterValue", panel, control, &widget); status < 0)
        return status;
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
        spin->selectAll();
    else if (auto* entry = qobject_cast<QLineEdit*>(widget))
        entry->selectAll();
    else
        return UI_ERR_WRONG_TYPE;
    const QPointer<QWidget> guard(widget);
    const char* typed = text != nullptr ? text : "";
    if (*typed == '\0') pressKey(widget, UI_KEY_BACKSPACE);
    for (const char* c = typed; *c != '\0' && !guard.isNull(); ++c)
        pressKey(widget, static_cast<unsigned char>(*c));
    if (!guard.isNull()) pressKey(widget, UI_KEY_ENTER);
    return UI_SUCCESS;
}

int OperateSelect(int panel, const char* control, int index) {
    QWidget* widget = nullptr;
    if (const int status = lookUpOperable("OperateSelect", panel, control, &widget); status < 0)
        return status;
    if (!sfpui::isListKind(sfpui::kindOf(widget))) return UI_ERR_WRONG_TYPE;
    if (index < 0 || index >= sfpui::itemCount(widget)) return UI_ERR_INDEX_OUT_OF_RANGE;
    if (auto* ring = qobject_cast<QComboBox*>(widget)) {
        ring->setCurrentIndex(index);
        Q_EMIT ring->activated(index);
    } else {
        sfpui::selectIndex(widget, index);
    }
    return UI_SUCCESS;
}

int OperateClick(int panel, const char* control) {
    if (control == nullptr) {
        sfpui::PanelRecord* record = nullptr;
        if (const int status = sfpui::lookUpPanel("OperateClick", panel, &record); status < 0) return status;
        return record->root->isVisible() ? click(record->root, false) : UI_ERR_NOT_OPERABLE;
    }
    QWidget* widget = nullptr;
    if (const int status = lookUpOperable("OperateClick", panel, control, &widget); status < 0) return status;
    return click(widget, false);
}

int OperateDoubleClick(int panel, const char* control) {
    QWidget* widget = nullptr;
    if (const int status = lookUpOperable("OperateDoubleClick", panel, control, &widget); status < 0)
        return status;
    return click(widget, true);
}

int OperateClosePanel(int panel) {
    sfpui::PanelRecord* record = nullptr;
    if (const int status = sfpui::lookUpPanel("OperateClosePanel", panel, &record); status < 0) return status;
    record->root->close();
    return UI_SUCCESS;
}

int OperateMenuItem(int menuBar, const char* menuItem) {
    QAction* action = nullptr;
    if (const int status = sfpui::lookUpMenuItem("OperateMenuItem", menuBar, menuItem, &action); status < 0)
        return status;
    if (!action->isEnabled() || !sfpui::Registry::instance().menuBar(menuBar)->bar->isEnabled())
        return UI_ERR_NOT_OPERABLE;  // the item or its whole menu bar is dimmed
    for (QObject* holder : action->associatedObjects())
        if (const auto* menu = qobject_cast<QMenu*>(holder);
            menu != nullptr && !menu->menuAction()->isEnabled())
            return UI_ERR_NOT_OPERABLE;  // a dimmed menu cannot be opened
    action->trigger();
    return UI_SUCCESS;
}
