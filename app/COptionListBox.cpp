#include "app/COptionListBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QtMath>

namespace {

constexpr int kOptionRole = Qt::UserRole;
constexpr int kEntryGap = 5; // pixels below each entry's text

// Lays text out word-wrapped at width; line breaks start new lines.
// Returns the height of the laid-out text.
int LayOut(QTextLayout &layout, const QString &text, int width)
{
    QString lines = text;
    lines.replace(QLatin1Char('\n'), QChar::LineSeparator);
    layout.setText(lines);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return qCeil(y);
}

class OptionItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (!index.data(kOptionRole).value<quintptr>())
            return;
        QTextLayout layout(QString(), option.font);
        LayOut(layout, index.data(Qt::DisplayRole).toString(), option.rect.width());
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->setClipRect(option.rect);
        if (selected) {
            // The highlight lies behind the characters only, line by line.
            for (int i = 0; i < layout.lineCount(); ++i) {
                const QRectF cells = layout.lineAt(i).naturalTextRect().translated(option.rect.topLeft());
                painter->fillRect(cells, option.palette.brush(QPalette::Active, QPalette::Highlight));
            }
        }
        painter->setPen(option.palette.color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text));
        layout.draw(painter, option.rect.topLeft());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        return index.data(Qt::SizeHintRole).toSize();
    }
};

} // namespace

COptionListBox::COptionListBox(QWidget *parent)
    : QListWidget(parent)
{
    setItemDelegate(new OptionItemDelegate(this));
    // Shift and Ctrl, with the mouse or the arrows, select several options.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A fixed scroll bar keeps the wrapping width the same for every entry.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUniformItemSizes(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

int COptionListBox::TextWidth() const
{
    return qMax(0, contentsRect().width() - verticalScrollBar()->sizeHint().width());
}

int COptionListBox::MeasureItem(const QString &text) const
{
    QTextLayout layout(QString(), font());
    return LayOut(layout, text, TextWidth()) + kEntryGap;
}

int COptionListBox::InsertEntry(int index, const QString &text, DialogLine *option)
{
    auto *item = new QListWidgetItem(text);
    item->setData(kOptionRole, QVariant::fromValue(reinterpret_cast<quintptr>(option)));
    item->setSizeHint(QSize(TextWidth(), MeasureItem(text)));
    const int row = index < 0 || index > count() ? count() : index;
    insertItem(row, item);
    return row;
}

DialogLine *COptionListBox::GetOption(int row) const
{
    const QListWidgetItem *entry = item(row);
    return entry ? reinterpret_cast<DialogLine *>(entry->data(kOptionRole).value<quintptr>()) : nullptr;
}

void COptionListBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::RightButton) {
        QListWidget::mousePressEvent(event);
        return;
    }
    // Select as a left press would: the entry under the pointer, or the last
    // entry for a press below them all; on one of several selected, they
    // stay selected. The context menu follows.
    const QModelIndex index = indexAt(event->position().toPoint());
    const int row = index.isValid() ? index.row() : count() - 1;
    if (row >= 0 && item(row)->isSelected())
        setCurrentRow(row, QItemSelectionModel::NoUpdate);
    else if (row >= 0)
        setCurrentRow(row);
    setFocus(Qt::MouseFocusReason);
    event->accept();
}
