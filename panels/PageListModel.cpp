#include "panels/PageListModel.h"

#include "session/EditingSession.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "ui/AnsiText.h"

#include <QFont>

PageListModel::PageListModel(EditingSession &session, QObject *parent)
    : QAbstractTableModel(parent)
    , m_session(session)
{
    // Said before the window shows the change: a page's row, or every row.
    connect(&session, &EditingSession::changed, this, [this](DialogLine *page, bool pages) {
        const int row = pages ? -1 : m_session.GetDocument()->IndexOf(page);
        if (row < 0)
            Reset();
        else
            emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    });
    connect(&session, &EditingSession::documentReplaced, this, &PageListModel::Reset);
}

void PageListModel::Reset()
{
    beginResetModel();
    m_markedRow = -1;
    endResetModel();
}

void PageListModel::MarkCurrentPage()
{
    const DialogFile *document = m_session.GetDocument();
    const int row = document ? document->IndexOf(m_session.GetCurrentPage()) : -1;
    if (row == m_markedRow)
        return;
    const int before = m_markedRow;
    m_markedRow = row;
    for (int changed : {before, row}) {
        if (changed >= 0 && changed < rowCount())
            emit dataChanged(index(changed, 0), index(changed, ColumnCount - 1));
    }
}

int PageListModel::rowCount(const QModelIndex &parent) const
{
    const DialogFile *document = m_session.GetDocument();
    return parent.isValid() || !document ? 0 : document->GetPageCount();
}

int PageListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PageListModel::data(const QModelIndex &index, int role) const
{
    const DialogLine *page = m_session.GetDocument()->GetPage(index.row());
    if (!page)
        return {};
    const bool current = page == m_session.GetCurrentPage();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        switch (index.column()) {
        case NameColumn:
            // Read in place: asking a line read from a file for its texts
            // as strings would copy them all, for every page listed.
            return (current ? QStringLiteral("\u25B8 ") : QString()) + AnsiText::ToDisplay(page->ViewLabel());
        case DescriptionColumn:
            return AnsiText::ToDisplay(page->ViewDescription());
        default:
            return page->GetOptionCount();
        }
    case Qt::FontRole:
        if (current) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ToolTipRole:
        return current ? QStringLiteral("The page on display") : QVariant();
    default:
        return {};
    }
}

QVariant PageListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return QStringLiteral("Page");
    case DescriptionColumn:
        return QStringLiteral("Description");
    default:
        return QStringLiteral("Options");
    }
}
