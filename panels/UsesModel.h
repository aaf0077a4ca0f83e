#pragma once

#include "folder/UsesTable.h"

#include <QAbstractItemModel>
#include <memory>
#include <string>
#include <vector>

// The names that the conditions test and the results set across the
// folder, as dlgtool uses lists them: each name with how often it is tested
// and set (marked when it is set but never tested or tested but never set),
// and under it where each use stands.
class UsesModel : public QAbstractItemModel {
    Q_OBJECT
public:
    using Names = std::vector<UsesTable::Name>;
    // The bare name of a name's row (empty for a use's), for the filter.
    static constexpr int NameRole = Qt::UserRole + 1;

    explicit UsesModel(QObject *parent = nullptr);

    // folder: the game's folder, which the files are named under.
    void SetNames(std::shared_ptr<const Names> names, const std::string &folder);
    const Names &GetNames() const { return *m_names; }
    // The use a row stands for; null for a name's row.
    const UsesTable::Use *UseAt(const QModelIndex &index) const;
    // The row of the name; invalid when there is none.
    QModelIndex IndexOf(const std::string &name) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QString Describe(const UsesTable::Name &name, int row) const;

    std::shared_ptr<const Names> m_names;
    std::string m_prefix; // the folder's, left off the files' names
};
