#include "panels/ProblemListModel.h"

#include "ui/AnsiText.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>
#include <tuple>

namespace {

// The order of dlgtool check within one file.
bool Before(const Finding &a, const Finding &b)
{
    return std::tie(a.line, a.severity, a.message) < std::tie(b.line, b.severity, b.message);
}

bool Same(const Finding &a, const Finding &b)
{
    return std::tie(a.line, a.severity, a.message) == std::tie(b.line, b.severity, b.message);
}

} // namespace

// A merge of the two sorted lists: rows that are in both stay where they
// are, the others go or come one by one.
void ProblemListModel::SetEntries(std::vector<Entry> entries)
{
    // Far apart (another document), a reset is cheaper than rows one by one.
    if (m_entries.empty() || entries.empty() || std::max(m_entries.size(), entries.size()) > 4 * std::min(m_entries.size(), entries.size()) + 64) {
        beginResetModel();
        m_entries = std::move(entries);
        endResetModel();
        return;
    }
    size_t row = 0;
    for (Entry &entry : entries) {
        while (row < m_entries.size() && Before(m_entries[row].finding, entry.finding)) {
            beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
            m_entries.erase(m_entries.begin() + static_cast<ptrdiff_t>(row));
            endRemoveRows();
        }
        if (row < m_entries.size() && Same(m_entries[row].finding, entry.finding)) {
            m_entries[row] = std::move(entry);
        } else {
            beginInsertRows({}, static_cast<int>(row), static_cast<int>(row));
            m_entries.insert(m_entries.begin() + static_cast<ptrdiff_t>(row), std::move(entry));
            endInsertRows();
        }
        ++row;
    }
    if (row < m_entries.size()) {
        beginRemoveRows({}, static_cast<int>(row), static_cast<int>(m_entries.size()) - 1);
        m_entries.erase(m_entries.begin() + static_cast<ptrdiff_t>(row), m_entries.end());
        endRemoveRows();
    }
    if (!m_entries.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

const ProblemListModel::Entry *ProblemListModel::EntryAt(const QModelIndex &index) const
{
    return index.isValid() && static_cast<size_t>(index.row()) < m_entries.size() ? &m_entries[static_cast<size_t>(index.row())] : nullptr;
}

int ProblemListModel::Count(Finding::Severity severity) const
{
    return static_cast<int>(std::count_if(m_entries.begin(), m_entries.end(), [severity](const Entry &e) { return e.finding.severity == severity; }));
}

int ProblemListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int ProblemListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProblemListModel::data(const QModelIndex &index, int role) const
{
    const Entry *entry = EntryAt(index);
    if (!entry)
        return {};
    const Finding &finding = entry->finding;
    if (role == Qt::DecorationRole && index.column() == PageColumn) {
        static const QStyle::StandardPixmap icons[] = {QStyle::SP_MessageBoxCritical, QStyle::SP_MessageBoxWarning, QStyle::SP_MessageBoxInformation};
        return QApplication::style()->standardIcon(icons[finding.severity]);
    }
    if (role == Qt::ToolTipRole && index.column() == LineColumn && finding.unsaved)
        return QStringLiteral("Not saved yet: the line a save will write it on");
    if (role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
        return QString::fromUtf8(Finding::SeverityName(finding.severity)) + QStringLiteral(": ") + AnsiText::ToDisplay(finding.message);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case PageColumn:
        return entry->pageName;
    case LineColumn:
        // A line not yet in the file is marked: its number is the one a save gives it.
        if (finding.unsaved)
            return QStringLiteral("%1*").arg(finding.line);
        return finding.line > 0 ? QVariant(finding.line) : QVariant();
    default:
        return AnsiText::ToDisplay(finding.message);
    }
}

QVariant ProblemListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case PageColumn:
        return QStringLiteral("Page");
    case LineColumn:
        return QStringLiteral("Line");
    default:
        return QStringLiteral("Problem");
    }
}
