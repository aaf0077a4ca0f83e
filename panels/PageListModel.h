#pragma once

#include <QAbstractTableModel>

class EditingSession;

// The pages of the session's document in file order, one row each: name,
// description and number of options; the page on display is marked.
// It follows the document: every edit, undo and redo, and another document.
class PageListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, DescriptionColumn, OptionsColumn, ColumnCount };

    explicit PageListModel(EditingSession &session, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The page on display changed: its mark moves.
    void MarkCurrentPage();

private:
    void Reset();

    EditingSession &m_session;
    int m_markedRow = -1;
};
