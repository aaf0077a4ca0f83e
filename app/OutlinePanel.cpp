#include "app/OutlinePanel.h"

#include "app/EditingSession.h"
#include "app/PageCommands.h"
#include "app/PageListModel.h"
#include "model/DialogFile.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// Name or description holds the filter text, in any case.
class PageFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void SetText(const QString &text)
    {
        m_text = text;
        invalidateRowsFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        const QString &text = m_text;
        if (text.isEmpty())
            return true;
        const QAbstractItemModel *pages = sourceModel();
        for (int column : {PageListModel::NameColumn, PageListModel::DescriptionColumn}) {
            if (pages->index(row, column, parent).data(Qt::DisplayRole).toString().contains(text, Qt::CaseInsensitive))
                return true;
        }
        return false;
    }

private:
    QString m_text;
};

} // namespace

OutlinePanel::OutlinePanel(EditingSession &session, PageCommands &commands, QWidget *parent)
    : QDockWidget(QStringLiteral("Outline"), parent)
    , m_session(session)
    , m_commands(commands)
    , m_model(new PageListModel(session, this))
    , m_filter(new PageFilter(this))
{
    setObjectName(QStringLiteral("outlinePanel"));
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *label = new QLabel(QStringLiteral("&Filter:"), body);
    filterEdit = new QLineEdit(body);
    filterEdit->setObjectName(QStringLiteral("outlineFilter"));
    filterEdit->setAccessibleName(QStringLiteral("Filter"));
    filterEdit->setPlaceholderText(QStringLiteral("Name or description"));
    filterEdit->setClearButtonEnabled(true);
    label->setBuddy(filterEdit);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(label);
    filterRow->addWidget(filterEdit);
    layout->addLayout(filterRow);

    m_filter->setSourceModel(m_model);
    pageView = new QTreeView(body);
    pageView->setObjectName(QStringLiteral("outlineView"));
    pageView->setAccessibleName(QStringLiteral("Pages"));
    pageView->setModel(m_filter);
    pageView->setRootIsDecorated(false);
    pageView->setUniformRowHeights(true);
    pageView->setAllColumnsShowFocus(true);
    pageView->setContextMenuPolicy(Qt::CustomContextMenu);
    // Sized once, not to the contents: measuring every row would cost each edit.
    pageView->header()->setStretchLastSection(false);
    pageView->header()->setSectionResizeMode(PageListModel::DescriptionColumn, QHeaderView::Stretch);
    pageView->header()->resizeSection(PageListModel::NameColumn, pageView->fontMetrics().horizontalAdvance(QStringLiteral("M")) * 12);
    pageView->header()->resizeSection(PageListModel::OptionsColumn, pageView->fontMetrics().horizontalAdvance(QStringLiteral("Options")) + 16);
    layout->addWidget(pageView);
    setWidget(body);

    connect(filterEdit, &QLineEdit::textChanged, this, [this](const QString &text) {
        static_cast<PageFilter *>(m_filter)->SetText(text);
    });
    connect(pageView, &QTreeView::activated, this, [this](const QModelIndex &index) {
        if (DialogLine *page = PageAt(index))
            emit pageActivated(page);
    });
    connect(pageView, &QTreeView::clicked, pageView, &QTreeView::activated);
    connect(pageView, &QWidget::customContextMenuRequested, this, &OutlinePanel::ShowMenu);
    // After a reset (an edit, undo or redo) the page on display is found again.
    connect(m_model, &QAbstractItemModel::modelReset, this, &OutlinePanel::ShowCurrentPage);
}

DialogLine *OutlinePanel::PageAt(const QModelIndex &index) const
{
    const DialogFile *document = m_session.GetDocument();
    return index.isValid() && document ? document->GetPage(m_filter->mapToSource(index).row()) : nullptr;
}

void OutlinePanel::ShowMenu(const QPoint &position)
{
    DialogLine *page = PageAt(pageView->indexAt(position));
    if (!page)
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("outlineContextMenu"));
    connect(menu.addAction(QStringLiteral("Duplicate page")), &QAction::triggered, this, [this, page] { m_commands.OnDuplicatePage(page); });
    connect(menu.addAction(QStringLiteral("Delete page...")), &QAction::triggered, this, [this, page] { m_commands.OnDeletePage(page); });
    menu.addSeparator();
    connect(menu.addAction(QStringLiteral("Move page up")), &QAction::triggered, this, [this, page] { m_commands.OnMovePage(-1, page); });
    connect(menu.addAction(QStringLiteral("Move page down")), &QAction::triggered, this, [this, page] { m_commands.OnMovePage(1, page); });
    menu.exec(pageView->viewport()->mapToGlobal(position));
}

DialogLine *OutlinePanel::GetSelectedPage() const
{
    return PageAt(pageView->currentIndex());
}

void OutlinePanel::ShowCurrentPage()
{
    m_model->MarkCurrentPage();
    const DialogFile *document = m_session.GetDocument();
    const int row = document ? document->IndexOf(m_session.GetCurrentPage()) : -1;
    if (row < 0)
        return;
    const QModelIndex shown = m_filter->mapFromSource(m_model->index(row, 0));
    if (!shown.isValid())
        return;
    pageView->setCurrentIndex(shown);
    pageView->scrollTo(shown);
}
