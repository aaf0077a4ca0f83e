#pragma once

#include <QFont>
#include <QHash>
#include <QFontMetricsF>
#include <QListWidget>
#include <memory>

class DialogLine;

// The list of a page's PC options. Each entry is a multi-line description,
// drawn word-wrapped; its height is measured once, at the list's width when
// the entry is added. A selected entry is highlighted behind its text only.
// A right click selects the entry under the pointer before the context menu.
class COptionListBox : public QListWidget {
    Q_OBJECT
public:
    explicit COptionListBox(QWidget *parent = nullptr);

    // Inserts an entry at index (-1: at the end) and returns where it stands.
    int InsertEntry(int index, const QString &text, DialogLine *option);
    DialogLine *GetOption(int row) const;
    // The height of an entry with this text at the list's current width.
    int MeasureItem(const QString &text) const;
    // The width that entries wrap at: the client area, without the scroll bar.
    int TextWidth() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    // The width of a line of one font, or -1 when it may need another.
    qreal LineWidth(QStringView line) const;

    // What measuring keeps between entries, for the font it was made with.
    mutable QFont m_measuredFont;
    mutable std::unique_ptr<QFontMetricsF> m_metrics;
    mutable QHash<QString, qreal> m_wordWidths;
    mutable QHash<QString, qreal> m_lineWidths;
    mutable qreal m_lineHeight = 0;
    mutable qreal m_spaceWidth = 0;
};
