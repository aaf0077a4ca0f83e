#include "app/COptionListBox.h"

#include <QFontMetricsF>
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
    setSelectionMode(QAbstractItemView::SingleSelection);
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

// Most entries are lines that fit the width, many of them the same from
// entry to entry, made of words that repeat: their height is their count
// of lines, found by adding up the widths of the words, each line and
// word measured once. A line that may not fit, or that holds a character
// the font may not have, has the entry laid out in full, as painting does.
qreal COptionListBox::LineWidth(QStringView line) const
{
    const QString key = line.toString();
    if (const auto found = m_lineWidths.constFind(key); found != m_lineWidths.constEnd())
        return *found;
    // A large file's lines are many: what is kept stays small.
    if (m_lineWidths.size() > 20000)
        m_lineWidths.clear();
    if (m_wordWidths.size() > 50000)
        m_wordWidths.clear();
    qreal width = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        if (i < line.size()) {
            const char16_t c = line[i].unicode();
            if (c > 0xFF && c != 0x2026 && (c < 0x2010 || c > 0x203A)) {
                width = -1; // another font may draw it: laid out in full
                break;
            }
            if (c != u' ')
                continue;
        }
        const QString word = line.mid(start, i - start).toString();
        auto found = m_wordWidths.constFind(word);
        if (found == m_wordWidths.constEnd())
            found = m_wordWidths.insert(word, m_metrics->horizontalAdvance(word));
        width += *found + (i < line.size() ? m_spaceWidth : 0);
        start = i + 1;
    }
    m_lineWidths.insert(key, width);
    return width;
}

int COptionListBox::MeasureItem(const QString &text) const
{
    const int width = TextWidth();
    if (!m_metrics || m_measuredFont != font()) {
        m_measuredFont = font();
        m_metrics = std::make_unique<QFontMetricsF>(m_measuredFont);
        m_wordWidths.clear();
        m_lineWidths.clear();
        QTextLayout one(QString(), m_measuredFont);
        LayOut(one, QStringLiteral("X"), 1000);
        m_lineHeight = one.lineCount() > 0 ? one.lineAt(0).height() : 0;
        m_spaceWidth = m_metrics->horizontalAdvance(QLatin1Char(' '));
    }
    int lines = 0;
    bool fits = true;
    for (qsizetype start = 0; fits;) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        const qreal advance = LineWidth(QStringView(text).mid(start, end < 0 ? -1 : end - start));
        fits = advance >= 0 && advance + 2 <= width;
        ++lines;
        if (end < 0)
            break;
        start = end + 1;
    }
    if (fits)
        return qCeil(lines * m_lineHeight) + kEntryGap;
    QTextLayout layout(QString(), font());
    return LayOut(layout, text, width) + kEntryGap;
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
    // entry for a press below them all. The context menu follows.
    const QModelIndex index = indexAt(event->position().toPoint());
    const int row = index.isValid() ? index.row() : count() - 1;
    if (row >= 0)
        setCurrentRow(row);
    setFocus(Qt::MouseFocusReason);
    event->accept();
}
