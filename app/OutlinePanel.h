#pragma once

#include <QDockWidget>

class DialogLine;
class EditingSession;
class PageListModel;
class QLineEdit;
class QSortFilterProxyModel;
class QTreeView;

// The page outline: every page of the document in file order, narrowed by a
// filter on name or description. Activating an entry asks to show its page.
class OutlinePanel : public QDockWidget {
    Q_OBJECT
public:
    explicit OutlinePanel(EditingSession &session, QWidget *parent = nullptr);

    // The page on display changed.
    void ShowCurrentPage();
    // The page of the entry with the focus, or null.
    DialogLine *GetSelectedPage() const;

    QLineEdit *filterEdit = nullptr;
    QTreeView *pageView = nullptr;

signals:
    void pageActivated(DialogLine *page);
    void contextMenuRequested(const QPoint &globalPosition);

private:
    DialogLine *PageAt(const QModelIndex &index) const;

    EditingSession &m_session;
    PageListModel *m_model;
    QSortFilterProxyModel *m_filter;
};
