#pragma once

#include <QListWidget>

class DialogLine;

// The list of a page's PC options. Each entry is a multi-line description,
// drawn word-wrapped; its height is measured once, at the list's width when
// the entry is added. A selected entry is highlighted behind its text only.
// Several entries may be selected. A right click selects the entry under the
// pointer before the context menu, unless it is one of those selected.
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
};
