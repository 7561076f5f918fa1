// List entries whose labels carry tab-position escapes: ESC 'p' <pixels> <'l'|'c'|'r'> starts the
// following text at that many pixels from the entry's left edge (left-aligned, centred on it, or
// ending there). Such labels are shown as aligned columns.
#pragma once

#include <QString>
#include <QStyledItemDelegate>
#include <vector>

class QWidget;

namespace sfpui {

struct TabbedPiece {
    int position = 0;  // pixels from the left; 0 for the text before the first escape
    char alignment = 'l';
    QString text;
};

std::vector<TabbedPiece> splitTabbedLabel(const QString& label);
// The label's text without escapes, pieces separated by tabs (what a screen reader reads).
QString plainTabbedLabel(const QString& label);

class TabPositionDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Installs the delegate on a list box.
void showTabPositions(QWidget* list);

}  // namespace sfpui
