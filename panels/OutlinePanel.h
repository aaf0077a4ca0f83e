#pragma once

#include "panels/Panel.h"

#include <QKeySequence>
#include <QList>
#include <utility>

class DialogLine;
class EditingSession;
class QAction;
class PageListModel;
class QLineEdit;
class QSortFilterProxyModel;
class QTreeView;

// The page outline: every page of the document in file order, narrowed by a
// filter on name or description. Activating an entry shows its page; its
// context menu runs the page commands on it, made the page on display.
class OutlinePanel : public Panel {
    Q_OBJECT
public:
    OutlinePanel(EditingSession &session, QWidget *parent = nullptr);

    // The commands of the entries' context menu (null: a separator).
    void SetContextActions(QList<QAction *> actions);
    // Keys that the list of pages takes from the window while it has the
    // focus, each running its action on the page chosen.
    void TakeKeys(QList<std::pair<QKeySequence, QAction *>> keys);

    // Marks the page on display and scrolls to it.
    void ShowCurrentPage();
    // The page of the entry with the focus, or null.
    DialogLine *GetSelectedPage() const;

    QLineEdit *filterEdit = nullptr;
    QTreeView *pageView = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DialogLine *PageAt(const QModelIndex &index) const;
    void ShowMenu(const QPoint &position);
    // The names' column fits the widest name, as the pages now are: all of
    // them (row -1), or after a change of the page at row.
    void FitNames(int row);
    void LayOutColumns();

    EditingSession &m_session;
    QList<QAction *> m_contextActions;
    QList<std::pair<QKeySequence, QAction *>> m_keys;
    PageListModel *m_model;
    QSortFilterProxyModel *m_filter;
    int m_widest = 0; // the widest name measured, and its row
    int m_widestRow = -1;
};
