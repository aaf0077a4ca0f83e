#pragma once

#include <QStyledItemDelegate>

// Paints an entry from its rich text (DifferenceModel::MarkedRole), so that
// the words that changed show struck through or underlined; an entry
// without one is painted as usual.
class MarkedTextDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
