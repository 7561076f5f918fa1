#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextEdit>
#include <algorithm>

#include "control_kind.h"
#include "list_items.h"
#include "panel_registry.h"
#include "ui_codes.h"
#include "ui_lists.h"

using sfpui::lookUpControl;

namespace {

int lookUpList(const char* operation, int panel, const char* control, QWidget** widget) {
    if (const int status = lookUpControl(operation, panel, control, widget); status < 0) return status;
    return sfpui::isListKind(sfpui::kindOf(*widget)) ? UI_SUCCESS : UI_ERR_WRONG_TYPE;
}

bool isEntry(const QWidget* list, int index) { return index >= 0 && index < sfpui::itemCount(list); }

int lookUpTextBox(const char* operation, int panel, const char* control, QWidget** widget) {
    if (const int status = lookUpControl(operation, panel, control, widget); status < 0) return status;
    return sfpui::kindOf(*widget) == sfpui::ControlKind::TextBox ? UI_SUCCESS : UI_ERR_WRONG_TYPE;
}

// A text box's lines; an empty box has none.
QStringList linesOf(const QWidget* box) {
    const QString text = qobject_cast<const QPlainTextEdit*>(box) != nullptr
                             ? static_cast<const QPlainTextEdit*>(box)->toPlainText()
                             : static_cast<const QTextEdit*>(box)->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

void setLines(QWidget* box, const QStringList& lines) {
    const QSignalBlocker blocker(box);
    if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
        plain->setPlainText(lines.join(u'\n'));
    else
        static_cast<QTextEdit*>(box)->setPlainText(lines.join(u'\n'));
}

}  // namespace

int ClearListCtrl(int panel, const char* control) {
    QWidget* list = nullptr;
    if (const int status = lookUpList("ClearListCtrl", panel, control, &list); status < 0) return status;
    const QSignalBlocker blocker(list);
    while (sfpui::itemCount(list) > 0) sfpui::removeItem(list, sfpui::itemCount(list) - 1);
    return UI_SUCCESS;
}

int InsertListItem(int panel, const char* control, int index, const char* label, int value) {
    QWidget* list = nullptr;
    if (const int status = lookUpList("InsertListItem", panel, control, &list); status < 0) return status;
    if (index == -1) index = sfpui::itemCount(list);
    if (index < 0 || index > sfpui::itemCount(list)) return UI_ERR_INDEX_OUT_OF_RANGE;
    const QSignalBlocker blocker(list);
    sfpui::insertItem(list, index, QString::fromUtf8(label != nullptr ? label : ""), value);
    return UI_SUCCESS;
}

int ReplaceListItem(int panel, const char* control, int index, const char* label, int value) {
    QWidget* list = nullptr;
    if (const int status = lookUpList("ReplaceListItem", panel, control, &list); status < 0) return status;
    if (index == -1) index = sfpui::itemCount(list) - 1;
    if (!isEntry(list, index)) return UI_ERR_INDEX_OUT_OF_RANGE;
    const QSignalBlocker blocker(list);
    sfpui::replaceItem(list, index, QString::fromUtf8(label != nullptr ? label : ""), value);
    return UI_SUCCESS;
}

int DeleteListItem(int panel, const char* control, int index, int count) {
    QWidget* list = nullptr;
    if (const int status = lookUpList("DeleteListItem", panel, control, &list); status < 0) return status;
    const int entries = sfpui::itemCount(list);
    if (!isEntry(list, index) || count < -1) return UI_ERR_INDEX_OUT_OF_RANGE;
    const int last = count == -1 ? entries : std::min(entries, index + count);
    const QSignalBlocker blocker(list);
    for (int i = last - 1; i >= index; --i) sfpui::removeItem(list, i);
    return UI_SUCCESS;
}

int GetNumListItems(int panel, const char* control, int* count) {
    QWidget* list = nullptr;
    if (const int status = lookUpList("GetNumListItems", panel, control, &list); status < 0) return status;
    *count = sfpui::itemCount(list);
    return UI_SUCCESS;
}

int GetLabelFromIndex(int panel, const char* control, int index, std::string* label) {
    QWidget* list = nullptr;
    if (const int status = lookUpList("GetLabelFromIndex", panel, control, &list); status < 0) return status;
    if (!isEntry(list, index)) return UI_ERR_INDEX_OUT_OF_RANGE;
    *label = sfpui::itemLabel(list, index).toStdString();
    return UI_SUCCESS;
}

int GetValueFromIndex(int panel, const char* control, int index, int* value) {
    QWidget* list = nullptr;
    if (const int status = lookUpList("GetValueFromIndex", panel, control, &list); status < 0) return status;
    if (!isEntry(list, index)) return UI_ERR_INDEX_OUT_OF_RANGE;
    *value = sfpui::itemValue(list, index);
    return UI_SUCCESS;
}

int GetCtrlIndex(int panel, const char* control, int* index) {
    QWidget* list = nullptr;
    if (const int status = lookUpList("GetCtrlIndex", panel, control, &list); status < 0) return status;
    *index = sfpui::selectedIndex(list);
    return UI_SUCCESS;
}

int SetCtrlIndex(int panel, const char* control, int index) {
    QWidget* list = nullptr;
    if (const int status = lookUpList("SetCtrlIndex", panel, control, &list); status < 0) return status;
    if (index != -1 && !isEntry(list, index)) return UI_ERR_INDEX_OUT_OF_RANGE;
    const QSignalBlocker blocker(list);
    sfpui::selectIndex(list, index);
    return UI_SUCCESS;
}

int ResetTextBox(int panel, const char* control, const char* text) {
    QWidget* box = nullptr;
    if (const int status = lookUpTextBox("ResetTextBox", panel, control, &box); status < 0) return status;
    const QString replacement = QString::fromUtf8(text != nullptr ? text : "");
    setLines(box, replacement.isEmpty() ? QStringList() : replacement.split(u'\n'));
    return UI_SUCCESS;
}

int InsertTextBoxLine(int panel, const char* control, int index, const char* text) {
    QWidget* box = nullptr;
    if (const int status = lookUpTextBox("InsertTextBoxLine", panel, control, &box); status < 0)
        return status;
    QStringList lines = linesOf(box);
    if (index == -1) index = static_cast<int>(lines.size());
    if (index < 0 || index > lines.size()) return UI_ERR_INDEX_OUT_OF_RANGE;
    lines.insert(index, QString::fromUtf8(text != nullptr ? text : ""));
    setLines(box, lines);
    return UI_SUCCESS;
}

int DeleteTextBoxLine(int panel, const char* control, int index) {
    QWidget* box = nullptr;
    if (const int status = lookUpTextBox("DeleteTextBoxLine", panel, control, &box); status < 0)
        return status;
    QStringList lines = linesOf(box);
    if (index == -1) index = static_cast<int>(lines.size()) - 1;
    if (index < 0 || index >= lines.size()) return UI_ERR_INDEX_OUT_OF_RANGE;
    lines.removeAt(index);
    setLines(box, lines);
    return UI_SUCCESS;
}

int GetNumTextBoxLines(int panel, const char* control, int* count) {
    QWidget* box = nullptr;
    if (const int status = lookUpTextBox("GetNumTextBoxLines", panel, control, &box); status < 0)
        return status;
    *count = static_cast<int>(linesOf(box).size());
    return UI_SUCCESS;
}

int GetTextBoxLine(int panel, const char* control, int index, std::string* text) {
    QWidget* box = nullptr;
    if (const int status = lookUpTextBox("GetTextBoxLine", panel, control, &box); status < 0) return status;
    const QStringList lines = linesOf(box);
    if (index < 0 || index >= lines.size()) return UI_ERR_INDEX_OUT_OF_RANGE;
    *text = lines[index].toStdString();
    return UI_SUCCESS;
}
