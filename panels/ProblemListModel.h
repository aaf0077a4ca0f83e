#pragma once

#include "rules/Finding.h"

#include <QAbstractTableModel>
#include <vector>

// The findings of dlgtool check on the open document, one row each: its
// severity (as an icon) and page, its line of the file and its message.
// A new list replaces the old one row by row, so that rows that stay keep
// their selection.
class ProblemListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { PageColumn, LineColumn, MessageColumn, ColumnCount };

    // One finding and the name of its page (the finding holds its place
    // by index, which stays valid while the document does not change).
    struct Entry {
        Finding finding;
        QString pageName;
    };

    using QAbstractTableModel::QAbstractTableModel;

    // entries sorted as dlgtool check sorts findings.
    void SetEntries(std::vector<Entry> entries);
    const std::vector<Entry> &GetEntries() const { return m_entries; }
    const Entry *EntryAt(const QModelIndex &index) const;
    int Count(Finding::Severity severity) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Entry> m_entries;
};
