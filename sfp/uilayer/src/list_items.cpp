#include "list_items.h"

#include <QComboBox>
#include <QListWidget>

#include "tab_positions.h"

namespace sfpui {

namespace {

// A screen reader reads a label with tab-position escapes without them.
void setListText(QListWidgetItem* item, const QString& label) {
    item->setText(label);
    item->setData(Qt::AccessibleTextRole, plainTabbedLabel(label));
}

}  // namespace

int itemCount(const QWidget* list) {
    if (const auto* box = qobject_cast<const QListWidget*>(list)) return box->count();
    return static_cast<const QComboBox*>(list)->count();
}

QString itemLabel(const QWidget* list, int index) {
    if (const auto* box = qobject_cast<const QListWidget*>(list)) return box->item(index)->text();
    return static_cast<const QComboBox*>(list)->itemText(index);
}

int itemValue(const QWidget* list, int index) {
    if (const auto* box = qobject_cast<const QListWidget*>(list))
        return box->item(index)->data(Qt::UserRole).toInt();
    return static_cast<const QComboBox*>(list)->itemData(index).toInt();
}

void insertItem(QWidget* list, int index, const QString& label, int value) {
    if (auto* box = qobject_cast<QListWidget*>(list)) {
        auto* item = new QListWidgetItem;
        setListText(item, label);
        item->setData(Qt::UserRole, value);
        box->insertItem(index, item);
        return;
    }
    static_cast<QComboBox*>(list)->insertItem(index, label, value);
}

void replaceItem(QWidget* list, int index, const QString& label, int value) {
    if (auto* box = qobject_cast<QListWidget*>(list)) {
        setListText(box->item(index), label);
        box->item(index)->setData(Qt::UserRole, value);
        return;
    }
    auto* ring = static_cast<QComboBox*>(list);
    ring->setItemText(index, label);
    ring->setItemData(index, value);
}

void removeItem(QWidget* list, int index) {
    if (auto* box = qobject_cast<QListWidget*>(list)) {
        delete box->takeItem(index);
        return;
    }
    static_cast<QComboBox*>(list)->removeItem(index);
}

int selectedIndex(const QWidget* list) {
    if (const auto* box = qobject_cast<const QListWidget*>(list)) {
        const QListWidgetItem* current = box->currentItem();
        return current != nullptr && current->isSelected() ? box->row(current) : -1;
    }
    return static_cast<const QComboBox*>(list)->currentIndex();
}

void selectIndex(QWidget* list, int index) {
    if (auto* box = qobject_cast<QListWidget*>(list)) {
        if (index < 0) {
            box->clearSelection();
            box->setCurrentRow(-1);
        } else {
            box->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
        }
        return;
    }
    static_cast<QComboBox*>(list)->setCurrentIndex(index);
}

void numberFormItems(QWidget* list) {
    for (int i = 0; i < itemCount(list); ++i) replaceItem(list, i, itemLabel(list, i), i);
}

}  // namespace sfpui
