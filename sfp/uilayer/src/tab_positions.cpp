#include "tab_positions.h"

#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <algorithm>

namespace sfpui {

namespace {

constexpr QChar kEscape = u'\x1b';
constexpr int kMaxPosition = 10000;

int textLeft(const TabbedPiece& piece, int width) {
    switch (piece.alignment) {
        case 'c':
            return piece.position - width / 2;
        case 'r':
            return piece.position - width;
        default:
            return piece.position;
    }
}

}  // namespace

std::vector<TabbedPiece> splitTabbedLabel(const QString& label) {
    std::vector<TabbedPiece> pieces(1);
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label[i] != kEscape || i + 1 >= label.size() || label[i + 1] != u'p') {
            pieces.back().text += label[i];
            continue;
        }
        qsizetype end = i + 2;
        int position = 0;
        while (end < label.size() && label[end].isDigit() && position <= kMaxPosition)
            position = position * 10 + label[end++].digitValue();
        const bool complete = end > i + 2 && end < label.size() &&
                              (label[end] == u'l' || label[end] == u'c' || label[end] == u'r');
        if (!complete) {
            pieces.back().text += label[i];
            continue;
        }
        pieces.push_back({std::min(position, kMaxPosition), static_cast<char>(label[end].unicode()), {}});
        i = end;
    }
    return pieces;
}

QString plainTabbedLabel(const QString& label) {
    QStringList texts;
    for (const TabbedPiece& piece : splitTabbedLabel(label)) texts.append(piece.text);
    return texts.join(u'\t');
}

void TabPositionDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const QString label = index.data(Qt::DisplayRole).toString();
    if (!label.contains(kEscape)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &background, widget);
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group =
        (option.state & QStyle::State_Enabled) != 0 ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    for (const TabbedPiece& piece : splitTabbedLabel(label)) {
        const int width = option.fontMetrics.horizontalAdvance(piece.text);
        const QRect box(area.left() + textLeft(piece, width), area.top(), width, area.height());
        painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, piece.text);
    }
    painter->restore();
}

QSize TabPositionDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QString label = index.data(Qt::DisplayRole).toString();
    if (!label.contains(kEscape)) return size;
    int right = 0;
    for (const TabbedPiece& piece : splitTabbedLabel(label)) {
        const int width = option.fontMetrics.horizontalAdvance(piece.text);
        right = std::max(right, textLeft(piece, width) + width);
    }
    size.setWidth(right + 2 * option.fontMetrics.horizontalAdvance(u' '));
    return size;
}

void showTabPositions(QWidget* list) {
    if (auto* box = qobject_cast<QListWidget*>(list)) box->setItemDelegate(new TabPositionDelegate(box));
}

}  // namespace sfpui
