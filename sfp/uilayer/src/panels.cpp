#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "event_dispatch.h"
#include "form_loader.h"
#include "panel_registry.h"
#include "ui_codes.h"
#include "ui_panels.h"

using sfpui::lookUpControl;
using sfpui::lookUpPanel;
using sfpui::PanelRecord;
using sfpui::Registry;

namespace {

std::filesystem::path& formDirectory() {
    static std::filesystem::path directory;
    return directory;
}

// What dimming a panel greys: a main window's contents, else the whole panel. A main window's menu
// bar is dimmed with it but apart, so the items' own dimming stays as it was.
QWidget* dimmableContent(QWidget* root) {
    if (auto* window = qobject_cast<QMainWindow*>(root);
        window != nullptr && window->centralWidget() != nullptr)
        return window->centralWidget();
    return root;
}

void dimPanel(QWidget* root, bool dimmed) {
    dimmableContent(root)->setEnabled(!dimmed);
    if (auto* window = qobject_cast<QMainWindow*>(root); window != nullptr && window->menuWidget() != nullptr)
        window->menuWidget()->setEnabled(!dimmed);
}

// A child panel is its own window kept above its parent and, the first time, centred on it.
void placeChildWindow(const PanelRecord& record, QWidget* parentRoot) {
    QWidget* root = record.root;
    if (root->windowHandle() == nullptr || root->windowHandle()->transientParent() == nullptr) {
        root->winId();
        parentRoot->winId();
        root->windowHandle()->setTransientParent(parentRoot->windowHandle());
        root->adjustSize();
        const QRect parentFrame = parentRoot->frameGeometry();
        QRect frame(QPoint(), root->size());
        frame.moveCenter(parentFrame.center());
        if (const QScreen* screen = parentRoot->screen()) {
            const QRect available = screen->availableGeometry();
            frame.moveLeft(std::clamp(frame.left(), available.left(),
                                      std::max(available.left(), available.right() - frame.width())));
            frame.moveTop(std::clamp(frame.top(), available.top(),
                                     std::max(available.top(), available.bottom() - frame.height())));
        }
        root->move(frame.topLeft());
    }
}

}  // namespace

void SetFormDirectory(const char* directory) { formDirectory() = directory != nullptr ? directory : ""; }

int LoadPanel(int parent, const char* formFile) {
    if (qApp == nullptr) {
        std::fprintf(stderr, "sfp_ui: LoadPanel: no user interface is running\n");
        return UI_ERR_NO_APPLICATION;
    }
    if (parent != 0) {
        PanelRecord* parentRecord = nullptr;
        if (lookUpPanel("LoadPanel", parent, &parentRecord) < 0) return UI_ERR_LOAD_FAILED;
    }
    std::filesystem::path path(formFile != nullptr ? formFile : "");
    if (path.is_relative()) path = formDirectory() / path;
    return sfpui::loadForm(parent, path);
}

int DisplayPanel(int panel) {
    PanelRecord* record = nullptr;
    if (const int status = lookUpPanel("DisplayPanel", panel, &record); status < 0) return status;
    if (record->parent != 0) placeChildWindow(*record, Registry::instance().panel(record->parent)->root);
    record->root->show();
    record->root->raise();
    record->root->activateWindow();
    return UI_SUCCESS;
}

int DiscardPanel(int panel) {
    PanelRecord* record = nullptr;
    if (const int status = lookUpPanel("DiscardPanel", panel, &record); status < 0) return status;
    for (const int handle : Registry::instance().panelTree(panel)) {
        if (PanelRecord* discarded = Registry::instance().panel(handle)) {
            // Later: the panel may be discarded from inside one of its own event handlers.
            discarded->root->hide();
            discarded->root->deleteLater();
        }
        sfpui::forgetRecordedCommits(handle);
        Registry::instance().removePanel(handle);
    }
    return UI_SUCCESS;
}

int IsPanelLoaded(int panel) { return Registry::instance().panel(panel) != nullptr ? 1 : 0; }

int SetPanelAttribute(int panel, int attribute, int value) {
    PanelRecord* record = nullptr;
    if (const int status = lookUpPanel("SetPanelAttribute", panel, &record); status < 0) return status;
    if (attribute != UI_ATTR_DIMMED) return UI_ERR_INVALID_ATTRIBUTE;
    dimPanel(record->root, value != 0);
    return UI_SUCCESS;
}

int SetPanelAttribute(int panel, int attribute, const char* value) {
    PanelRecord* record = nullptr;
    if (const int status = lookUpPanel("SetPanelAttribute", panel, &record); status < 0) return status;
    const QString text = QString::fromUtf8(value != nullptr ? value : "");
    switch (attribute) {
        case UI_ATTR_TITLE:
            record->root->setWindowTitle(text);
            return UI_SUCCESS;
        case UI_ATTR_CLOSE_CTRL: {
            if (!text.isEmpty()) {
                QWidget* control = nullptr;
                if (const int status = lookUpControl("SetPanelAttribute", panel, value, &control); status < 0)
                    return status;
            }
            record->closeControl = text;
            return UI_SUCCESS;
        }
        default:
            return UI_ERR_INVALID_ATTRIBUTE;
    }
}

int GetPanelAttribute(int panel, int attribute, int* value) {
    PanelRecord* record = nullptr;
    if (const int status = lookUpPanel("GetPanelAttribute", panel, &record); status < 0) return status;
    switch (attribute) {
        case UI_ATTR_DIMMED:
            *value = dimmableContent(record->root)->testAttribute(Qt::WA_ForceDisabled) ? 1 : 0;
            return UI_SUCCESS;
        case UI_ATTR_VISIBLE:
            *value = record->root->isVisible() ? 1 : 0;
            return UI_SUCCESS;
        default:
            return UI_ERR_INVALID_ATTRIBUTE;
    }
}

int GetPanelAttribute(int panel, int attribute, std::string* value) {
    PanelRecord* record = nullptr;
    if (const int status = lookUpPanel("GetPanelAttribute", panel, &record); status < 0) return status;
    switch (attribute) {
        case UI_ATTR_TITLE:
            *value = record->root->windowTitle().toStdString();
            return UI_SUCCESS;
        case UI_ATTR_CLOSE_CTRL:
            *value = record->closeControl.toStdString();
            return UI_SUCCESS;
        default:
            return UI_ERR_INVALID_ATTRIBUTE;
    }
}

int SetActivePanel(int panel) {
    PanelRecord* record = nullptr;
    if (const int status = lookUpPanel("SetActivePanel", panel, &record); status < 0) return status;
    record->root->raise();
    record->root->activateWindow();
    return UI_SUCCESS;
}

int SetActiveCtrl(int panel, const char* control) {
    QWidget* widget = nullptr;
    if (const int status = lookUpControl("SetActiveCtrl", panel, control, &widget); status < 0) return status;
    widget->setFocus(Qt::OtherFocusReason);
    return UI_SUCCESS;
}

int GetActiveCtrl(int panel, std::string* control) {
    PanelRecord* record = nullptr;
    if (const int status = lookUpPanel("GetActiveCtrl", panel, &record); status < 0) return status;
    QWidget* focus = record->root->focusWidget();
    QWidget* owner = focus != nullptr ? sfpui::controlOf(focus) : nullptr;
    *control = owner != nullptr ? owner->objectName().toStdString() : std::string();
    return UI_SUCCESS;
}

int SetPanelPos(int panel, int top, int left) {
    PanelRecord* record = nullptr;
    if (const int status = lookUpPanel("SetPanelPos", panel, &record); status < 0) return status;
    record->root->move(left, top);
    return UI_SUCCESS;
}

int ProcessDrawEvents() {
    if (qApp == nullptr) return UI_SUCCESS;
    // Layouts first, so a longer text gets its room before the paint.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible()) window->repaint();
    return UI_SUCCESS;
}
