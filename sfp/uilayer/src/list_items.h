// Entries of the two list kinds (list box, ring) behind one interface: a label and an integer value.
#pragma once

#include <QString>

class QWidget;

namespace sfpui {

int itemCount(const QWidget* list);
QString itemLabel(const QWidget* list, int index);
int itemValue(const QWidget* list, int index);
void insertItem(QWidget* list, int index, const QString& label, int value);
void replaceItem(QWidget* list, int index, const QString& label, int value);
void removeItem(QWidget* list, int index);
int selectedIndex(const QWidget* list);      // -1 for none
void selectIndex(QWidget* list, int index);  // -1 clears the selection
// Entries a form defines get their index as value.
void numberFormItems(QWidget* list);

}  // namespace sfpui
