#include "panels/UsesModel.h"

#include "ui/AnsiText.h"

#include <QApplication>
#include <QFile>
#include <QStyle>
#include <algorithm>

// A name's row has the internal id 0; a use's, its name's row plus one.
UsesModel::UsesModel(QObject *parent)
    : QAbstractItemModel(parent)
    , m_names(std::make_shared<const Names>())
{
}

void UsesModel::SetNames(std::shared_ptr<const Names> names, const std::string &folder)
{
    beginResetModel();
    m_names = names ? std::move(names) : std::make_shared<const Names>();
    m_prefix = folder.empty() || folder.ends_with('/') ? folder : folder + "/";
    endResetModel();
}

const UsesTable::Use *UsesModel::UseAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() == 0)
        return nullptr;
    const UsesTable::Name &name = (*m_names)[index.internalId() - 1];
    const auto row = static_cast<size_t>(index.row());
    return row < name.tested.size() ? &name.tested[row] : &name.set[row - name.tested.size()];
}

QModelIndex UsesModel::IndexOf(const std::string &name) const
{
    const auto at = std::lower_bound(m_names->begin(), m_names->end(), name,
                                     [](const UsesTable::Name &entry, const std::string &key) { return entry.name < key; });
    return at != m_names->end() && at->name == name ? index(static_cast<int>(at - m_names->begin()), 0) : QModelIndex();
}

QModelIndex UsesModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column != 0 || row >= rowCount(parent))
        return {};
    return createIndex(row, column, parent.isValid() ? static_cast<quintptr>(parent.row()) + 1 : 0);
}

QModelIndex UsesModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr(0));
}

int UsesModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return static_cast<int>(m_names->size());
    if (parent.internalId() != 0 || parent.column() != 0)
        return 0;
    const UsesTable::Name &name = (*m_names)[static_cast<size_t>(parent.row())];
    return static_cast<int>(name.tested.size() + name.set.size());
}

int UsesModel::columnCount(const QModelIndex &) const
{
    return 1;
}

// tested at inn.dlg:24, page "Cellar", option 1: !Flag(CellarQuest)
QString UsesModel::Describe(const UsesTable::Name &name, int row) const
{
    const auto at = static_cast<size_t>(row);
    const bool tested = at < name.tested.size();
    const UsesTable::Use &use = tested ? name.tested[at] : name.set[at - name.tested.size()];
    const std::string file = use.file.starts_with(m_prefix) ? use.file.substr(m_prefix.size()) : use.file;
    QString text = (tested ? QStringLiteral("tested at ") : QStringLiteral("set at ")) + QFile::decodeName(QByteArray::fromStdString(file))
        + QStringLiteral(":%1, page \"").arg(use.line) + AnsiText::ToDisplay(use.pageName) + QLatin1Char('"');
    if (use.option >= 0)
        text += QStringLiteral(", option %1").arg(use.option + 1);
    return text + QStringLiteral(": ") + AnsiText::ToDisplay(use.text).replace(QLatin1Char('\n'), QStringLiteral(" | "));
}

QVariant UsesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const bool isName = index.internalId() == 0;
    const UsesTable::Name &name = (*m_names)[isName ? static_cast<size_t>(index.row()) : index.internalId() - 1];
    const bool marked = name.NeverSet() || name.NeverTested();
    switch (role) {
    case Qt::DisplayRole:
        return isName ? AnsiText::ToDisplay(name.name) + QStringLiteral(": ") + QString::fromStdString(name.Summary()) : Describe(name, index.row());
    case NameRole:
        return isName ? AnsiText::ToDisplay(name.name) : QString();
    case Qt::DecorationRole:
        return isName && marked ? QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning) : QVariant();
    case Qt::ToolTipRole:
        if (!isName || !marked)
            return {};
        return name.NeverSet() ? QStringLiteral("Tested but never set: a misspelt name, or a result forgotten?")
                               : QStringLiteral("Set but never tested: a misspelt name, or a quest step forgotten?");
    default:
        return {};
    }
}
