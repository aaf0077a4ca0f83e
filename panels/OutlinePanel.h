#pragma once

#include "panels/Panel.h"
#include <QList>

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

    // Marks the page on display and scrolls to it.
    void ShowCurrentPage();
    // The page of the entry with the focus, or null.
    DialogLine *GetSelectedPage() const;

    QLineEdit *filterEdit = nullptr;
    QTreeView *pageView = nullptr;


private:
    DialogLine *PageAt(const QModelIndex &index) const;
    void ShowMenu(const QPoint &position);

    EditingSession &m_session;
    QList<QAction *> m_contextActions;
    PageListModel *m_model;
    QSortFilterProxyModel *m_filter;
};
